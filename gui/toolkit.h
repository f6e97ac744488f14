#pragma once
// Dialog and control toolkit: dialogs hold controls in creation order, a shared resource
// manager holds the fonts, and each dialog reports user actions to one event callback.
// Each control keeps its input handling (handle_keyboard / handle_mouse) apart from its
// drawing (render), which only reads the control's state.
// GUI thread only, except GuiSlider::value(), which any thread may read.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/draw.h"
#include "gui/messages.h"

namespace gui {

struct Window;
class GuiDialog;
class GuiControl;

// Event codes passed to the dialog callback.
constexpr unsigned event_button_clicked = 0x0101;
constexpr unsigned event_combo_box_selection_changed = 0x0201;
constexpr unsigned event_radio_button_changed = 0x0301;
constexpr unsigned event_check_box_changed = 0x0401;
constexpr unsigned event_slider_value_changed = 0x0501;
constexpr unsigned event_edit_box_string = 0x0601;  // Enter pressed
constexpr unsigned event_edit_box_change = 0x0602;  // text changed by typing

enum class ControlKind : int {
    button = 0,
    static_text = 1,
    check_box = 2,
    radio_button = 3,
    combo_box = 4,
    slider = 5,
    edit_box = 6,
    scroll_bar = 7,
};

// Display states, in this order.
enum ControlState : int {
    state_normal = 0,
    state_disabled = 1,
    state_hidden = 2,
    state_focus = 3,
    state_mouse_over = 4,
    state_pressed = 5,
};
constexpr int state_count = 6;

// One colour per state. A state whose colour was never set is derived from the normal
// colour when drawn: focus = normal; mouse-over lighter and pressed darker when
// `highlight` (fill layers), else both = normal; disabled a greyed, fainter normal;
// hidden transparent.
struct StateColours {
    std::array<Colour, state_count> colour{};
    std::array<bool, state_count> derived{false, true, true, true, true, true};
    bool highlight = false;

    void set(ControlState s, Colour c) {
        colour[s] = c;
        derived[s] = false;
    }
    void set_all(Colour c) {
        colour.fill(c);
        derived.fill(false);
    }
    // Normal colour; the other states stay as they are (derived states follow it).
    void set_normal(Colour c) { set(state_normal, c); }
    Colour get(ControlState s) const;
};

// One drawn layer of a control. Element 0 is the text/main layer; element 1 a button's
// fill layer.
struct Element {
    int texture_index = 0;
    int font_index = 0;  // index into the dialog's font table
    std::uint32_t text_format = text_centre | text_vcentre;
    Rect texture_rect{};
    StateColours texture_colour;
    StateColours font_colour;
};

using GuiEventCallback = void (*)(unsigned event, int control_id, GuiControl* control,
                                  void* context);

// Fonts and device resources shared by all dialogs; told about every device event.
class GuiResourceManager {
  public:
    GuiResourceManager();
    ~GuiResourceManager();
    GuiResourceManager(const GuiResourceManager&) = delete;
    GuiResourceManager& operator=(const GuiResourceManager&) = delete;

    // Registers a font (an equal one is shared); returns its index.
    int add_font(std::string_view face, int height, int weight);
    // The opened font (opened on first use); null for an unknown index.
    const Font* font(int index);
    int font_count() const { return static_cast<int>(fonts_.size()); }

    int on_device_created(Device* device);
    int on_device_reset(Device* device);
    void on_device_lost();
    void on_device_destroyed();
    Device* device() const { return device_; }

    // Offered every window message first; handles none at present.
    bool msg_proc(Window* window, const Message& message);

    void register_dialog(GuiDialog* dialog);
    void unregister_dialog(GuiDialog* dialog);
    const std::vector<GuiDialog*>& dialogs() const { return dialogs_; }

  private:
    struct FontEntry {
        std::string face;
        int height;
        int weight;
        std::shared_ptr<Font> font;
        bool tried = false;
    };
    std::vector<FontEntry> fonts_;
    std::vector<GuiDialog*> dialogs_;
    Device* device_ = nullptr;
};

class GuiControl {
  public:
    explicit GuiControl(GuiDialog* dialog = nullptr);
    virtual ~GuiControl();
    GuiControl(const GuiControl&) = delete;
    GuiControl& operator=(const GuiControl&) = delete;

