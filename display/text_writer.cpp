#include "display/text_writer.h"

#include <cmath>

using namespace gui;

unsigned colour_channel(float fraction) {
    if (!(fraction > 0.0f)) return 0;
    if (fraction >= 1.0f) return 255;
    return static_cast<unsigned>(std::lround(255.0f * fraction));
}

int TextWriter::begin() {
    if (!device_) return status_invalid_argument;
    begun_ = true;
    return status_ok;
}

void TextWriter::set_colour(float red, float green, float blue, float alpha) {
    colour_ = make_colour(colour_channel(alpha), colour_channel(red), colour_channel(green),
                          colour_channel(blue));
}

int TextWriter::draw_line(std::string_view utf8) {
    if (!font_ || !device_) return status_invalid_argument;
    device_->draw_text_at(*font_, utf8, x_, y_, colour_);
    y_ += line_step_;
    return status_ok;
}

int TextWriter::end() {
    begun_ = false;
    return status_ok;
}
