#include "display/display_state.h"

#include "display/screen_geometry.h"

namespace {

// The main trace before the first spectrum: every column on the bottom line.
void flat_trace(display_state& s) {
    for (int c = 0; c < display_columns; ++c)
        s.spectrum_vertices[c] = gui::PointF{float(c), float(spectrum_bottom_y)};
}

display_state& make() {
    static display_state state;
    flat_trace(state);
    return state;
}

}  // namespace

display_state& screen() {
    static display_state& state = make();
    return state;
}

void reset_display_state() {
    display_state& s = screen();
    s = display_state{};
    flat_trace(s);
}