    virtual int on_init() { return status_ok; }
    virtual void refresh();
    virtual void render(Device* device, float elapsed_s) {}
    // Drawn after every control of the dialog (open drop-down lists).
    virtual void render_overlay(Device* device, float elapsed_s) {}
    virtual bool handle_keyboard(const Message& message) { return false; }
    // `pt` is relative to the dialog.
    virtual bool handle_mouse(const Message& message, Point pt) { return false; }
    virtual bool can_have_focus() { return false; }
    virtual void on_focus_in() { has_focus_ = true; }
    virtual void on_focus_out() { has_focus_ = false; }
    virtual void on_mouse_enter() { mouse_over_ = true; }
    virtual void on_mouse_leave() { mouse_over_ = false; }
    virtual void on_hotkey() {}
    // The control held the mouse capture and lost it (the window lost the focus).
    virtual void on_capture_lost() {}
    virtual bool contains_point(Point pt) { return bounding_box_.contains(pt); }
    virtual void set_enabled(bool enabled) { enabled_ = enabled; }
    virtual bool get_enabled() const { return enabled_; }
    virtual void set_visible(bool visible) { visible_ = visible; }
    virtual bool get_visible() const { return visible_; }
    // Element 0's normal font colour.
    virtual void set_text_colour(Colour colour);
    virtual void update_rects();

    int id() const { return id_; }
    void set_id(int id) { id_ = id; }
    ControlKind kind() const { return kind_; }
    int hotkey() const { return hotkey_; }
    void set_hotkey(int key) { hotkey_ = key; }
    void* user_data() const { return user_data_; }
    void set_user_data(void* data) { user_data_ = data; }
    bool is_default() const { return is_default_; }
    void set_default(bool d) { is_default_ = d; }

    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Moves the control (relative to its dialog) and updates its rectangles.
    void set_location(int x, int y);
    void set_size(int width, int height);
    Rect bounding_box() const { return bounding_box_; }

    bool has_focus() const { return has_focus_; }
    bool mouse_over() const { return mouse_over_; }
    GuiDialog* dialog() const { return dialog_; }
    // Sets the owning dialog of a control that is not in a dialog's list (a combo box's
    // scroll bar); GuiDialog::add_control sets it for listed controls.
    void set_dialog(GuiDialog* dialog) { dialog_ = dialog; }
    int index() const { return index_; }

    std::size_t element_count() const { return elements_.size(); }
    Element& element(std::size_t i);
    const Element& element(std::size_t i) const;
    void set_element(std::size_t i, const Element& e);
    // Element 0's font index and text format.
    void set_font(int font_index) { element(0).font_index = font_index; }
    void set_text_format(std::uint32_t format) { element(0).text_format = format; }
    // The state the control is drawn in now.
    ControlState current_state() const;

  protected:
    friend class GuiDialog;
    bool usable() const { return enabled_ && visible_; }
    Rect to_screen(const Rect& r) const;  // dialog-relative -> back buffer
    void send_event(unsigned event, bool from_user);

