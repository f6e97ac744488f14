// Push button, check box and radio button: input handling and procedural drawing.
#include <algorithm>
#include <cmath>

#include "gui/toolkit.h"

namespace gui {
namespace {

constexpr Colour outline_colour = 0x80000000u;

bool is_press(const Message& m) {
    return m.kind == MessageKind::left_button_down ||
           m.kind == MessageKind::left_button_double_click;
}

void circle(Device* d, float cx, float cy, float r, Colour c) {
    PointF pts[24];
    for (int i = 0; i < 24; ++i) {
        float a = float(i) * 6.2831853f / 24.0f;
        pts[i] = {cx + r * std::cos(a), cy + r * std::sin(a)};
    }
    d->fill_polygon(pts, 24, c);
}

}  // namespace

// ---- button ----

GuiButton::GuiButton(GuiDialog* dialog) : GuiStatic(dialog) {
    kind_ = ControlKind::button;
    Element& text = element(0);
    text.text_format = text_centre | text_vcentre;
    text.font_colour.set_normal(0xFF000000u);
    text.font_colour.set(state_disabled, 0xFF505050u);
    Element& fill = element(1);
    fill.texture_colour.highlight = true;
    fill.texture_colour.set_normal(0xFF8AA4D0u);
}

bool GuiButton::handle_keyboard(const Message& m) {
    if (m.key != vk::space) return false;
    if (m.kind == MessageKind::key_down) {
        pressed_ = true;
        return true;
    }
    if (m.kind == MessageKind::key_up) {
        if (pressed_) {
            pressed_ = false;
            send_event(event_button_clicked, true);
        }
        return true;
    }
    return false;
}

bool GuiButton::handle_mouse(const Message& m, Point pt) {
    if (is_press(m) && contains_point(pt)) {
        pressed_ = true;
        dialog_->request_focus(this);
        return true;
    }
    if (m.kind == MessageKind::left_button_up && pressed_) {
        pressed_ = false;
        if (contains_point(pt)) send_event(event_button_clicked, true);
        return true;
    }
    return false;
}

void GuiButton::on_hotkey() {
    send_event(event_button_clicked, true);
}

void GuiButton::on_focus_out() {
    pressed_ = false;
    GuiStatic::on_focus_out();
}

void GuiButton::render(Device* device, float) {
    ControlState state = current_state();
    if (pressed_ && state != state_disabled) state = state_pressed;
    Rect r = to_screen(bounding_box_);
    device->fill_rect(r, element(1).texture_colour.get(state));
    device->draw_rect_outline(float(r.left), float(r.top), float(r.right - 1), float(r.bottom - 1),
                              outline_colour);
    Rect t = state == state_pressed ? r.offset(1, 1) : r;
    dialog_->draw_element_text(device, text_, element(0), t, state);
}

// ---- check box ----

GuiCheckBox::GuiCheckBox(GuiDialog* dialog) : GuiButton(dialog) {
    kind_ = ControlKind::check_box;
    Element& text = element(0);
    text.text_format = text_left | text_vcentre;
    text.font_colour.set_normal(0xFFFFFFFFu);
    text.font_colour.set(state_disabled, 0xC8DCDCDCu);
    element(1).texture_colour.set_normal(0xFFE6E6E6u);
    Element& mark = element(2);
    mark.texture_colour.set_normal(0xFF202020u);
}

void GuiCheckBox::update_rects() {
    GuiButton::update_rects();
    int side = std::max(1, std::min(height_, 16));
    box_ = rect_xywh(x_, y_ + (height_ - side) / 2, side, side);
    caption_ = Rect{box_.right + 4, y_, x_ + width_, y_ + height_};
}

bool GuiCheckBox::contains_point(Point pt) {
    return bounding_box_.contains(pt) || box_.contains(pt);
}

void GuiCheckBox::user_toggle() {
    set_checked(!checked_, true);
}

void GuiCheckBox::set_checked(bool checked, bool from_user) {
    checked_ = checked;
    send_event(event_check_box_changed, from_user);
}

bool GuiCheckBox::handle_keyboard(const Message& m) {
    if (m.key != vk::space) return false;
    if (m.kind == MessageKind::key_down) {
        pressed_ = true;
        return true;
    }
    if (m.kind == MessageKind::key_up) {
        if (pressed_) {
            pressed_ = false;
            user_toggle();
        }
        return true;
    }
    return false;
}

bool GuiCheckBox::handle_mouse(const Message& m, Point pt) {
    if (is_press(m) && contains_point(pt)) {
        pressed_ = true;
        dialog_->request_focus(this);
        return true;
    }
    if (m.kind == MessageKind::left_button_up && pressed_) {
        pressed_ = false;
        if (contains_point(pt)) user_toggle();
        return true;
    }
    return false;
}

void GuiCheckBox::on_hotkey() {
    user_toggle();
}

void GuiCheckBox::render(Device* device, float) {
    ControlState state = current_state();
    if (pressed_ && state != state_disabled) state = state_pressed;
    Rect b = to_screen(box_);
    device->fill_rect(b, element(1).texture_colour.get(state));
    device->draw_rect_outline(float(b.left), float(b.top), float(b.right - 1), float(b.bottom - 1),
                              outline_colour);
    if (checked_) {
        int inset = std::max(2, b.width() / 4);
        device->fill_rect(Rect{b.left + inset, b.top + inset, b.right - inset, b.bottom - inset},
                          element(2).texture_colour.get(state));
    }
    dialog_->draw_element_text(device, text_, element(0), to_screen(caption_), state);
}

// ---- radio button ----

GuiRadioButton::GuiRadioButton(GuiDialog* dialog) : GuiCheckBox(dialog) {
    kind_ = ControlKind::radio_button;
}

void GuiRadioButton::set_checked(bool checked, bool clear_group, bool from_user) {
    if (checked && clear_group && dialog_) dialog_->clear_radio_group(group_, this);
    checked_ = checked;
    send_event(event_radio_button_changed, from_user);
}

void GuiRadioButton::user_toggle() {
    set_checked(true, true, true);
}

void GuiRadioButton::on_hotkey() {
    user_toggle();
}

void GuiRadioButton::render(Device* device, float) {
    ControlState state = current_state();
    if (pressed_ && state != state_disabled) state = state_pressed;
    Rect b = to_screen(box_);
    float r = b.width() * 0.5f;
    float cx = b.left + r, cy = b.top + b.height() * 0.5f;
    circle(device, cx, cy, r, element(1).texture_colour.get(state));
    if (checked_)
        circle(device, cx, cy, std::max(1.5f, r * 0.45f), element(2).texture_colour.get(state));
    dialog_->draw_element_text(device, text_, element(0), to_screen(caption_), state);
}

}  // namespace gui
