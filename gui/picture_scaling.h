#pragma once
// The picture in a window of another size: the back buffer is drawn at its own size and
// then scaled into the window's drawable area, as large as fits with its aspect ratio kept
// and centred; mouse positions are mapped back into back-buffer pixels. Pure arithmetic;
// the framework applies it.
#include "gui/types.h"

namespace gui {

struct PictureFit {
    Rect destination;           // where the picture lies [output pixels]
    bool whole_factor = false;  // scaled by a whole number: sample the nearest pixel (crisp)
};

// The fit of a picture_w x picture_h picture into an output_w x output_h drawable area.
// Whole factors (2, 3, ...) are kept exact; other factors fill the area in one direction.
PictureFit fit_picture(int picture_w, int picture_h, int output_w, int output_h);

// The window size [px] for the -width and -height options (0: not given) and a picture of
// picture_w x picture_h: an option given alone takes the other side from the picture's
// aspect ratio; none gives the picture's own size.
Point window_size_for(int width_option, int height_option, int picture_w, int picture_h);

// The back-buffer pixel under window point (x, y), where the window is window_w x window_h
// points and its drawable area output_w x output_h pixels (they differ on high-density
// screens). Points in the border around the picture map to pixels outside 0..picture_w-1 or
// 0..picture_h-1.
Point window_to_picture(const PictureFit& fit, int picture_w, int picture_h, int window_w,
                        int window_h, int output_w, int output_h, int x, int y);

}  // namespace gui
