// Slider: keys, track clicks, thumb drag and wheel; value readable from any thread.
#include <algorithm>

#include "gui/toolkit.h"

namespace gui {

GuiSlider::GuiSlider(GuiDialog* dialog) : GuiControl(dialog) {
    kind_ = ControlKind::slider;
    Element& track = element(0);
    track.texture_colour.set_normal(0xFF9AA0B0u);
    Element& thumb = element(1);
    thumb.texture_colour.highlight = true;
    thumb.texture_colour.set_normal(0xFFE6E6E6u);
}

int GuiSlider::thumb_width() const {
    return std::max(1, std::min(height_, width_));
}

void GuiSlider::update_rects() {
    GuiControl::update_rects();
    int tw = thumb_width();
    long long span = std::max(0, width_ - tw);
    long long range = (long long)max_ - min_;
    long long offset = range > 0 ? ((long long)value() - min_) * span / range : 0;
    int left = x_ + int(offset);
    thumb_ = Rect{left, y_, left + tw, y_ + height_};
}

bool GuiSlider::contains_point(Point pt) {
    return bounding_box_.contains(pt) || thumb_.contains(pt);
}

void GuiSlider::set_range(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    set_value_internal(value(), false);
    update_rects();
}

void GuiSlider::set_value_internal(int v, bool from_user) {
    v = std::clamp(v, min_, max_);
    if (v == value()) return;
    value_.store(v, std::memory_order_relaxed);
    update_rects();
    send_event(event_slider_value_changed, from_user);
}

// Value whose thumb has its left edge at dialog-relative x [px].
int GuiSlider::value_from_x(int x) const {
    int tw = thumb_width();
    long long span = std::max(1, width_ - tw);
    long long range = (long long)max_ - min_;
    long long pos = (long long)x - x_;
    long long v = min_ + (pos * range + (pos >= 0 ? span / 2 : -span / 2)) / span;
    return int(std::clamp<long long>(v, min_, max_));
}

bool GuiSlider::handle_keyboard(const Message& m) {
    if (m.kind != MessageKind::key_down) return false;
    const int page = std::max((max_ - min_) / 10, 10);
    int v = value();
    switch (m.key) {
        case vk::left:
        case vk::down:
            set_value_internal(v - 1, true);
            return true;
        case vk::right:
        case vk::up:
            set_value_internal(v + 1, true);
            return true;
        case vk::home:
            set_value_internal(min_, true);
            return true;
        case vk::end:
            set_value_internal(max_, true);
            return true;
        case vk::next:  // Page Down
            set_value_internal(v - page, true);
            return true;
        case vk::prior:  // Page Up
            set_value_internal(v + page, true);
            return true;
        default:
            return false;
    }
}

bool GuiSlider::handle_mouse(const Message& m, Point pt) {
    switch (m.kind) {
        case MessageKind::left_button_down:
        case MessageKind::left_button_double_click:
            if (thumb_.contains(pt)) {
                pressed_ = true;
                drag_offset_ = pt.x - thumb_.left;
                dialog_->request_focus(this);
                GuiDialog::set_capture(this);
                return true;
            }
            if (bounding_box_.contains(pt)) {
                dialog_->request_focus(this);
                if (pt.x >= thumb_.right) {
                    set_value_internal(value() + 1, true);
                } else if (pt.x < thumb_.left) {
                    set_value_internal(value() - 1, true);
                }
                return true;
            }
            return false;
        case MessageKind::mouse_move:
            if (!pressed_) return false;
            set_value_internal(value_from_x(pt.x - drag_offset_), true);
            return true;
        case MessageKind::left_button_up:
            if (!pressed_) return false;
            end_drag();
            send_event(event_slider_value_changed, true);
            return true;
        case MessageKind::mouse_wheel:
            set_value_internal(value() - m.wheel_delta / 120, true);
            return true;
        default:
            return false;
    }
}

void GuiSlider::end_drag() {
    pressed_ = false;
    GuiDialog::release_capture(this);
}

// A slider that stops taking input ends its drag.
void GuiSlider::set_enabled(bool enabled) {
    GuiControl::set_enabled(enabled);
    if (!enabled) end_drag();
}

void GuiSlider::set_visible(bool visible) {
    GuiControl::set_visible(visible);
    if (!visible) end_drag();
}

void GuiSlider::render(Device* device, float) {
    ControlState state = current_state();
    Rect b = to_screen(bounding_box_);
    int mid = b.top + b.height() / 2;
    device->fill_rect(Rect{b.left, mid - 2, b.right, mid + 2},
                      element(0).texture_colour.get(state));
    ControlState thumb_state = pressed_ && state != state_disabled ? state_pressed : state;
    Rect t = to_screen(thumb_);
    device->fill_rect(t, element(1).texture_colour.get(thumb_state));
    device->draw_rect_outline(float(t.left), float(t.top), float(t.right - 1), float(t.bottom - 1),
                              0x80000000u);
}

}  // namespace gui
