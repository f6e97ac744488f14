// Face resolution, fallbacks and pixel heights.
#include "gui/font.h"

#include <gtest/gtest.h>

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

}  // namespace