    GuiDialog* dialog_ = nullptr;
    int index_ = -1;
    int id_ = 0;
    ControlKind kind_ = ControlKind::static_text;
    int hotkey_ = 0;
    void* user_data_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    bool mouse_over_ = false;
    bool has_focus_ = false;
    bool is_default_ = false;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    Rect bounding_box_{};
    std::vector<Element> elements_;
};

class GuiStatic : public GuiControl {
  public:
    explicit GuiStatic(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool contains_point(Point) override { return false; }  // labels let the mouse through
    const std::string& text() const { return text_; }
    virtual void set_text(std::string_view utf8) { text_ = utf8; }

  protected:
    std::string text_;
};

class GuiButton : public GuiStatic {
  public:
    explicit GuiButton(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool handle_keyboard(const Message& message) override;
    bool handle_mouse(const Message& message, Point pt) override;
    bool can_have_focus() override { return usable(); }
    void on_hotkey() override;
    bool contains_point(Point pt) override { return bounding_box_.contains(pt); }
    void on_focus_out() override;
    // Element 1's normal texture colour.
    void set_fill_colour(Colour colour) { element(1).texture_colour.set_normal(colour); }
    bool pressed() const { return pressed_; }

  protected:
    bool pressed_ = false;
};

class GuiCheckBox : public GuiButton {
  public:
    explicit GuiCheckBox(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool handle_keyboard(const Message& message) override;
    bool handle_mouse(const Message& message, Point pt) override;
    void on_hotkey() override;
    bool contains_point(Point pt) override;
    void update_rects() override;
    // Sends the check-box event only when `from_user`.
    virtual void set_checked(bool checked, bool from_user = false);
    bool checked() const { return checked_; }

  protected:
    virtual void user_toggle();
    bool checked_ = false;
    Rect box_{};      // the check box square, dialog-relative
    Rect caption_{};  // caption area, dialog-relative
};

class GuiRadioButton : public GuiCheckBox {
  public:
    explicit GuiRadioButton(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    void on_hotkey() override;
    void set_checked(bool checked, bool from_user = false) override {
        set_checked(checked, true, from_user);
    }
    // With `clear_group`, unchecks the other radio buttons of the group in this dialog.
    // Sends the radio-button event only when `from_user`.
    virtual void set_checked(bool checked, bool clear_group, bool from_user);
    unsigned group() const { return group_; }
    void set_group(unsigned group) { group_ = group; }

  protected:
    void user_toggle() override;
    unsigned group_ = 0;
};

class GuiScrollBar : public GuiControl {
  public:
    explicit GuiScrollBar(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool handle_mouse(const Message& message, Point pt) override;
    void update_rects() override;
    // Positions run over [start, end - page_size].
    void set_track_range(int start, int end);
    int track_pos() const { return position_; }
    void set_track_pos(int position);
    int page_size() const { return page_size_; }
    void set_page_size(int page_size);
    void scroll(int delta);
    void show_item(int index);  // scrolls so that `index` is visible
    bool dragging() const { return dragging_; }

  private:
    void cap();
    void update_thumb();
    int start_ = 0, end_ = 1, position_ = 0, page_size_ = 1;
    bool dragging_ = false;
    int drag_offset_y_ = 0;
    Rect up_{}, down_{}, track_{}, thumb_{};
    bool show_thumb_ = true;
};

struct ComboItem {
    std::string text;
    void* data = nullptr;
};

class GuiComboBox : public GuiButton {
  public:
    explicit GuiComboBox(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    void render_overlay(Device* device, float elapsed_s) override;
    bool handle_keyboard(const Message& message) override;
    bool handle_mouse(const Message& message, Point pt) override;
    void on_hotkey() override;
    bool contains_point(Point pt) override;
    void on_focus_out() override;
    void update_rects() override;

    // Appends an item (text cut to 255 characters). The first item becomes the selection.
    int add_item(std::string_view text, void* data);
    void remove_all_items();
    int remove_item(int index);
    int item_count() const { return static_cast<int>(items_.size()); }
    const ComboItem* item(int index) const;
    // The selected item, or null.
    const ComboItem* selected_item() const;
    void* selected_data() const;
    int selected_index() const { return selected_; }
    // Programmatic selection (no event); status_invalid_argument unless index < item count.
    int select_item(int index);
    int select_item_by_data(void* data);
    int select_item_by_text(std::string_view text);
    int drop_height() const { return drop_height_; }
    void set_drop_height(int height);
    bool is_open() const { return opened_; }

  private:
    void close_list();
    int item_height() const;
    int item_at(Point pt) const;
    void user_select(int index);
    std::vector<ComboItem> items_;
    int selected_ = -1;
    int focused_ = -1;  // highlighted item of the open list
    bool opened_ = false;
    int drop_height_ = 100;
    GuiScrollBar scroll_bar_;
    Rect text_{}, button_{}, dropdown_{}, dropdown_text_{};
};

// A thumb drag holds the mouse capture: the slider gets every mouse message until the
// button is released, wherever the pointer is and whichever control has the focus.
class GuiSlider : public GuiControl {
  public:
    explicit GuiSlider(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool handle_keyboard(const Message& message) override;
    bool handle_mouse(const Message& message, Point pt) override;
    bool can_have_focus() override { return usable(); }
    bool contains_point(Point pt) override;
    void update_rects() override;
    void on_capture_lost() override { end_drag(); }
    void set_enabled(bool enabled) override;
    void set_visible(bool visible) override;

    // Current value; safe to read from any thread.
    int value() const { return value_.load(std::memory_order_relaxed); }
    // Programmatic: clamps to the range and sends no event.
    void set_value(int value) { set_value_internal(value, false); }
    // Clamps the value into the new range (no event).
    void set_range(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }
    bool dragging() const { return pressed_; }
    Rect thumb_rect() const { return thumb_; }

  private:
    void set_value_internal(int value, bool from_user);
    void end_drag();
    int value_from_x(int x) const;
    int thumb_width() const;
    int min_ = 0, max_ = 100;
    std::atomic<int> value_{50};
    bool pressed_ = false;
    int drag_offset_ = 0;
    Rect thumb_{};
};

class GuiEditBox : public GuiControl {
  public:
    explicit GuiEditBox(GuiDialog* dialog = nullptr);
    void render(Device* device, float elapsed_s) override;
    bool handle_keyboard(const Message& message) override;
    bool handle_mouse(const Message& message, Point pt) override;
    bool can_have_focus() override { return usable(); }
    void on_focus_in() override;
    void update_rects() override;

