#pragma once
// Whether a renderer's GL driver rasterises on the CPU (Mesa's llvmpipe, softpipe or swrast:
// a machine without a graphics driver, or a virtual X server such as Xvfb). There SDL's own
// software renderer, presenting straight to the X server, draws the receiver's picture at a
// fraction of the CPU time.
#include <SDL.h>

namespace gui {

bool gl_draws_in_software(SDL_Renderer* renderer);

// A software renderer for the window whose frames go to the display directly, not through
// a GL texture upload.
SDL_Renderer* create_software_window_renderer(SDL_Window* window);

}  // namespace gui
