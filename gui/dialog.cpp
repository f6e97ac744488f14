// Dialogs: control lists, focus, message routing, hotkeys and drawing; the resource manager.
#include <algorithm>

#include "gui/toolkit.h"

namespace gui {
namespace {

GuiControl* focus = nullptr;    // the one focused control across all dialogs
GuiControl* capture = nullptr;  // the control that takes every mouse message (a drag)

}  // namespace

// ---- resource manager ----

GuiResourceManager::GuiResourceManager() {
    add_font("Arial", 14, font_weight_normal);
}

// Dialogs may outlive the manager (process-wide objects end in any order): they forget it.
GuiResourceManager::~GuiResourceManager() {
    for (GuiDialog* d : dialogs_) d->manager_ = nullptr;
}

int GuiResourceManager::add_font(std::string_view face, int height, int weight) {
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const FontEntry& f = fonts_[i];
        if (f.face == face && f.height == height && f.weight == weight) return int(i);
    }
    fonts_.push_back(FontEntry{std::string(face), height, weight, nullptr, false});
    return int(fonts_.size()) - 1;
}

const Font* GuiResourceManager::font(int index) {
    if (index < 0 || index >= int(fonts_.size())) return nullptr;
    FontEntry& f = fonts_[index];
    if (!f.tried) {
        f.font = Font::open(f.face, f.height, f.weight);
        f.tried = true;
    }
    return f.font.get();
}

int GuiResourceManager::on_device_created(Device* device) {
    device_ = device;
    return status_ok;
}

int GuiResourceManager::on_device_reset(Device* device) {
    device_ = device;
    return status_ok;
}

void GuiResourceManager::on_device_lost() {}

void GuiResourceManager::on_device_destroyed() {
    device_ = nullptr;
}

bool GuiResourceManager::msg_proc(Window*, const Message&) {
    return false;
}

void GuiResourceManager::register_dialog(GuiDialog* dialog) {
    if (std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end()) {
        dialogs_.push_back(dialog);
    }
}

