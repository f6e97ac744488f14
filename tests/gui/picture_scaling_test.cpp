// The picture scaled into a window of another size, and mouse positions mapped back.
#include "gui/picture_scaling.h"

#include <gtest/gtest.h>

namespace {

using gui::fit_picture;
using gui::Point;
using gui::window_to_picture;

TEST(PictureScaling, WholeFactorsAreExactAndCentred) {
    auto f = fit_picture(1024, 480, 2048, 960);
    EXPECT_TRUE(f.whole_factor);
    EXPECT_EQ(f.destination, gui::rect_xywh(0, 0, 2048, 960));
    // Full HD: 1.875 wide, 2.25 high; 3840 x 2160: 3.75 and 4.5; a 3x window taller than
    // the picture keeps 3 and is centred vertically.
    f = fit_picture(1024, 480, 1920, 1080);
    EXPECT_FALSE(f.whole_factor);
    EXPECT_EQ(f.destination, gui::rect_xywh(0, 90, 1920, 900));
    f = fit_picture(1024, 480, 3072, 1600);
    EXPECT_TRUE(f.whole_factor);
    EXPECT_EQ(f.destination, gui::rect_xywh(0, 80, 3072, 1440));
    f = fit_picture(1024, 480, 1024, 480);
    EXPECT_TRUE(f.whole_factor);
    EXPECT_EQ(f.destination, gui::rect_xywh(0, 0, 1024, 480));
    // Smaller than the picture: shrunk, never empty.
    f = fit_picture(1024, 480, 512, 100);
    EXPECT_FALSE(f.whole_factor);
    EXPECT_EQ(f.destination.height(), 100);
    EXPECT_EQ(f.destination.width(), 213);
    EXPECT_TRUE(fit_picture(1024, 480, 0, 480).destination.empty());
}

TEST(PictureScaling, OptionsGivenAloneKeepTheAspectRatio) {
    EXPECT_EQ(gui::window_size_for(2048, 0, 1024, 480).y, 960);
    EXPECT_EQ(gui::window_size_for(0, 960, 1024, 480).x, 2048);
    EXPECT_EQ(gui::window_size_for(1500, 900, 1024, 480).x, 1500);
    EXPECT_EQ(gui::window_size_for(0, 0, 1024, 480).x, 1024);
    EXPECT_EQ(gui::window_size_for(0, 0, 1024, 480).y, 480);
}

TEST(PictureScaling, WindowPointsMapToThePixelUnderThem) {
    const auto f2 = fit_picture(1024, 480, 2048, 960);
    auto at = [&](int x, int y) {
        return window_to_picture(f2, 1024, 480, 2048, 960, 2048, 960, x, y);
    };
    EXPECT_EQ(at(0, 0).x, 0);
    EXPECT_EQ(at(1, 1).x, 0);  // both window pixels of picture pixel 0
    EXPECT_EQ(at(2, 3).x, 1);
    EXPECT_EQ(at(2, 3).y, 1);
    EXPECT_EQ(at(2047, 959).x, 1023);
    EXPECT_EQ(at(2047, 959).y, 479);
    // Letterboxed: the border above the picture lies outside it.
    const auto fh = fit_picture(1024, 480, 1920, 1080);
    const Point top = window_to_picture(fh, 1024, 480, 1920, 1080, 1920, 1080, 960, 10);
    EXPECT_LT(top.y, 0);
    const Point mid = window_to_picture(fh, 1024, 480, 1920, 1080, 1920, 1080, 960, 540);
    EXPECT_EQ(mid.x, 512);
    EXPECT_EQ(mid.y, 240);
    // A high-density screen: 1024 x 480 points drawn on 2048 x 960 pixels.
    const Point hi = window_to_picture(f2, 1024, 480, 1024, 480, 2048, 960, 300, 200);
    EXPECT_EQ(hi.x, 300);
    EXPECT_EQ(hi.y, 200);
}

}  // namespace
