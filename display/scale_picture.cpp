#include "display/scale_picture.h"

#include <memory>
#include <string_view>
#include <vector>

using namespace gui;

namespace {

constexpr Colour black = 0xFF000000;
constexpr Colour white = 0xFFFFFFFF;
constexpr Colour red = 0xFFFF0000;
constexpr int glyph_w = 4;  // [px]
constexpr int glyph_h = 7;  // [px]
constexpr int label_top = 3;
constexpr int major_tick_top = 12;
constexpr int minor_tick_top = 16;
constexpr int tick_bottom = 22;  // exclusive; the base line follows
constexpr int base_line_top = 22;
constexpr int base_line_bottom = 24;

struct glyph {
    char c;
    const char* rows[glyph_h];
};

constexpr glyph glyphs[] = {
    {'0', {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."}},
    {'1', {".#..", "##..", ".#..", ".#..", ".#..", ".#..", "###."}},
    {'2', {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"}},
    {'3', {"###.", "...#", "...#", ".##.", "...#", "...#", "###."}},
    {'4', {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."}},
    {'5', {"####", "#...", "###.", "...#", "...#", "#..#", ".##."}},
    {'7', {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."}},
    {'9', {".##.", "#..#", "#..#", ".###", "...#", "#..#", ".##."}},
    {'+', {"....", "....", ".#..", "###.", ".#..", "....", "...."}},
};

struct canvas {
    std::vector<Colour> px = std::vector<Colour>(scale_picture_width * scale_picture_height, black);
    void set(int x, int y, Colour c) {
        if (x >= 0 && x < scale_picture_width && y >= 0 && y < scale_picture_height)
            px[y * scale_picture_width + x] = c;
    }
    void fill(int left, int top, int right, int bottom, Colour c) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) set(x, y, c);
    }
    // Text centred on the two-pixel tick that starts at tick_x.
    void label(std::string_view text, int tick_x, Colour c) {
        const int width = int(text.size()) * (glyph_w + 1) - 1;
        int x = tick_x + 1 - width / 2;
        for (char ch : text) {
            for (const glyph& g : glyphs) {
                if (g.c != ch) continue;
                for (int row = 0; row < glyph_h; ++row)
                    for (int col = 0; col < glyph_w; ++col)
                        if (g.rows[row][col] == '#') set(x + col, label_top + row, c);
            }
            x += glyph_w + 1;
        }
    }
};

std::unique_ptr<Picture> make_scale_picture() {
    canvas p;
    // S1 .. S9: a tall tick at the odd (labelled) units, a short one in between.
    for (int s = 1; s <= 9; ++s) {
        const int x = s1_tick_x + (s - 1) * s_unit_px;
        p.fill(x, s % 2 ? major_tick_top : minor_tick_top, x + 2, tick_bottom, white);
        if (s % 2) p.label(std::string_view("123456789").substr(s - 1, 1), x, white);
    }
    p.fill(over_s9_20_tick_x, major_tick_top, over_s9_20_tick_x + 2, tick_bottom, red);
    p.fill(over_s9_40_tick_x, major_tick_top, over_s9_40_tick_x + 2, tick_bottom, red);
    p.fill(last_tick_x, major_tick_top, last_tick_x + 2, tick_bottom, red);
    p.label("+20", over_s9_20_tick_x, red);
    p.label("+40", over_s9_40_tick_x, red);
    p.fill(s1_tick_x, base_line_top, s9_tick_x + 2, base_line_bottom, white);
    p.fill(s9_tick_x + 2, base_line_top, last_tick_x + 2, base_line_bottom, red);
    return Picture::from_argb(scale_picture_width, scale_picture_height, p.px.data());
}

}  // namespace

const Picture& scale_picture_resource() {
    static const std::unique_ptr<Picture> picture = make_scale_picture();
    return *picture;
}
