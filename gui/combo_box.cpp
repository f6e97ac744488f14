// Combo box with a drop-down list.
#include <algorithm>

#include "gui/toolkit.h"
#include "gui/utf8.h"

namespace gui {
namespace {

constexpr int scroll_bar_width = 16;  // [px]
constexpr std::size_t max_item_chars = 255;

}  // namespace

GuiComboBox::GuiComboBox(GuiDialog* dialog) : GuiButton(dialog), scroll_bar_(dialog) {
    kind_ = ControlKind::combo_box;
    Element& text = element(0);
    text.text_format = text_left | text_vcentre;
    text.font_colour.set_normal(0xFF000000u);
    text.font_colour.set(state_disabled, 0xFF505050u);
    element(1).texture_colour.set_normal(0xFFE6E6E6u);  // main area
    Element& button = element(2);                       // drop-down arrow button
    button.texture_colour.highlight = true;
    button.texture_colour.set_normal(0xFFB4B4B4u);
    button.font_colour.set_normal(0xFF202020u);
    Element& list = element(3);  // drop-down list
    list.text_format = text_left | text_vcentre;
    list.texture_colour.set_normal(0xF0F4F4F4u);
    list.font_colour.set_normal(0xFF000000u);
    Element& selection = element(4);  // highlighted item
    selection.text_format = text_left | text_vcentre;
    selection.texture_colour.set_normal(0xFF3070D0u);
    selection.font_colour.set_normal(0xFFFFFFFFu);
}

int GuiComboBox::item_height() const {
    const Font* f = dialog_ ? dialog_->element_font(element(3)) : nullptr;
    return (f ? f->cell_height() : 14) + 2;
}

void GuiComboBox::update_rects() {
    GuiButton::update_rects();
    scroll_bar_.set_dialog(dialog_);
    const Rect& b = bounding_box_;
    button_ = Rect{std::max(b.left, b.right - b.height()), b.top, b.right, b.bottom};
    text_ = Rect{b.left, b.top, button_.left, b.bottom};
    dropdown_ = Rect{b.left, b.bottom, b.right, b.bottom + drop_height_};
    dropdown_text_ = Rect{dropdown_.left + 4, dropdown_.top + 2,
                          dropdown_.right - scroll_bar_width - 2, dropdown_.bottom - 2};
    scroll_bar_.set_location(dropdown_.right - scroll_bar_width, dropdown_.top);
    scroll_bar_.set_size(scroll_bar_width, drop_height_);
    scroll_bar_.set_page_size(std::max(1, dropdown_text_.height() / item_height()));
    scroll_bar_.set_track_range(0, int(items_.size()));
}

void GuiComboBox::set_drop_height(int height) {
    drop_height_ = std::max(0, height);
    update_rects();
}

int GuiComboBox::add_item(std::string_view text, void* data) {
    items_.push_back(ComboItem{utf8_truncate(text, max_item_chars), data});
    scroll_bar_.set_track_range(0, int(items_.size()));
    if (items_.size() == 1) {
        selected_ = 0;
        focused_ = 0;
    }
    return status_ok;
}

void GuiComboBox::remove_all_items() {
    items_.clear();
    selected_ = focused_ = -1;
    scroll_bar_.set_track_range(0, 0);
}

int GuiComboBox::remove_item(int index) {
    if (index < 0 || index >= int(items_.size())) return status_invalid_argument;
    items_.erase(items_.begin() + index);
    scroll_bar_.set_track_range(0, int(items_.size()));
    if (selected_ >= int(items_.size())) selected_ = int(items_.size()) - 1;
    if (focused_ >= int(items_.size())) focused_ = selected_;
    return status_ok;
}

const ComboItem* GuiComboBox::item(int index) const {
    return index >= 0 && index < int(items_.size()) ? &items_[index] : nullptr;
}

const ComboItem* GuiComboBox::selected_item() const {
    return item(selected_);
}

void* GuiComboBox::selected_data() const {
    const ComboItem* i = selected_item();
    return i ? i->data : nullptr;
}

int GuiComboBox::select_item(int index) {
    if (index < 0 || index >= int(items_.size())) return status_invalid_argument;
    selected_ = focused_ = index;
    send_event(event_combo_box_selection_changed, false);
    return status_ok;
}

int GuiComboBox::select_item_by_data(void* data) {
    for (int i = 0; i < int(items_.size()); ++i) {
        if (items_[i].data == data) return select_item(i);
    }
    return status_invalid_argument;
}

int GuiComboBox::select_item_by_text(std::string_view text) {
    for (int i = 0; i < int(items_.size()); ++i) {
        if (items_[i].text == text) return select_item(i);
    }
    return status_invalid_argument;
}

void GuiComboBox::user_select(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    selected_ = focused_ = index;
    send_event(event_combo_box_selection_changed, true);
}

void GuiComboBox::close_list() {
    opened_ = false;
    focused_ = selected_;
}

int GuiComboBox::item_at(Point pt) const {
    if (!dropdown_text_.contains(pt)) return -1;
    int i = scroll_bar_.track_pos() + (pt.y - dropdown_text_.top) / item_height();
    int last_row = scroll_bar_.track_pos() + scroll_bar_.page_size();
    return i < int(items_.size()) && i < last_row ? i : -1;
}

bool GuiComboBox::contains_point(Point pt) {
    return bounding_box_.contains(pt) || (opened_ && dropdown_.contains(pt));
}

bool GuiComboBox::handle_mouse(const Message& m, Point pt) {
    const bool in_list = opened_ && dropdown_.contains(pt);
    const bool on_bar = in_list && pt.x >= dropdown_.right - scroll_bar_width;
    switch (m.kind) {
        case MessageKind::left_button_down:
        case MessageKind::left_button_double_click:
            if (bounding_box_.contains(pt)) {
                pressed_ = true;
                dialog_->request_focus(this);
                if (opened_) {
                    close_list();
                } else {
                    opened_ = true;
                    focused_ = selected_;
                    scroll_bar_.set_page_size(std::max(1, dropdown_text_.height() / item_height()));
                    scroll_bar_.show_item(selected_);
                }
                return true;
            }
            if (on_bar) return scroll_bar_.handle_mouse(m, pt) || true;
            if (in_list) {
                int i = item_at(pt);
                close_list();
                user_select(i);
                return true;
            }
            if (opened_) close_list();  // a click elsewhere closes the list and goes on
            return false;
        case MessageKind::left_button_up:
            if (scroll_bar_.dragging()) return scroll_bar_.handle_mouse(m, pt);
            if (pressed_) {
                pressed_ = false;
                return true;
            }
            return in_list;
        case MessageKind::mouse_move:
            if (scroll_bar_.dragging()) return scroll_bar_.handle_mouse(m, pt);
            if (in_list) {
                int i = item_at(pt);
                if (i >= 0) focused_ = i;
                return true;
            }
            return false;
        case MessageKind::mouse_wheel: {
            int notches = m.wheel_delta / 120;
            if (opened_) {
                scroll_bar_.scroll(-notches);
                return true;
            }
            if (bounding_box_.contains(pt) && notches != 0 && !items_.empty()) {
                user_select(std::clamp(selected_ - notches, 0, int(items_.size()) - 1));
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

bool GuiComboBox::handle_keyboard(const Message& m) {
    if (m.kind != MessageKind::key_down) return false;
    int n = int(items_.size());
    switch (m.key) {
        case vk::return_key:
        case vk::space:
            if (opened_) {
                int pick = focused_;
                close_list();
                if (pick >= 0) user_select(pick);
            } else {
                opened_ = true;
                focused_ = selected_;
                scroll_bar_.show_item(selected_);
            }
            return true;
        case vk::escape:
            if (!opened_) return false;
            close_list();
            return true;
        case vk::up:
        case vk::left:
        case vk::down:
        case vk::right: {
            int step = (m.key == vk::up || m.key == vk::left) ? -1 : 1;
            if (n == 0) return true;
            if (opened_) {
                focused_ = std::clamp(focused_ + step, 0, n - 1);
                scroll_bar_.show_item(focused_);
            } else if (selected_ + step >= 0 && selected_ + step < n) {
                user_select(selected_ + step);
            }
            return true;
        }
        default:
            return false;
    }
}

void GuiComboBox::on_hotkey() {
    if (opened_ || selected_ < 0 || items_.empty()) return;
    user_select((selected_ + 1) % int(items_.size()));
}

void GuiComboBox::on_focus_out() {
    close_list();
    GuiButton::on_focus_out();
}

void GuiComboBox::render(Device* device, float) {
    ControlState state = current_state();
    if ((pressed_ || opened_) && state != state_disabled) state = state_pressed;
    Rect t = to_screen(text_);
    Rect b = to_screen(button_);
    device->fill_rect(t,
                      element(1).texture_colour.get(state == state_pressed ? state_normal : state));
    device->fill_rect(b, element(2).texture_colour.get(state));
    float cx = b.left + b.width() * 0.5f, cy = b.top + b.height() * 0.5f;
    float a = std::max(3.0f, b.width() * 0.2f);
    PointF tri[3] = {{cx - a, cy - a * 0.5f}, {cx + a, cy - a * 0.5f}, {cx, cy + a * 0.5f}};
    device->fill_polygon(tri, 3, element(2).font_colour.get(state));
    Rect all = to_screen(bounding_box_);
    device->draw_rect_outline(float(all.left), float(all.top), float(all.right - 1),
                              float(all.bottom - 1), 0x80000000u);
    if (const ComboItem* sel = selected_item()) {
        Rect tr{t.left + 4, t.top, t.right - 2, t.bottom};
        dialog_->draw_element_text(device, sel->text, element(0), tr,
                                   state == state_pressed ? state_normal : state);
    }
}

void GuiComboBox::render_overlay(Device* device, float elapsed_s) {
    if (!opened_) return;
    Rect d = to_screen(dropdown_);
    device->fill_rect(d, element(3).texture_colour.get(state_normal));
    device->draw_rect_outline(float(d.left), float(d.top), float(d.right - 1), float(d.bottom - 1),
                              0x80000000u);
    int h = item_height();
    Rect area = to_screen(dropdown_text_);
    int first = scroll_bar_.track_pos();
    for (int row = 0; row < scroll_bar_.page_size(); ++row) {
        int i = first + row;
        if (i >= int(items_.size())) break;
        Rect r{area.left, area.top + row * h, area.right, area.top + (row + 1) * h};
        bool hot = i == focused_;
        if (hot)
            device->fill_rect(Rect{d.left + 1, r.top, r.right, r.bottom},
                              element(4).texture_colour.get(state_normal));
        dialog_->draw_element_text(device, items_[i].text, element(hot ? 4 : 3), r, state_normal);
    }
    if (int(items_.size()) > scroll_bar_.page_size()) scroll_bar_.render(device, elapsed_s);
}

}  // namespace gui
