// Single-line edit box: caret, selection, typing and editing keys.
#include <algorithm>

#include "gui/toolkit.h"
#include "gui/utf8.h"

namespace gui {
namespace {

constexpr int margin_x = 4;  // [px] between the frame and the text

}  // namespace

GuiEditBox::GuiEditBox(GuiDialog* dialog) : GuiControl(dialog) {
    kind_ = ControlKind::edit_box;
    Element& text = element(0);
    text.text_format = text_left | text_vcentre;
    text.font_colour.set_normal(0xFF000000u);
    text.font_colour.set(state_disabled, 0xFF606060u);
    text.texture_colour.set_normal(0xFFFFFFFFu);        // background
    element(1).texture_colour.set_normal(0xFF404040u);  // frame
    Element& sel = element(2);
    sel.texture_colour.set_normal(0xFF3070D0u);  // selection
    sel.font_colour.set_normal(0xFF000000u);     // caret
}

void GuiEditBox::update_rects() {
    GuiControl::update_rects();
    text_area_ = Rect{x_ + margin_x, y_ + 2, x_ + width_ - margin_x, y_ + height_ - 2};
}

const Font* GuiEditBox::text_font() const {
    return dialog_ ? dialog_->element_font(element(0)) : nullptr;
}

void GuiEditBox::set_text(std::string_view utf8, bool select_all) {
    text_ = utf8_decode(utf8);
    caret_ = int(text_.size());
    anchor_ = select_all ? 0 : caret_;
    first_visible_ = 0;
    keep_caret_visible();
}

std::string GuiEditBox::text() const {
    return utf8_encode(text_);
}

void GuiEditBox::set_caret(int position) {
    caret_ = anchor_ = std::clamp(position, 0, int(text_.size()));
    keep_caret_visible();
}

int GuiEditBox::prefix_width(int n) const {
    const Font* f = text_font();
    if (!f || n <= first_visible_) return 0;
    return f
        ->measure(
            utf8_encode(std::u32string_view(text_).substr(first_visible_, n - first_visible_)))
        .x;
}

void GuiEditBox::keep_caret_visible() {
    first_visible_ = std::min(first_visible_, caret_);
    while (first_visible_ < caret_ && prefix_width(caret_) > text_area_.width()) ++first_visible_;
}

int GuiEditBox::position_at(int x) const {
    int rel = x - text_area_.left;
    int best = first_visible_;
    int best_dist = 1 << 30;
    for (int i = first_visible_; i <= int(text_.size()); ++i) {
        int w = prefix_width(i);
        int dist = std::abs(w - rel);
        if (dist < best_dist) {
            best = i;
            best_dist = dist;
        }
        if (w > rel) break;
    }
    return best;
}

void GuiEditBox::delete_selection() {
    int a = std::min(anchor_, caret_), b = std::max(anchor_, caret_);
    text_.erase(a, b - a);
    caret_ = anchor_ = a;
}

void GuiEditBox::insert(char32_t c) {
    text_.insert(text_.begin() + caret_, c);
    anchor_ = ++caret_;
}

bool GuiEditBox::handle_keyboard(const Message& m) {
    if (m.kind == MessageKind::char_input) {
        if (m.character < 0x20 || m.character == 0x7F) return true;
        delete_selection();
        insert(m.character);
        keep_caret_visible();
        send_event(event_edit_box_change, true);
        return true;
    }
    if (m.kind != MessageKind::key_down) {
        return m.kind == MessageKind::key_up && m.key != vk::escape && !(m.modifiers & mod_alt);
    }
    const bool shift = m.modifiers & mod_shift;
    const int n = int(text_.size());
    auto move_caret = [&](int to) {
        caret_ = std::clamp(to, 0, n);
        if (!shift) anchor_ = caret_;
        keep_caret_visible();
    };
    switch (m.key) {
        case vk::left:
            move_caret(!shift && anchor_ != caret_ ? std::min(anchor_, caret_) : caret_ - 1);
            return true;
        case vk::right:
            move_caret(!shift && anchor_ != caret_ ? std::max(anchor_, caret_) : caret_ + 1);
            return true;
        case vk::home:
            move_caret(0);
            return true;
        case vk::end:
            move_caret(n);
            return true;
        case vk::back:
        case vk::delete_key:
            if (anchor_ != caret_) {
                delete_selection();
            } else if (m.key == vk::back && caret_ > 0) {
                text_.erase(--caret_, 1);
                anchor_ = caret_;
            } else if (m.key == vk::delete_key && caret_ < n) {
                text_.erase(caret_, 1);
            } else {
                return true;
            }
            keep_caret_visible();
            send_event(event_edit_box_change, true);
            return true;
        case vk::return_key:
            if (m.modifiers & mod_alt) return false;  // Alt+Enter belongs to the framework
            send_event(event_edit_box_string, true);
            return true;
        case 'A':
            if (m.modifiers & mod_control) {
                anchor_ = 0;
                caret_ = n;
                keep_caret_visible();
                return true;
            }
            return true;
        case vk::escape:
        case vk::tab:
        case vk::pause:
            return false;
        default:
            if (m.key >= vk::f1 && m.key <= vk::f1 + 23) return false;
            // Other keys arrive again as characters; keep them from hotkeys and the framework.
            return !(m.modifiers & mod_alt);
    }
}

bool GuiEditBox::handle_mouse(const Message& m, Point pt) {
    switch (m.kind) {
        case MessageKind::left_button_down:
        case MessageKind::left_button_double_click:
            if (!bounding_box_.contains(pt)) return false;
            dialog_->request_focus(this);
            caret_ = position_at(pt.x);
            if (!(m.modifiers & mod_shift)) anchor_ = caret_;
            selecting_ = true;
            return true;
        case MessageKind::mouse_move:
            if (!selecting_) return false;
            caret_ = position_at(pt.x);
            keep_caret_visible();
            return true;
        case MessageKind::left_button_up:
            if (!selecting_) return false;
            selecting_ = false;
            return true;
        default:
            return false;
    }
}

void GuiEditBox::on_focus_in() {
    GuiControl::on_focus_in();
    selecting_ = false;
}

void GuiEditBox::render(Device* device, float) {
    ControlState state = current_state();
    Rect b = to_screen(bounding_box_);
    device->fill_rect(b, element(0).texture_colour.get(state));
    device->draw_rect_outline(float(b.left), float(b.top), float(b.right - 1), float(b.bottom - 1),
                              element(1).texture_colour.get(state));
    const Font* f = text_font();
    if (!f) return;
    Rect area = to_screen(text_area_);
    device->set_clip(&area);
    int text_h = f->cell_height();
    int top = area.top + (area.height() - text_h) / 2;
    int a = std::max(std::min(anchor_, caret_), first_visible_), e = std::max(anchor_, caret_);
    if (has_focus_ && e > a) {
        device->fill_rect(
            Rect{area.left + prefix_width(a), top, area.left + prefix_width(e), top + text_h},
            element(2).texture_colour.get(state_normal));
    }
    std::string visible = utf8_encode(std::u32string_view(text_).substr(first_visible_));
    Rect tr{area.left, top, area.right, top + text_h};
    Element e0 = element(0);
    e0.text_format = text_left | text_top;
    dialog_->draw_element_text(device, visible, e0, tr, state);
    if (has_focus_ && enabled_) {
        int cx = area.left + prefix_width(caret_);
        device->fill_rect(Rect{cx, top, cx + 2, top + text_h},
                          element(2).font_colour.get(state_normal));
    }
    device->set_clip(nullptr);
}

}  // namespace gui
