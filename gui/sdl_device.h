#pragma once
// The drawing device on an SDL renderer (window or off-screen software renderer).
// Backend header: only the framework and the device itself include SDL.
#include <SDL.h>

#include <string>
#include <unordered_map>

#include "gui/draw.h"

namespace gui {

class SdlDevice final : public Device {
  public:
    // Takes ownership of `renderer` and of `surface` (the off-screen target, may be null).
    SdlDevice(SDL_Renderer* renderer, SDL_Surface* surface, int width, int height);
    ~SdlDevice() override;

    const SurfaceDesc& back_buffer_desc() const override { return desc_; }
    void clear(Colour colour) override;
    void clear_rect(const Rect& r, Colour colour) override;
    bool begin_scene() override { return !lost_; }
    void end_scene() override {}
    void fill_rect(const Rect& r, Colour colour) override;
    void fill_gradient(const Rect& r, Colour top_left, Colour top_right, Colour bottom_left,
                       Colour bottom_right) override;
    void fill_polygon(const PointF* points, std::size_t count, Colour colour) override;
    void draw_polyline(const PointF* points, std::size_t count, Colour colour, float width,
                       bool antialias) override;
    void draw_picture(const Picture& picture, int x, int y) override;
    void draw_text(const Font& font, std::string_view utf8, const Rect& r, std::uint32_t format,
                   Colour colour) override;
    void set_clip(const Rect* r) override;
    std::vector<Colour> read_pixels() override;

    SDL_Renderer* renderer() const { return renderer_; }
    // Drops every cached texture (the renderer lost them).
    void release_textures();
    void set_lost(bool lost) { lost_ = lost; }
    // Ages the text cache; called once per presented frame.
    void end_frame();
    std::size_t cached_text_count() const { return text_cache_.size(); }

  private:
    struct CachedTexture {
        SDL_Texture* texture = nullptr;
        int width = 0;
        int height = 0;
        std::uint64_t last_used = 0;
    };
    SDL_Texture* text_texture(const Font& font, std::string_view line, int* w, int* h);
    void set_colour(Colour c, SDL_BlendMode mode);
    void geometry(const SDL_Vertex* v, int nv, const int* idx, int ni);
    void thick_segment(PointF a, PointF b, Colour c, float width, bool antialias);

    SDL_Renderer* renderer_;
    SDL_Surface* surface_;
    SurfaceDesc desc_;
    bool lost_ = false;
    bool has_clip_ = false;
    Rect clip_{};
    std::uint64_t frame_ = 0;
    std::unordered_map<std::string, CachedTexture> text_cache_;
    std::unordered_map<std::uint64_t, CachedTexture> picture_cache_;
};

}  // namespace gui
