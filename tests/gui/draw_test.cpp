// Pixels of the drawing device on an off-screen surface.
#include "gui/draw.h"

#include <gtest/gtest.h>

#include "tests/gui/png_writer.h"

namespace {

using gui::Colour;

class DrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        device = gui::create_offscreen_device(1024, 480);
        ASSERT_NE(device, nullptr);
    }
    Colour at(int x, int y) { return device->read_pixel(x, y); }
    std::unique_ptr<gui::Device> device;
};

int channel_diff(Colour a, Colour b) {
    int d = 0;
    for (int shift : {0, 8, 16}) {
        d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    }
    return d;
}

TEST_F(DrawTest, ClearWritesTheColourWithoutBlendingItsAlpha) {
    device->clear(0x002D32AA);
    EXPECT_EQ(at(0, 0), 0xFF2D32AAu);
    EXPECT_EQ(at(1023, 479), 0xFF2D32AAu);
    EXPECT_EQ(device->back_buffer_desc().width, 1024);
    EXPECT_EQ(device->back_buffer_desc().height, 480);
}

TEST_F(DrawTest, ClearRectCoversExactlyItsHalfOpenRectangle) {
    device->clear(0xFF000000);
    device->clear_rect({105, 458, 205, 460}, 0xFF79E0C8);
    EXPECT_EQ(at(105, 458), 0xFF79E0C8u);
    EXPECT_EQ(at(204, 459), 0xFF79E0C8u);
    EXPECT_EQ(at(104, 458), 0xFF000000u);
    EXPECT_EQ(at(205, 458), 0xFF000000u);
    EXPECT_EQ(at(150, 460), 0xFF000000u);
    // A translucent clear still writes its colour unblended (the playback bar).
    device->clear_rect({0, 295, 10, 306}, 0x05FF0000);
    EXPECT_EQ(at(5, 300), 0xFFFF0000u);
}

TEST_F(DrawTest, FillRectBlendsItsAlpha) {
    device->clear(0xFF000000);
    device->fill_rect({10, 10, 20, 20}, 0x80FFFFFF);
    EXPECT_LE(channel_diff(at(15, 15), 0xFF808080), 2);
    EXPECT_EQ(at(20, 15), 0xFF000000u);
}

TEST_F(DrawTest, OnePixelLineWithAlphaBlendsOverBlack) {
    device->clear(0xFF000000);
    const gui::PointF pts[] = {{10, 50}, {200, 50}, {200, 100}};
    device->draw_polyline(pts, 3, 0x80FFFFFF, 1.0f, false);
    EXPECT_LE(channel_diff(at(100, 50), 0xFF808080), 2);
    EXPECT_EQ(at(100, 49), 0xFF000000u);
    EXPECT_EQ(at(100, 51), 0xFF000000u);
    // The shared corner is drawn once, not blended twice.
    EXPECT_LE(channel_diff(at(200, 50), 0xFF808080), 2);
    EXPECT_LE(channel_diff(at(200, 100), 0xFF808080), 2);
    EXPECT_LE(channel_diff(at(10, 50), 0xFF808080), 2);
}

TEST_F(DrawTest, VerticalMarkerLineLiesOnItsColumn) {
    device->clear(0xFF000000);
    const gui::PointF pts[] = {{300, 0}, {300, 280}};
    device->draw_polyline(pts, 2, 0xFFFFFF00, 1.0f, false);
    EXPECT_EQ(at(300, 0), 0xFFFFFF00u);
    EXPECT_EQ(at(300, 280), 0xFFFFFF00u);
    EXPECT_EQ(at(299, 140), 0xFF000000u);
    EXPECT_EQ(at(301, 140), 0xFF000000u);
    EXPECT_EQ(at(300, 281), 0xFF000000u);
}

TEST_F(DrawTest, ThickAndAntiAliasedLinesCoverTheirWidth) {
    device->clear(0xFF000000);
    const gui::PointF thick[] = {{10, 100}, {300, 100}};
    device->draw_polyline(thick, 2, 0xFFFF0000, 5.0f, false);
    EXPECT_EQ(at(150, 100), 0xFFFF0000u);
    EXPECT_EQ(at(150, 98), 0xFFFF0000u);
    EXPECT_EQ(at(150, 102), 0xFFFF0000u);
    EXPECT_EQ(at(150, 104), 0xFF000000u);
    EXPECT_EQ(at(150, 96), 0xFF000000u);

    const gui::PointF aa[] = {{10, 200}, {300, 260}};
    device->draw_polyline(aa, 2, 0xFFFFFFFF, 1.0f, true);
    // Somewhere on the middle column the line is bright and it fades out to the sides.
    int peak = 0;
    for (int y = 220; y < 240; ++y) peak = std::max(peak, int(at(155, y) & 255));
    EXPECT_GT(peak, 120);
    EXPECT_EQ(at(155, 215), 0xFF000000u);
    EXPECT_EQ(at(155, 245), 0xFF000000u);
}

