#include "gui/software_gl.h"

#include <cstring>
#include <initializer_list>

namespace gui {

bool gl_draws_in_software(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return false;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;  // opengl, opengles2
    // The renderer's context is current on this thread once it exists.
    using get_string = const unsigned char* (*)(unsigned);
    constexpr unsigned gl_renderer = 0x1F01;
    const auto get = reinterpret_cast<get_string>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = get ? get(gl_renderer) : nullptr;
    if (!name) return false;
    const char* text = reinterpret_cast<const char*>(name);
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (std::strstr(text, soft)) return true;
    return false;
}

SDL_Renderer* create_software_window_renderer(SDL_Window* window) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace gui