    // Replaces the text (no event); `select_all` selects it, else the caret goes to its end.
    void set_text(std::string_view utf8, bool select_all = false);
    // The text as UTF-8.
    std::string text() const;
    int text_length() const { return static_cast<int>(text_.size()); }  // [characters]
    void clear_text() { set_text(""); }
    int caret() const { return caret_; }
    void set_caret(int position);
    // Selection [min(anchor, caret), max(anchor, caret)); empty when anchor == caret.
    int selection_anchor() const { return anchor_; }

  private:
    void delete_selection();
    void insert(char32_t c);
    int position_at(int x) const;  // caret position for a dialog-relative x
    int prefix_width(int n) const;
    void keep_caret_visible();
    const Font* text_font() const;
    std::u32string text_;
    int caret_ = 0;
    int anchor_ = 0;
    int first_visible_ = 0;
    bool selecting_ = false;
    Rect text_area_{};
};

class GuiDialog {
  public:
    GuiDialog();
    ~GuiDialog();
    GuiDialog(const GuiDialog&) = delete;
    GuiDialog& operator=(const GuiDialog&) = delete;

    // Empty dialog using `manager`'s fonts; registers it with the manager when asked.
    void init(GuiResourceManager* manager, bool register_dialog = true);
    void set_callback(GuiEventCallback callback, void* context = nullptr);
    void enable_non_user_events(bool enable) { non_user_events_ = enable; }
    // Keyboard navigation: Tab and Shift+Tab move the focus between the dialog's controls.
    void enable_keyboard_input(bool enable) { keyboard_input_ = enable; }
    void set_background_colours(Colour all) { set_background_colours(all, all, all, all); }
    void set_background_colours(Colour top_left, Colour top_right, Colour bottom_left,
                                Colour bottom_right);
    // Font `index` of this dialog (index 0 is the toolkit's default font).
    int set_font(int index, std::string_view face, int height, int weight);
    const Font* get_font(int index) const;

