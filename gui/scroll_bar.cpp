// Vertical scroll bar of the combo box's drop-down list.
#include <algorithm>

#include "gui/toolkit.h"

namespace gui {

GuiScrollBar::GuiScrollBar(GuiDialog* dialog) : GuiControl(dialog) {
    kind_ = ControlKind::scroll_bar;
    element(0).texture_colour.set_normal(0xFFC8C8C8u);  // track
    element(1).texture_colour.set_normal(0xFFA0A0A0u);  // up arrow
    element(1).font_colour.set_normal(0xFF202020u);
    element(2).texture_colour.set_normal(0xFFA0A0A0u);  // down arrow
    element(2).font_colour.set_normal(0xFF202020u);
    element(3).texture_colour.set_normal(0xFF707070u);  // thumb
    element(3).texture_colour.highlight = true;
}

void GuiScrollBar::update_rects() {
    GuiControl::update_rects();
    int side = width_;
    up_ = rect_xywh(x_, y_, width_, side);
    down_ = rect_xywh(x_, y_ + height_ - side, width_, side);
    track_ = Rect{x_, up_.bottom, x_ + width_, down_.top};
    update_thumb();
}

void GuiScrollBar::cap() {
    int last = std::max(start_, end_ - page_size_);
    position_ = std::clamp(position_, start_, last);
}

void GuiScrollBar::update_thumb() {
    int range = end_ - start_;
    show_thumb_ = range > page_size_ && track_.height() > 0;
    if (!show_thumb_) {
        thumb_ = track_;
        return;
    }
    int h = std::max(track_.height() * page_size_ / range, 8);
    h = std::min(h, track_.height());
    int travel = track_.height() - h;
    int top = track_.top + (position_ - start_) * travel / std::max(1, range - page_size_);
    thumb_ = Rect{x_, top, x_ + width_, top + h};
}

void GuiScrollBar::set_track_range(int start, int end) {
    start_ = start;
    end_ = std::max(start, end);
    cap();
    update_thumb();
}

void GuiScrollBar::set_track_pos(int position) {
    position_ = position;
    cap();
    update_thumb();
}

void GuiScrollBar::set_page_size(int page_size) {
    page_size_ = std::max(1, page_size);
    cap();
    update_thumb();
}

void GuiScrollBar::scroll(int delta) {
    set_track_pos(position_ + delta);
}

void GuiScrollBar::show_item(int index) {
    if (index < 0) return;
    if (index < position_) {
        position_ = index;
    } else if (index >= position_ + page_size_) {
        position_ = index - page_size_ + 1;
    }
    cap();
    update_thumb();
}

bool GuiScrollBar::handle_mouse(const Message& m, Point pt) {
    switch (m.kind) {
        case MessageKind::left_button_down:
        case MessageKind::left_button_double_click:
            if (up_.contains(pt)) {
                scroll(-1);
                return true;
            }
            if (down_.contains(pt)) {
                scroll(1);
                return true;
            }
            if (show_thumb_ && thumb_.contains(pt)) {
                dragging_ = true;
                drag_offset_y_ = pt.y - thumb_.top;
                return true;
            }
            if (track_.contains(pt) && show_thumb_) {
                scroll(pt.y < thumb_.top ? -page_size_ : page_size_);
                return true;
            }
            return false;
        case MessageKind::mouse_move:
            if (!dragging_) return false;
            {
                int travel = track_.height() - thumb_.height();
                int range = end_ - start_ - page_size_;
                int top = std::clamp(pt.y - drag_offset_y_, track_.top, track_.top + travel);
                set_track_pos(
                    start_ + (travel > 0 ? ((top - track_.top) * range + travel / 2) / travel : 0));
            }
            return true;
        case MessageKind::left_button_up:
            if (!dragging_) return false;
            dragging_ = false;
            return true;
        default:
            return false;
    }
}

void GuiScrollBar::render(Device* device, float) {
    ControlState state = current_state();
    device->fill_rect(to_screen(track_), element(0).texture_colour.get(state));
    auto arrow = [&](const Rect& r, bool up, const Element& e) {
        Rect s = to_screen(r);
        device->fill_rect(s, e.texture_colour.get(state));
        float cx = s.left + s.width() * 0.5f, cy = s.top + s.height() * 0.5f;
        float a = s.width() * 0.25f;
        PointF tri[3] = {{cx - a, up ? cy + a * 0.5f : cy - a * 0.5f},
                         {cx + a, up ? cy + a * 0.5f : cy - a * 0.5f},
                         {cx, up ? cy - a * 0.5f : cy + a * 0.5f}};
        device->fill_polygon(tri, 3, e.font_colour.get(state));
    };
    arrow(up_, true, element(1));
    arrow(down_, false, element(2));
    if (show_thumb_) {
        device->fill_rect(to_screen(thumb_).offset(0, 0),
                          element(3).texture_colour.get(dragging_ ? state_pressed : state));
    }
}

}  // namespace gui
