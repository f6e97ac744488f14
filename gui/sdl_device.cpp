// Drawing operations mapped onto SDL renderer calls.
#include "gui/sdl_device.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

namespace gui {
namespace {

SDL_Color sdl_colour(Colour c) {
    return {red_of(c), green_of(c), blue_of(c), alpha_of(c)};
}

SDL_Vertex vertex(float x, float y, Colour c) {
    return {{x, y}, sdl_colour(c), {0, 0}};
}

SDL_Rect sdl_rect(const Rect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

Rect intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

constexpr std::uint64_t text_cache_age_limit = 120;  // [frames] unused before eviction
constexpr std::size_t text_cache_max = 2048;

}  // namespace

SdlDevice::SdlDevice(SDL_Renderer* renderer, SDL_Surface* surface, int width, int height)
    : renderer_(renderer), surface_(surface) {
    desc_.width = width;
    desc_.height = height;
    desc_.format = PixelFormat::x8r8g8b8;
}

SdlDevice::~SdlDevice() {
    release_textures();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
}

void SdlDevice::release_textures() {
    for (auto& [key, t] : text_cache_) SDL_DestroyTexture(t.texture);
    for (auto& [key, t] : picture_cache_) SDL_DestroyTexture(t.texture);
    text_cache_.clear();
    picture_cache_.clear();
}

void SdlDevice::end_frame() {
    ++frame_;
    if (frame_ % 60 != 0 && text_cache_.size() < text_cache_max) return;
    for (auto it = text_cache_.begin(); it != text_cache_.end();) {
        if (frame_ - it->second.last_used > text_cache_age_limit ||
            text_cache_.size() >= text_cache_max) {
            SDL_DestroyTexture(it->second.texture);
            it = text_cache_.erase(it);
        } else {
            ++it;
        }
    }
}

void SdlDevice::set_colour(Colour c, SDL_BlendMode mode) {
    SDL_SetRenderDrawBlendMode(renderer_, mode);
    SDL_SetRenderDrawColor(renderer_, red_of(c), green_of(c), blue_of(c), alpha_of(c));
}

void SdlDevice::clear(Colour colour) {
    set_colour(colour, SDL_BLENDMODE_NONE);
    SDL_RenderClear(renderer_);
}

void SdlDevice::clear_rect(const Rect& r, Colour colour) {
    if (r.empty()) return;
    set_colour(colour, SDL_BLENDMODE_NONE);
    SDL_Rect sr = sdl_rect(r);
    SDL_RenderFillRect(renderer_, &sr);
}

void SdlDevice::fill_rect(const Rect& r, Colour colour) {
    if (r.empty() || alpha_of(colour) == 0) return;
    set_colour(colour, SDL_BLENDMODE_BLEND);
    SDL_Rect sr = sdl_rect(r);
    SDL_RenderFillRect(renderer_, &sr);
}

void SdlDevice::geometry(const SDL_Vertex* v, int nv, const int* idx, int ni) {
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(renderer_, nullptr, v, nv, idx, ni);
}

void SdlDevice::fill_gradient(const Rect& r, Colour tl, Colour tr, Colour bl, Colour br) {
    if (r.empty() || (alpha_of(tl) | alpha_of(tr) | alpha_of(bl) | alpha_of(br)) == 0) return;
    if (tl == tr && tl == bl && tl == br) return fill_rect(r, tl);
    auto l = float(r.left), t = float(r.top), rr = float(r.right), b = float(r.bottom);
    const SDL_Vertex v[4] = {vertex(l, t, tl), vertex(rr, t, tr), vertex(l, b, bl),
                             vertex(rr, b, br)};
    const int idx[6] = {0, 1, 2, 1, 3, 2};
    geometry(v, 4, idx, 6);
}

void SdlDevice::fill_polygon(const PointF* points, std::size_t count, Colour colour) {
    if (!points || count < 3 || alpha_of(colour) == 0) return;
    std::vector<SDL_Vertex> v;
    std::vector<int> idx;
    v.reserve(count);
    for (std::size_t i = 0; i < count; ++i) v.push_back(vertex(points[i].x, points[i].y, colour));
    for (std::size_t i = 1; i + 1 < count; ++i) idx.insert(idx.end(), {0, int(i), int(i + 1)});
    geometry(v.data(), int(v.size()), idx.data(), int(idx.size()));
}

// One segment as a quad of `width` [px]; with anti-aliasing the quad gets a one-pixel
// fringe on each side whose alpha falls to zero.
void SdlDevice::thick_segment(PointF a, PointF b, Colour c, float width, bool antialias) {
    float dx = b.x - a.x, dy = b.y - a.y;
    float len = std::sqrt(dx * dx + dy * dy);
    if (len < 1e-6f) return;
    float nx = -dy / len, ny = dx / len;  // unit normal
    // Pixel centres lie at +0.5: move the geometry so that a line through integer
    // coordinates covers the same pixels as a one-pixel line.
    a.x += 0.5f;
    a.y += 0.5f;
    b.x += 0.5f;
    b.y += 0.5f;
    Colour clear = c & 0x00FFFFFFu;
    float core = antialias ? std::max(width - 1.0f, 0.0f) * 0.5f : width * 0.5f;
    std::vector<SDL_Vertex> v;
    std::vector<int> idx;
    auto quad = [&](float o1, Colour c1, float o2, Colour c2) {
        int base = int(v.size());
        v.push_back(vertex(a.x + nx * o1, a.y + ny * o1, c1));
        v.push_back(vertex(b.x + nx * o1, b.y + ny * o1, c1));
        v.push_back(vertex(a.x + nx * o2, a.y + ny * o2, c2));
        v.push_back(vertex(b.x + nx * o2, b.y + ny * o2, c2));
        idx.insert(idx.end(), {base, base + 1, base + 2, base + 1, base + 3, base + 2});
    };
    if (core > 0) quad(-core, c, core, c);
    if (antialias) {
        quad(core, c, core + 1.0f, clear);
        quad(-core - 1.0f, clear, -core, c);
    }
    if (!v.empty()) geometry(v.data(), int(v.size()), idx.data(), int(idx.size()));
}

void SdlDevice::draw_polyline(const PointF* points, std::size_t count, Colour colour, float width,
                              bool antialias) {
    if (!points || count == 0 || alpha_of(colour) == 0) return;
    if (count == 1 || (width <= 1.0f && !antialias)) {
        set_colour(colour, SDL_BLENDMODE_BLEND);
        std::vector<SDL_FPoint> p(count);
        for (std::size_t i = 0; i < count; ++i) p[i] = {points[i].x, points[i].y};
        if (count == 1) {
            SDL_RenderDrawPointF(renderer_, p[0].x, p[0].y);
        } else {
            SDL_RenderDrawLinesF(renderer_, p.data(), int(count));
        }
        return;
    }
    for (std::size_t i = 0; i + 1 < count; ++i) {
        thick_segment(points[i], points[i + 1], colour, std::max(width, 1.0f), antialias);
    }
}

void SdlDevice::draw_picture(const Picture& picture, int x, int y) {
    auto it = picture_cache_.find(picture.id());
    if (it == picture_cache_.end()) {
        SDL_Texture* t =
            SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                              picture.width(), picture.height());
        if (!t) return;
        SDL_UpdateTexture(t, nullptr, picture.pixels().data(), picture.width() * 4);
        SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
        it = picture_cache_
                 .emplace(picture.id(), CachedTexture{t, picture.width(), picture.height(), frame_})
                 .first;
    }
    SDL_Rect dst{x, y, picture.width(), picture.height()};
    SDL_RenderCopy(renderer_, it->second.texture, nullptr, &dst);
}

SDL_Texture* SdlDevice::text_texture(const Font& font, std::string_view line, int* w, int* h) {
    const std::uint64_t id = font.id();
    std::string key(reinterpret_cast<const char*>(&id), sizeof id);
    key.append(line);
    auto it = text_cache_.find(key);
    if (it == text_cache_.end()) {
        std::string text(line);
        SDL_Surface* s = TTF_RenderUTF8_Blended(static_cast<TTF_Font*>(font.native()), text.c_str(),
                                                SDL_Color{255, 255, 255, 255});
        if (!s) return nullptr;
        SDL_Texture* t = SDL_CreateTextureFromSurface(renderer_, s);
        int sw = s->w, sh = s->h;
        SDL_FreeSurface(s);
        if (!t) return nullptr;
        SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
        it = text_cache_.emplace(std::move(key), CachedTexture{t, sw, sh, frame_}).first;
    }
    it->second.last_used = frame_;
    *w = it->second.width;
    *h = it->second.height;
    return it->second.texture;
}

void SdlDevice::draw_text(const Font& font, std::string_view utf8, const Rect& r,
                          std::uint32_t format, Colour colour) {
    if (utf8.empty() || alpha_of(colour) == 0 || !font.native()) return;
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        std::size_t nl = utf8.find('\n', start);
        std::string_view line = utf8.substr(start, nl == std::string_view::npos ? nl : nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    int line_h = font.cell_height();
    int block_h = line_h * int(lines.size());
    int y = r.top;
    if (format & text_vcentre) {
        y = r.top + (r.height() - block_h) / 2;
    } else if (format & text_bottom) {
        y = r.bottom - block_h;
    }
    bool clip = !(format & text_no_clip);
    if (clip) {
        Rect c = has_clip_ ? intersect(clip_, r) : r;
        if (c.empty()) return;
        SDL_Rect sc = sdl_rect(c);
        SDL_RenderSetClipRect(renderer_, &sc);
    }
    for (std::string_view line : lines) {
        int w = 0, h = 0;
        SDL_Texture* t = line.empty() ? nullptr : text_texture(font, line, &w, &h);
        if (t) {
            int x = r.left;
            if (format & text_right) {
                x = r.right - w;
            } else if (format & text_centre) {
                x = r.left + (r.width() - w) / 2;
            }
            SDL_SetTextureColorMod(t, red_of(colour), green_of(colour), blue_of(colour));
            SDL_SetTextureAlphaMod(t, alpha_of(colour));
            SDL_Rect dst{x, y, w, h};
            SDL_RenderCopy(renderer_, t, nullptr, &dst);
        }
        y += line_h;
    }
    if (clip) set_clip(has_clip_ ? &clip_ : nullptr);
}

void SdlDevice::set_clip(const Rect* r) {
    has_clip_ = r != nullptr;
    if (r) {
        clip_ = *r;
        SDL_Rect sc = sdl_rect(*r);
        SDL_RenderSetClipRect(renderer_, &sc);
    } else {
        SDL_RenderSetClipRect(renderer_, nullptr);
    }
}

std::vector<Colour> SdlDevice::read_pixels() {
    std::vector<Colour> out(std::size_t(desc_.width) * desc_.height, 0);
    SDL_RenderFlush(renderer_);
    if (surface_) {
        SDL_LockSurface(surface_);
        for (int y = 0; y < desc_.height && y < surface_->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(surface_->pixels) +
                std::size_t(y) * surface_->pitch);
            for (int x = 0; x < desc_.width && x < surface_->w; ++x) {
                out[std::size_t(y) * desc_.width + x] = row[x] | 0xFF000000u;
            }
        }
        SDL_UnlockSurface(surface_);
    } else {
        SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, out.data(),
                             desc_.width * 4);
        for (Colour& c : out) c |= 0xFF000000u;
    }
    return out;
}

std::unique_ptr<Device> create_offscreen_device(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (!s) return nullptr;
    SDL_Renderer* r = SDL_CreateSoftwareRenderer(s);
    if (!r) {
        SDL_FreeSurface(s);
        return nullptr;
    }
    if (TTF_WasInit() == 0) TTF_Init();
    return std::make_unique<SdlDevice>(r, s, width, height);
}

}  // namespace gui
