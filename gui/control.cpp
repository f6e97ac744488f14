// Control base, state colours and the static label.
#include <algorithm>

#include "gui/toolkit.h"

namespace gui {
namespace {

unsigned mix(unsigned a, unsigned b, float t) {
    return unsigned(a + (float(b) - float(a)) * t);
}

Colour mix_colour(Colour c, Colour towards, float t, float alpha_scale) {
    return make_colour(unsigned(alpha_of(c) * alpha_scale), mix(red_of(c), red_of(towards), t),
                       mix(green_of(c), green_of(towards), t),
                       mix(blue_of(c), blue_of(towards), t));
}

}  // namespace

Colour StateColours::get(ControlState s) const {
    if (!derived[s]) return colour[s];
    Colour n = colour[state_normal];
    switch (s) {
        case state_hidden:
            return 0;
        case state_disabled:
            return mix_colour(n, 0xFF808080u, 0.6f, 0.7f);
        case state_mouse_over:
            return highlight ? mix_colour(n, 0xFFFFFFFFu, 0.35f, 1.0f) : n;
        case state_pressed:
            return highlight ? mix_colour(n, 0xFF000000u, 0.25f, 1.0f) : n;
        default:
            return n;
    }
}

GuiControl::GuiControl(GuiDialog* dialog) : dialog_(dialog) {
    elements_.resize(1);
}

GuiControl::~GuiControl() {
    if (dialog_) dialog_->forget(this);
}

void GuiControl::refresh() {
    mouse_over_ = false;
    has_focus_ = false;
}

void GuiControl::set_text_colour(Colour colour) {
    element(0).font_colour.set_normal(colour);
}

void GuiControl::update_rects() {
    bounding_box_ = rect_xywh(x_, y_, width_, height_);
}

void GuiControl::set_location(int x, int y) {
    x_ = x;
    y_ = y;
    update_rects();
}

void GuiControl::set_size(int width, int height) {
    width_ = width;
    height_ = height;
    update_rects();
}

Element& GuiControl::element(std::size_t i) {
    if (i >= elements_.size()) elements_.resize(i + 1);
    return elements_[i];
}

const Element& GuiControl::element(std::size_t i) const {
    static const Element none{};
    return i < elements_.size() ? elements_[i] : none;
}

void GuiControl::set_element(std::size_t i, const Element& e) {
    element(i) = e;
}

ControlState GuiControl::current_state() const {
    if (!visible_) return state_hidden;
    if (!enabled_) return state_disabled;
    if (mouse_over_) return state_mouse_over;
    if (has_focus_) return state_focus;
    return state_normal;
}

Rect GuiControl::to_screen(const Rect& r) const {
    return dialog_ ? r.offset(dialog_->x(), dialog_->y()) : r;
}

void GuiControl::send_event(unsigned event, bool from_user) {
    if (dialog_) dialog_->send_event(event, from_user, this);
}

GuiStatic::GuiStatic(GuiDialog* dialog) : GuiControl(dialog) {
    kind_ = ControlKind::static_text;
    Element& e = element(0);
    e.text_format = text_centre | text_vcentre;
    e.font_colour.set_normal(0xFFFFFFFFu);
    e.font_colour.set(state_disabled, 0xC8DCDCDCu);
}

void GuiStatic::render(Device* device, float) {
    if (!visible_ || text_.empty()) return;
    dialog_->draw_element_text(device, text_, element(0), to_screen(bounding_box_),
                               current_state());
}

}  // namespace gui
