// Pictures held as ARGB pixels; loading of Windows bitmaps through SDL.
#include <SDL.h>

#include <atomic>

#include "gui/draw.h"

namespace gui {
namespace {

std::atomic<std::uint64_t> next_picture_id{1};

std::unique_ptr<Picture> from_surface(SDL_Surface* loaded) {
    if (!loaded) return nullptr;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!s) return nullptr;
    std::vector<Colour> pixels(static_cast<std::size_t>(s->w) * s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
        const auto* row = reinterpret_cast<const Colour*>(
            static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch);
        // Bitmaps carry no alpha: every pixel is opaque.
        for (int x = 0; x < s->w; ++x) pixels[std::size_t(y) * s->w + x] = row[x] | 0xFF000000u;
    }
    SDL_UnlockSurface(s);
    auto p = Picture::from_argb(s->w, s->h, pixels.data());
    SDL_FreeSurface(s);
    return p;
}

}  // namespace

const char* pixel_format_name(PixelFormat f) {
    return f == PixelFormat::a8r8g8b8 ? "A8R8G8B8" : "X8R8G8B8";
}

std::unique_ptr<Picture> Picture::from_argb(int width, int height, const Colour* pixels) {
    if (width <= 0 || height <= 0 || !pixels) return nullptr;
    std::unique_ptr<Picture> p(new Picture());
    p->width_ = width;
    p->height_ = height;
    p->pixels_.assign(pixels, pixels + std::size_t(width) * height);
    p->id_ = next_picture_id.fetch_add(1);
    return p;
}

std::unique_ptr<Picture> Picture::load_bmp(const void* data, std::size_t size) {
    if (!data || size == 0) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return nullptr;
    return from_surface(SDL_LoadBMP_RW(rw, 1));
}

std::unique_ptr<Picture> Picture::load_bmp_file(const char* path) {
    if (!path) return nullptr;
    return from_surface(SDL_LoadBMP(path));
}

Colour Device::read_pixel(int x, int y) {
    const SurfaceDesc& d = back_buffer_desc();
    if (x < 0 || y < 0 || x >= d.width || y >= d.height) return 0;
    return read_pixels()[std::size_t(y) * d.width + x];
}

void Device::draw_rect_outline(float left, float top, float right, float bottom, Colour colour,
                               float width, bool antialias) {
    const PointF pts[5] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    draw_polyline(pts, 5, colour, width, antialias);
}

}  // namespace gui
