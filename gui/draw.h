#pragma once
// Drawing device: the operations the display and the toolkit draw with. One implementation
// drives an SDL renderer, either on the window or on an off-screen surface that tests read
// back. All colours are 0xAARRGGBB; coordinates are back-buffer pixels.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/font.h"
#include "gui/types.h"

namespace gui {

// Text format bits (DrawText flags). 0 = left, top, clipped to the rectangle.
constexpr std::uint32_t text_left = 0x0;
constexpr std::uint32_t text_top = 0x0;
constexpr std::uint32_t text_centre = 0x1;
constexpr std::uint32_t text_right = 0x2;
constexpr std::uint32_t text_vcentre = 0x4;
constexpr std::uint32_t text_bottom = 0x8;
constexpr std::uint32_t text_single_line = 0x20;
constexpr std::uint32_t text_no_clip = 0x100;

enum class PixelFormat { x8r8g8b8, a8r8g8b8 };

// Back-buffer surface description passed to the device callbacks.
struct SurfaceDesc {
    int width = 0;   // [px]
    int height = 0;  // [px]
    PixelFormat format = PixelFormat::x8r8g8b8;
    int multisample_count = 0;
    int multisample_quality = 0;
};

const char* pixel_format_name(PixelFormat f);  // "X8R8G8B8", "A8R8G8B8"

// A picture held in memory (ARGB pixels); copied unscaled onto the target.
class Picture {
  public:
    static std::unique_ptr<Picture> from_argb(int width, int height, const Colour* pixels);
    // A Windows bitmap (any bit depth SDL reads, 4-bit palettes included) from memory or a
    // file; null when it cannot be read.
    static std::unique_ptr<Picture> load_bmp(const void* data, std::size_t size);
    static std::unique_ptr<Picture> load_bmp_file(const char* path);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<Colour>& pixels() const { return pixels_; }
    std::uint64_t id() const { return id_; }

  private:
    Picture() = default;
    int width_ = 0;
    int height_ = 0;
    std::vector<Colour> pixels_;
    std::uint64_t id_ = 0;
};

class Device {
  public:
    virtual ~Device() = default;

    virtual const SurfaceDesc& back_buffer_desc() const = 0;

    // Clears write the colour without blending (the alpha byte is not blended).
    virtual void clear(Colour colour) = 0;
    virtual void clear_rect(const Rect& r, Colour colour) = 0;

    // Scene bracket: begin fails (false) while the device is lost.
    virtual bool begin_scene() = 0;
    virtual void end_scene() = 0;

    // Blended fills (alpha honoured).
    virtual void fill_rect(const Rect& r, Colour colour) = 0;
    // Four corner colours, interpolated across the rectangle.
    virtual void fill_gradient(const Rect& r, Colour top_left, Colour top_right, Colour bottom_left,
                               Colour bottom_right) = 0;
    // Convex polygon, blended.
    virtual void fill_polygon(const PointF* points, std::size_t count, Colour colour) = 0;

    // Polyline through `count` points, blended; `width` in pixels; anti-aliased edges
    // when `antialias`. A one-pixel line without anti-aliasing covers exactly the pixels of
    // the segments, end points included.
    virtual void draw_polyline(const PointF* points, std::size_t count, Colour colour, float width,
                               bool antialias) = 0;
    // Closed outline through the four corners (five points).
    void draw_rect_outline(float left, float top, float right, float bottom, Colour colour,
                           float width = 1.0f, bool antialias = false);

    // Copies the picture unscaled with its top-left corner at (x, y), without blending.
    virtual void draw_picture(const Picture& picture, int x, int y) = 0;

    // Text inside `r` with the format bits above; with text_no_clip the rectangle only
    // anchors the text. Lines break at '\n'.
    virtual void draw_text(const Font& font, std::string_view utf8, const Rect& r,
                           std::uint32_t format, Colour colour) = 0;
    // One unclipped line with its top-left corner at (x, y).
    void draw_text_at(const Font& font, std::string_view utf8, int x, int y, Colour colour) {
        draw_text(font, utf8, Rect{x, y, x, y}, text_no_clip, colour);
    }

    // Restricts drawing to `r` (null: the whole target).
    virtual void set_clip(const Rect* r) = 0;

    // The target's pixels as 0xFFRRGGBB, row by row (finishes pending drawing first).
    virtual std::vector<Colour> read_pixels() = 0;
    Colour read_pixel(int x, int y);
};

// A device drawing into an off-screen surface of the given size with SDL's software
// renderer. Needs no display.
std::unique_ptr<Device> create_offscreen_device(int width, int height);

}  // namespace gui