TEST_F(DrawTest, RectangleOutlineRunsThroughTheFourCorners) {
    device->clear(0xFF000000);
    device->draw_rect_outline(100, 0, 150, 280, 0xFFFFFFFF);
    EXPECT_EQ(at(100, 0), 0xFFFFFFFFu);
    EXPECT_EQ(at(150, 280), 0xFFFFFFFFu);
    EXPECT_EQ(at(125, 280), 0xFFFFFFFFu);
    EXPECT_EQ(at(100, 140), 0xFFFFFFFFu);
    EXPECT_EQ(at(125, 140), 0xFF000000u);
}

TEST_F(DrawTest, GradientInterpolatesTheCornerColours) {
    device->clear(0xFF000000);
    device->fill_gradient({0, 0, 100, 10}, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF0000FF);
    EXPECT_GT(gui::red_of(at(1, 5)), 240);
    EXPECT_GT(gui::blue_of(at(98, 5)), 240);
    EXPECT_NEAR(gui::red_of(at(50, 5)), 128, 12);
    // A fully transparent background draws nothing.
    device->fill_gradient({200, 0, 300, 10}, 0, 0, 0, 0);
    EXPECT_EQ(at(250, 5), 0xFF000000u);
}

TEST_F(DrawTest, PictureIsCopiedUnscaledAndOpaque) {
    std::vector<Colour> px(119 * 36);
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 119; ++x)
            px[y * 119 + x] = (x == 3 || x == 4) ? 0x00FFFFFF : 0x00000080;
    }
    auto pic = gui::Picture::from_argb(119, 36, px.data());
    ASSERT_NE(pic, nullptr);
    device->clear(0xFF2D32AA);
    device->draw_picture(*pic, 890, 30);
    EXPECT_EQ(at(893, 40), 0xFFFFFFFFu);
    EXPECT_EQ(at(894, 40), 0xFFFFFFFFu);
    EXPECT_EQ(at(895, 40), 0xFF000080u);
    EXPECT_EQ(at(890 + 118, 30 + 35), 0xFF000080u);
    EXPECT_EQ(at(890 + 119, 30), 0xFF2D32AAu);
    EXPECT_EQ(at(890, 29), 0xFF2D32AAu);
}

TEST_F(DrawTest, BitmapFromMemoryLoads) {
    // 2 x 1 pixels, 24 bits, bottom-up.
    const unsigned char bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0,   0, 54,  0, 0,  0, 40, 0,
                                 0,   0,   2,  0, 0, 0, 1, 0, 0,   0, 1,   0, 24, 0, 0,  0,
                                 0,   0,   8,  0, 0, 0, 0, 0, 0,   0, 0,   0, 0,  0, 0,  0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 255, 0, 255, 0, 0,  0};
    auto pic = gui::Picture::load_bmp(bmp, sizeof bmp);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->width(), 2);
    EXPECT_EQ(pic->height(), 1);
    EXPECT_EQ(pic->pixels()[0], 0xFFFF0000u);
    EXPECT_EQ(pic->pixels()[1], 0xFF00FF00u);
    EXPECT_EQ(gui::Picture::load_bmp(bmp, 10), nullptr);
}

TEST_F(DrawTest, TextAppearsInItsColourAndRespectsAlignment) {
    auto font = gui::Font::open("", 12, 400);
    ASSERT_NE(font, nullptr);
    device->clear(0xFF000000);
    device->draw_text_at(*font, "Hz", 10, 10, 0xFFFF0000);
    device->draw_text(*font, "R", {300, 10, 400, 30}, gui::text_right | gui::text_no_clip,
                      0xFF00FF00);
    auto px = device->read_pixels();
    int red = 0, green_left = 0, green_right = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 420; ++x) {
            Colour c = px[y * 1024 + x];
            if (gui::red_of(c) > 128 && gui::green_of(c) < 40) ++red;
            if (gui::green_of(c) > 128 && x < 380) ++green_left;
            if (gui::green_of(c) > 128 && x >= 385 && x < 400) ++green_right;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(green_left, 0);
    EXPECT_GT(green_right, 5);
}

TEST_F(DrawTest, ClippedTextStaysInsideItsRectangle) {
    auto font = gui::Font::open("", 20, 400);
    ASSERT_NE(font, nullptr);
    device->clear(0xFF000000);
    device->draw_text(*font, "WWWWWWWWWW", {10, 10, 40, 40}, gui::text_left, 0xFFFFFFFF);
    auto px = device->read_pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 300; ++x) {
            bool lit = (px[y * 1024 + x] & 255) > 64;
            bool in = x >= 10 && x < 40 && y >= 10 && y < 40;
            (in ? inside : outside) += lit;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST(PngTest, WritesAReadablePngSignatureAndSize) {
    std::vector<Colour> px(4 * 3, 0xFF102030);
    const char* path = "png_test.png";
    ASSERT_TRUE(write_png(path, px.data(), 4, 3));
    FILE* f = std::fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[24];
    ASSERT_EQ(std::fread(head, 1, 24, f), 24u);
    std::fclose(f);
    EXPECT_EQ(head[1], 'P');
    EXPECT_EQ(head[2], 'N');
    EXPECT_EQ(head[19], 4);  // width, big-endian
    EXPECT_EQ(head[23], 3);  // height
    EXPECT_FALSE(write_png("/nonexistent-dir/x.png", px.data(), 4, 3));
}

}  // namespace
