// Face resolution, fallbacks and pixel heights.
#include "gui/font.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(FontTest, MissingFacesFallBackToCloseInstalledFaces) {
    gui::FontMatch heavy = gui::resolve_font("Arial Black", 400);
    EXPECT_FALSE(heavy.file.empty());
    EXPECT_GE(heavy.weight, 700) << heavy.family;
    EXPECT_TRUE(heavy.family == "DejaVu Sans" || heavy.family == "Liberation Sans") << heavy.family;

    gui::FontMatch comic = gui::resolve_font("Comic Sans MS", 400);
    EXPECT_EQ(comic.family, "Comic Neue");

    gui::FontMatch arial = gui::resolve_font("Arial", 400);
    EXPECT_EQ(arial.family, "Liberation Sans");

    gui::FontMatch unknown = gui::resolve_font("No Such Face 12345", 400);
    EXPECT_FALSE(unknown.file.empty());
    EXPECT_FALSE(unknown.exact);

    gui::FontMatch installed = gui::resolve_font("DejaVu Sans", 400);
    EXPECT_TRUE(installed.exact);
    EXPECT_LT(installed.weight, 600);
}

TEST(FontTest, HeightsAreCellHeightsInPixels) {
    for (int h : {12, 16, 17, 18, 20, 42, 54}) {
        for (const char* face : {"", "Arial Black", "Comic Sans MS"}) {
            auto f = gui::Font::open(face, h, 400);
            ASSERT_NE(f, nullptr) << face << " " << h;
            EXPECT_LE(f->cell_height(), h) << face << " " << h;
            EXPECT_GE(f->cell_height(), h - 2) << face << " " << h;
            gui::Point size = f->measure("8,888 Hz");
            EXPECT_GT(size.x, h) << face << " " << h;
            EXPECT_EQ(size.y, f->cell_height());
        }
    }
    EXPECT_EQ(gui::Font::open("", 0, 400), nullptr);
    EXPECT_EQ(gui::Font::open("", 12, 400)->measure("").x, 0);
}

TEST(FontTest, HeavierWeightsWidenTheText) {
    auto normal = gui::Font::open("DejaVu Sans", 20, 400);
    auto bold = gui::Font::open("DejaVu Sans", 20, 700);
    ASSERT_TRUE(normal && bold);
    EXPECT_GT(bold->measure("Select sound card").x, normal->measure("Select sound card").x);
}

// Line heights as a face gives them: scalable (about 1.17 x the point size) or a bitmap
// face with one strike of 13 px whatever size is asked for. A search that does not end
// is stopped here after many more calls than any bounded one needs.
int calls = 0;
int scalable(int pt, void*) {
    if (++calls > 100000) throw std::runtime_error("the size search does not end");
    return (pt * 117 + 50) / 100;
}
int one_strike(int pt, void*) {
    if (++calls > 100000) throw std::runtime_error("the size search does not end");
    return 13;
}

TEST(FontTest, TheSizeSearchEndsForFacesWhoseHeightDoesNotChange) {
    calls = 0;
    EXPECT_EQ(gui::fit_point_size(20, 10, scalable, nullptr), 17);  // 17 -> 20, 18 -> 21
    EXPECT_EQ(gui::fit_point_size(20, 40, scalable, nullptr), 17);
    calls = 0;
    int pt = 0;
    EXPECT_NO_THROW(pt = gui::fit_point_size(20, 12, one_strike, nullptr));
    EXPECT_LE(pt, gui::max_point_size(20));
    calls = 0;
    EXPECT_NO_THROW(pt = gui::fit_point_size(8, 12, one_strike, nullptr));  // never fits
    EXPECT_EQ(pt, 1);
}

}  // namespace