    int add_static(int id, std::string_view text, int x, int y, int w, int h,
                   bool is_default = false, GuiStatic** out = nullptr);
    int add_button(int id, std::string_view text, int x, int y, int w, int h, int hotkey = 0,
                   bool is_default = false, GuiButton** out = nullptr);
    int add_check_box(int id, std::string_view text, int x, int y, int w, int h,
                      bool checked = false, int hotkey = 0, bool is_default = false,
                      GuiCheckBox** out = nullptr);
    // A checked radio button unchecks the others of its group.
    int add_radio_button(int id, unsigned group, std::string_view text, int x, int y, int w, int h,
                         bool checked = false, int hotkey = 0, bool is_default = false,
                         GuiRadioButton** out = nullptr);
    int add_combo_box(int id, int x, int y, int w, int h, int hotkey = 0, bool is_default = false,
                      GuiComboBox** out = nullptr);
    int add_slider(int id, int x, int y, int w, int h, int min = 0, int max = 100, int value = 50,
                   bool is_default = false, GuiSlider** out = nullptr);
    int add_edit_box(int id, std::string_view text, int x, int y, int w, int h,
                     bool is_default = false, GuiEditBox** out = nullptr);
    // Adds a control made elsewhere (its dialog is set to this one).
    int add_control(std::unique_ptr<GuiControl> control);

    // The first control with that ID, or null.
    GuiControl* get_control(int id) const;
    // The control if its kind matches, else null.
    GuiControl* get_control(int id, ControlKind kind) const;
    GuiStatic* get_static(int id) const;
    GuiButton* get_button(int id) const;
    GuiCheckBox* get_check_box(int id) const;
    GuiRadioButton* get_radio_button(int id) const;
    GuiComboBox* get_combo_box(int id) const;
    GuiSlider* get_slider(int id) const;
    GuiEditBox* get_edit_box(int id) const;
    const std::vector<std::unique_ptr<GuiControl>>& controls() const { return controls_; }
    // The first enabled, visible control under the dialog-relative point, or null.
    GuiControl* control_at_point(Point pt) const;

    // Moves the single focus (shared by all dialogs) to `control` if it can take focus.
    void request_focus(GuiControl* control);
    static void clear_focus();
    static GuiControl* focused_control();
    // The mouse capture (one across all dialogs): while a control holds it, its dialog
    // gives it every mouse message and the other dialogs take none.
    static void set_capture(GuiControl* control);
    static void release_capture(GuiControl* control);  // only if `control` holds it
    static GuiControl* captured_control();

    // True when the dialog handled the message; a hidden dialog handles nothing.
    bool msg_proc(Window* window, const Message& message);
    // Draws the background and the controls.
    int render(float elapsed_s);

    void set_location(int x, int y) {
        x_ = x;
        y_ = y;
    }
    void set_size(int width, int height) {
        width_ = width;
        height_ = height;
    }
    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void set_visible(bool visible);
    bool is_visible() const { return visible_; }
    std::array<Colour, 4> background_colours() const { return background_; }

    // For controls: sends an event to the callback when allowed.
    void send_event(unsigned event, bool from_user, GuiControl* control);
    // Unchecks every radio button of `group` in this dialog except `keep`.
    void clear_radio_group(unsigned group, GuiControl* keep);
    GuiResourceManager* manager() const { return manager_; }
    // The font for a control element (the default font when the index is unset).
    const Font* element_font(const Element& element) const;
    // Draws text of an element in its state's font colour, in a back-buffer rectangle.
    void draw_element_text(Device* device, std::string_view text, const Element& element,
                           const Rect& screen_rect, ControlState state) const;
    // Called by the framework-independent focus logic when a control goes away.
    void forget(GuiControl* control);

  private:
    friend class GuiResourceManager;
    template <class T>
    T* typed(int id, ControlKind kind) const {
        return static_cast<T*>(get_control(id, kind));
    }
    int add(std::unique_ptr<GuiControl> control, int id, int x, int y, int w, int h, int hotkey,
            bool is_default);
    void set_mouse_over(GuiControl* control);
    bool hotkey_blocked() const;
    void focus_next(int step);  // keyboard navigation: Tab / Shift+Tab

    GuiResourceManager* manager_ = nullptr;
    std::vector<std::unique_ptr<GuiControl>> controls_;
    std::vector<int> fonts_;  // dialog font index -> manager font index (-1: unset)
    GuiEventCallback callback_ = nullptr;
    void* callback_context_ = nullptr;
    bool non_user_events_ = false;
    bool keyboard_input_ = false;
    bool visible_ = true;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    std::array<Colour, 4> background_{};  // fully transparent by default
    GuiControl* mouse_over_ = nullptr;
};

}  // namespace gui
