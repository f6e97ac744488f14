#pragma once
// Basic value types shared by the framework, the drawing layer and the toolkit.
// Coordinates are back-buffer pixels, origin top left, y downwards.
#include <cstdint>

namespace gui {

// 32-bit colour written 0xAARRGGBB.
using Colour = std::uint32_t;

constexpr std::uint8_t alpha_of(Colour c) {
    return static_cast<std::uint8_t>(c >> 24);
}
constexpr std::uint8_t red_of(Colour c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t green_of(Colour c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t blue_of(Colour c) {
    return static_cast<std::uint8_t>(c);
}
constexpr Colour make_colour(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (Colour(a & 255) << 24) | (Colour(r & 255) << 16) | (Colour(g & 255) << 8) |
           Colour(b & 255);
}

struct Point {
    int x = 0;
    int y = 0;
};

struct PointF {
    float x = 0;
    float y = 0;
};

// Half-open rectangle: left <= x < right, top <= y < bottom.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Rect offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr bool operator==(const Rect&) const = default;
};

constexpr Rect rect_xywh(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// Status values of the framework and toolkit operations (negative = failure).
constexpr int status_ok = 0;
constexpr int status_fail = -1;
constexpr int status_invalid_argument = -2;
constexpr int status_out_of_memory = -3;

}  // namespace gui
