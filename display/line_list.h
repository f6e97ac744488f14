#pragma once
// An ordered set of coloured polylines drawn in one pass. Records survive a lost/reset pair
// of the device; destroying the device removes them.
#include <cstddef>
#include <vector>

#include "gui/draw.h"

struct line_record {
    int id = 0;  // number of records in the list when it was added
    gui::Colour colour = 0;
    float width = 1.0f;  // [px]
    bool antialias = false;
    std::vector<gui::PointF> points;  // the caller's points times the scale ratio, at least 1
};

class LineList {
  public:
    // Keeps the device; the list can draw from now on.
    int on_device_created(gui::Device* device);
    // The device keeps its lines over a lost/reset pair; nothing to do here.
    void on_device_reset();
    void on_device_lost();
    // Removes every line and forgets the device.
    void on_device_destroyed();

    // Appends a copy of `count` points, each multiplied by `scale`. status_invalid_argument
    // for no points, status_out_of_memory when the copy cannot be made; both add nothing.
    // The new record's id goes to *out_id when given.
    int add_line(int* out_id, const gui::PointF* points, std::size_t count, gui::Colour colour,
                 float width, float scale, bool antialias);
    // A closed outline of five points through the four corners.
    int add_rectangle(int* out_id, float left, float top, float right, float bottom,
                      gui::Colour colour, float width, float scale, bool antialias);
    void remove_all();

    // Draws the records in list order. status_invalid_argument when there is no device to
    // draw with.
    int render();

    const std::vector<line_record>& lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    bool can_draw() const { return device_ != nullptr; }

  private:
    gui::Device* device_ = nullptr;  // the line-drawing object: present from created to destroyed
    std::vector<line_record> lines_;
};
