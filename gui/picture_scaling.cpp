#include "gui/picture_scaling.h"

#include <algorithm>
#include <cmath>

namespace gui {

PictureFit fit_picture(int picture_w, int picture_h, int output_w, int output_h) {
    PictureFit fit;
    if (picture_w <= 0 || picture_h <= 0 || output_w <= 0 || output_h <= 0) return fit;
    const int whole = std::min(output_w / picture_w, output_h / picture_h);
    const double factor = std::min(double(output_w) / picture_w, double(output_h) / picture_h);
    int w, h;
    if (whole >= 1 && factor - whole < 1e-9) {
        w = picture_w * whole;
        h = picture_h * whole;
        fit.whole_factor = true;
    } else {
        w = std::clamp(int(std::lround(picture_w * factor)), 1, output_w);
        h = std::clamp(int(std::lround(picture_h * factor)), 1, output_h);
    }
    fit.destination = rect_xywh((output_w - w) / 2, (output_h - h) / 2, w, h);
    return fit;
}

Point window_size_for(int width_option, int height_option, int picture_w, int picture_h) {
    if (width_option > 0 && height_option > 0) return {width_option, height_option};
    if (width_option > 0 && picture_w > 0) {
        return {width_option,
                std::max(1, int(std::lround(double(width_option) * picture_h / picture_w)))};
    }
    if (height_option > 0 && picture_h > 0) {
        return {std::max(1, int(std::lround(double(height_option) * picture_w / picture_h))),
                height_option};
    }
    return {picture_w, picture_h};
}

Point window_to_picture(const PictureFit& fit, int picture_w, int picture_h, int window_w,
                        int window_h, int output_w, int output_h, int x, int y) {
    const Rect& d = fit.destination;
    if (d.empty() || window_w <= 0 || window_h <= 0) return {x, y};
    // Window points to output pixels, then into the picture; floor keeps a whole factor k
    // mapping pixels k*p .. k*p + k - 1 to p.
    const double ox = double(x) * output_w / window_w;
    const double oy = double(y) * output_h / window_h;
    return {int(std::floor((ox - d.left) * picture_w / d.width())),
            int(std::floor((oy - d.top) * picture_h / d.height()))};
}

}  // namespace gui