void GuiResourceManager::unregister_dialog(GuiDialog* dialog) {
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

// ---- dialog ----

GuiDialog::GuiDialog() : fonts_{0} {}

GuiDialog::~GuiDialog() {
    if (focus && focus->dialog() == this) focus = nullptr;
    if (capture && capture->dialog() == this) capture = nullptr;
    mouse_over_ = nullptr;
    controls_.clear();
    if (manager_) manager_->unregister_dialog(this);
}

void GuiDialog::init(GuiResourceManager* manager, bool register_dialog) {
    manager_ = manager;
    if (manager_ && register_dialog) manager_->register_dialog(this);
}

void GuiDialog::set_callback(GuiEventCallback callback, void* context) {
    callback_ = callback;
    callback_context_ = context;
}

void GuiDialog::set_background_colours(Colour tl, Colour tr, Colour bl, Colour br) {
    background_ = {tl, tr, bl, br};
}

int GuiDialog::set_font(int index, std::string_view face, int height, int weight) {
    if (index < 0 || !manager_) return status_invalid_argument;
    if (index >= int(fonts_.size())) fonts_.resize(index + 1, -1);
    fonts_[index] = manager_->add_font(face, height, weight);
    return status_ok;
}

const Font* GuiDialog::get_font(int index) const {
    if (!manager_ || index < 0 || index >= int(fonts_.size()) || fonts_[index] < 0) return nullptr;
    return manager_->font(fonts_[index]);
}

const Font* GuiDialog::element_font(const Element& e) const {
    const Font* f = get_font(e.font_index);
    if (!f) f = get_font(0);
    if (!f && manager_) f = manager_->font(0);
    return f;
}

void GuiDialog::draw_element_text(Device* device, std::string_view text, const Element& e,
                                  const Rect& screen_rect, ControlState state) const {
    const Font* f = element_font(e);
    if (!f || !device || text.empty()) return;
    device->draw_text(*f, text, screen_rect, e.text_format, e.font_colour.get(state));
}

int GuiDialog::add(std::unique_ptr<GuiControl> c, int id, int x, int y, int w, int h, int hotkey,
                   bool is_default) {
    c->id_ = id;
    c->x_ = x;
    c->y_ = y;
    c->width_ = w;
    c->height_ = h;
    c->hotkey_ = hotkey;
    c->is_default_ = is_default;
    return add_control(std::move(c));
}

int GuiDialog::add_control(std::unique_ptr<GuiControl> c) {
    if (!c) return status_invalid_argument;
    c->dialog_ = this;
    c->index_ = int(controls_.size());
    c->update_rects();
    int r = c->on_init();
    if (r < 0) return r;
    controls_.push_back(std::move(c));
    return status_ok;
}

int GuiDialog::add_static(int id, std::string_view text, int x, int y, int w, int h,
                          bool is_default, GuiStatic** out) {
    auto c = std::make_unique<GuiStatic>(this);
    GuiStatic* p = c.get();
    p->set_text(text);
    int r = add(std::move(c), id, x, y, w, h, 0, is_default);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_button(int id, std::string_view text, int x, int y, int w, int h, int hotkey,
                          bool is_default, GuiButton** out) {
    auto c = std::make_unique<GuiButton>(this);
    GuiButton* p = c.get();
    p->set_text(text);
    int r = add(std::move(c), id, x, y, w, h, hotkey, is_default);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_check_box(int id, std::string_view text, int x, int y, int w, int h,
                             bool checked, int hotkey, bool is_default, GuiCheckBox** out) {
    auto c = std::make_unique<GuiCheckBox>(this);
    GuiCheckBox* p = c.get();
    p->set_text(text);
    int r = add(std::move(c), id, x, y, w, h, hotkey, is_default);
    if (r >= 0) p->set_checked(checked, false);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_radio_button(int id, unsigned group, std::string_view text, int x, int y, int w,
                                int h, bool checked, int hotkey, bool is_default,
                                GuiRadioButton** out) {
    auto c = std::make_unique<GuiRadioButton>(this);
    GuiRadioButton* p = c.get();
    p->set_text(text);
    p->set_group(group);
    int r = add(std::move(c), id, x, y, w, h, hotkey, is_default);
    if (r >= 0 && checked) p->set_checked(true, true, false);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_combo_box(int id, int x, int y, int w, int h, int hotkey, bool is_default,
                             GuiComboBox** out) {
    auto c = std::make_unique<GuiComboBox>(this);
    GuiComboBox* p = c.get();
    int r = add(std::move(c), id, x, y, w, h, hotkey, is_default);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_slider(int id, int x, int y, int w, int h, int min, int max, int value,
                          bool is_default, GuiSlider** out) {
    auto c = std::make_unique<GuiSlider>(this);
    GuiSlider* p = c.get();
    int r = add(std::move(c), id, x, y, w, h, 0, is_default);
    if (r >= 0) {
        p->set_range(min, max);
        p->set_value(value);
    }
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

int GuiDialog::add_edit_box(int id, std::string_view text, int x, int y, int w, int h,
                            bool is_default, GuiEditBox** out) {
    auto c = std::make_unique<GuiEditBox>(this);
    GuiEditBox* p = c.get();
    int r = add(std::move(c), id, x, y, w, h, 0, is_default);
    if (r >= 0) p->set_text(text);
    if (out) *out = r < 0 ? nullptr : p;
    return r;
}

GuiControl* GuiDialog::get_control(int id) const {
    for (const auto& c : controls_) {
        if (c->id() == id) return c.get();
    }
    return nullptr;
}

GuiControl* GuiDialog::get_control(int id, ControlKind kind) const {
    for (const auto& c : controls_) {
        if (c->id() == id && c->kind() == kind) return c.get();
    }
    return nullptr;
}

GuiStatic* GuiDialog::get_static(int id) const {
    return typed<GuiStatic>(id, ControlKind::static_text);
}
GuiButton* GuiDialog::get_button(int id) const {
    return typed<GuiButton>(id, ControlKind::button);
}
GuiCheckBox* GuiDialog::get_check_box(int id) const {
    return typed<GuiCheckBox>(id, ControlKind::check_box);
}
GuiRadioButton* GuiDialog::get_radio_button(int id) const {
    return typed<GuiRadioButton>(id, ControlKind::radio_button);
}
GuiComboBox* GuiDialog::get_combo_box(int id) const {
    return typed<GuiComboBox>(id, ControlKind::combo_box);
}
GuiSlider* GuiDialog::get_slider(int id) const {
    return typed<GuiSlider>(id, ControlKind::slider);
}
GuiEditBox* GuiDialog::get_edit_box(int id) const {
    return typed<GuiEditBox>(id, ControlKind::edit_box);
}

GuiControl* GuiDialog::control_at_point(Point pt) const {
    for (const auto& c : controls_) {
        if (c->usable() && c->contains_point(pt)) return c.get();
    }
    return nullptr;
}

void GuiDialog::request_focus(GuiControl* control) {
    if (!control || focus == control || !control->can_have_focus()) return;
    if (focus) focus->on_focus_out();
    focus = control;
    control->on_focus_in();
}

void GuiDialog::clear_focus() {
    if (!focus) return;
    GuiControl* old = focus;
    focus = nullptr;
    old->on_focus_out();
}

GuiControl* GuiDialog::focused_control() {
    return focus;
}

void GuiDialog::set_capture(GuiControl* control) {
    capture = control;
}

void GuiDialog::release_capture(GuiControl* control) {
    if (capture == control) capture = nullptr;
}

GuiControl* GuiDialog::captured_control() {
    return capture;
}

void GuiDialog::forget(GuiControl* control) {
    if (focus == control) focus = nullptr;
    if (capture == control) capture = nullptr;
    if (mouse_over_ == control) mouse_over_ = nullptr;
}

void GuiDialog::set_visible(bool visible) {
    visible_ = visible;
    if (visible) return;
    set_mouse_over(nullptr);
    if (capture && capture->dialog() == this) {
        GuiControl* held = capture;
        capture = nullptr;
        held->on_capture_lost();
    }
}

void GuiDialog::set_mouse_over(GuiControl* control) {
    if (mouse_over_ == control) return;
    if (mouse_over_) mouse_over_->on_mouse_leave();
    mouse_over_ = control;
    if (control) control->on_mouse_enter();
}

// Hotkeys rest while a usable edit box has the focus: the keys are its text.
bool GuiDialog::hotkey_blocked() const {
    return focus && focus->kind() == ControlKind::edit_box && focus->usable() && focus->dialog() &&
           focus->dialog()->is_visible();
}

bool GuiDialog::msg_proc(Window*, const Message& m) {
    // A window without the focus gets no button-up: a drag in progress ends here.
    if (m.kind == MessageKind::kill_focus && capture) {
        GuiControl* held = capture;
        capture = nullptr;
        held->on_capture_lost();
    }
    if (!visible_) return false;
    GuiControl* f = focus;
    bool focus_here = f && f->dialog() == this && f->usable();
    if (m.is_keyboard()) {
        if (focus_here && f->handle_keyboard(m)) return true;
        if (m.kind == MessageKind::key_down && m.key != 0 && !hotkey_blocked()) {
            for (const auto& c : controls_) {
                if (c->hotkey() == m.key) {
                    c->on_hotkey();
                    return true;
                }
            }
        }
        if (keyboard_input_ && m.kind == MessageKind::key_down && m.key == vk::tab) {
            focus_next((m.modifiers & mod_shift) ? -1 : 1);
            return true;
        }
        return false;
    }
    if (m.is_mouse()) {
        Point pt{m.x - x_, m.y - y_};
        if (capture) {
            if (capture->dialog() != this) return false;
            capture->handle_mouse(m, pt);
            return true;
        }
        GuiControl* under = control_at_point(pt);
        if (m.kind == MessageKind::mouse_move) set_mouse_over(under);
        if (focus_here && f->handle_mouse(m, pt)) return true;
        // The focused control may have changed the dialog (hidden, disabled, moved).
        under = control_at_point(pt);
        if (under && !(focus_here && under == f) && under->handle_mouse(m, pt)) return true;
        return false;
    }
    return false;
}

void GuiDialog::focus_next(int step) {
    int n = int(controls_.size());
    if (n == 0) return;
    int start = (focus && focus->dialog() == this) ? focus->index() : (step > 0 ? -1 : n);
    for (int k = 1; k <= n; ++k) {
        int i = ((start + step * k) % n + n) % n;
        GuiControl* c = controls_[i].get();
        if (c->can_have_focus()) {
            request_focus(c);
            return;
        }
    }
}

int GuiDialog::render(float elapsed_s) {
    Device* device = manager_ ? manager_->device() : nullptr;
    if (!device) return status_invalid_argument;
    if (!visible_) return status_ok;
    device->fill_gradient(rect_xywh(x_, y_, width_, height_), background_[0], background_[1],
                          background_[2], background_[3]);
    for (const auto& c : controls_) {
        if (c->get_visible()) c->render(device, elapsed_s);
    }
    for (const auto& c : controls_) {
        if (c->get_visible()) c->render_overlay(device, elapsed_s);
    }
    return status_ok;
}

void GuiDialog::send_event(unsigned event, bool from_user, GuiControl* control) {
    if (!callback_ || !control) return;
    if (!from_user && !non_user_events_) return;
    callback_(event, control->id(), control, callback_context_);
}

void GuiDialog::clear_radio_group(unsigned group, GuiControl* keep) {
    for (const auto& c : controls_) {
        if (c.get() == keep || c->kind() != ControlKind::radio_button) continue;
        auto* r = static_cast<GuiRadioButton*>(c.get());
        if (r->group() == group && r->checked()) r->set_checked(false, false, false);
    }
}

}  // namespace gui
