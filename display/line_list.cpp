#include "display/line_list.h"

#include <new>

using namespace gui;

int LineList::on_device_created(Device* device) {
    if (!device) return status_invalid_argument;
    device_ = device;
    return status_ok;
}

void LineList::on_device_reset() {}

void LineList::on_device_lost() {}

void LineList::on_device_destroyed() {
    remove_all();
    device_ = nullptr;
}

int LineList::add_line(int* out_id, const PointF* points, std::size_t count, Colour colour,
                       float width, float scale, bool antialias) {
    if (!points || count == 0) return status_invalid_argument;
    try {
        line_record r;
        r.id = static_cast<int>(lines_.size());
        r.colour = colour;
        r.width = width;
        r.antialias = antialias;
        r.points.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            r.points[i] = PointF{points[i].x * scale, points[i].y * scale};
        lines_.push_back(std::move(r));
    } catch (const std::bad_alloc&) {
        return status_out_of_memory;
    }
    if (out_id) *out_id = lines_.back().id;
    return status_ok;
}

int LineList::add_rectangle(int* out_id, float left, float top, float right, float bottom,
                            Colour colour, float width, float scale, bool antialias) {
    const PointF corners[5] = {
        {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    return add_line(out_id, corners, 5, colour, width, scale, antialias);
}

void LineList::remove_all() {
    lines_.clear();
}

int LineList::render() {
    if (!device_) return status_invalid_argument;
    for (const line_record& r : lines_)
        device_->draw_polyline(r.points.data(), r.points.size(), r.colour, r.width, r.antialias);
    return status_ok;
}
