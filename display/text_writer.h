#pragma once
// Single text lines for one drawing pass: a font, a colour and an insertion point. Each line
// is drawn unclipped with its top-left corner at the insertion point.
#include <string_view>

#include "gui/draw.h"

class TextWriter {
  public:
    TextWriter(gui::Device* device, const gui::Font* font) : device_(device), font_(font) {}

    // Starts the batch (texts are alpha-blended).
    int begin();
    // Colour as fractions 0..1; each becomes 255 at or above 1, 0 at or below 0, otherwise
    // 255 x fraction rounded.
    void set_colour(float red, float green, float blue, float alpha);
    void set_insertion_point(int x, int y) {
        x_ = x;
        y_ = y;
    }
    // Draws the whole text, then moves the insertion point down by the line step.
    // status_invalid_argument without a font or a device.
    int draw_line(std::string_view utf8);
    int end();

    gui::Colour colour() const { return colour_; }
    gui::Point insertion_point() const { return {x_, y_}; }
    void set_line_step(int step) { line_step_ = step; }

  private:
    gui::Device* device_;
    const gui::Font* font_;
    gui::Colour colour_ = 0xFFFFFFFF;
    int x_ = 0;
    int y_ = 0;
    int line_step_ = 0;  // [px] added to y after each line
    bool begun_ = false;
};

// One colour fraction as an 8-bit channel.
unsigned colour_channel(float fraction);
