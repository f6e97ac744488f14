// Line lists and the text writer on a real off-screen device.
#include "display/line_list.h"

#include <gtest/gtest.h>

#include "display/scale_picture.h"
#include "display/text_writer.h"

using namespace gui;

namespace {

class LineListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        device = create_offscreen_device(200, 100);
        ASSERT_NE(device, nullptr);
        device->clear(0xFF000000);
    }
    Colour at(int x, int y) { return device->read_pixel(x, y) & 0xFFFFFF; }
    std::unique_ptr<Device> device;
    LineList lines;
};

TEST_F(LineListTest, InvalidArgumentsAddNothing) {
    const PointF pts[2] = {{0, 0}, {10, 10}};
    int id = -1;
    EXPECT_EQ(lines.add_line(&id, nullptr, 2, 0xFFFFFFFF, 1, 1, false), status_invalid_argument);
    EXPECT_EQ(lines.add_line(&id, pts, 0, 0xFFFFFFFF, 1, 1, false), status_invalid_argument);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(lines.size(), 0u);
    // Without a device there is nothing to draw with.
    EXPECT_EQ(lines.add_line(&id, pts, 2, 0xFFFFFFFF, 1, 1, false), status_ok);
    EXPECT_EQ(lines.render(), status_invalid_argument);
}

TEST_F(LineListTest, RecordsCopyScaledPointsAndCountTheirIds) {
    PointF pts[2] = {{1, 2}, {3, 4}};
    int id = -1;
    ASSERT_EQ(lines.add_line(&id, pts, 2, 0xFF00FF00, 1, 2.0f, false), status_ok);
    EXPECT_EQ(id, 0);
    pts[0] = {100, 100};  // the list keeps its own copy
    ASSERT_EQ(lines.add_rectangle(&id, 10, 20, 30, 40, 0xFFFF0000, 1, 1, false), status_ok);
    EXPECT_EQ(id, 1);
    const line_record& a = lines.lines()[0];
    EXPECT_FLOAT_EQ(a.points[0].x, 2);
    EXPECT_FLOAT_EQ(a.points[1].y, 8);
    const line_record& r = lines.lines()[1];
    ASSERT_EQ(r.points.size(), 5u);  // closed outline
    EXPECT_FLOAT_EQ(r.points[2].x, 30);
    EXPECT_FLOAT_EQ(r.points[2].y, 40);
    EXPECT_FLOAT_EQ(r.points[4].x, r.points[0].x);
    EXPECT_FLOAT_EQ(r.points[4].y, r.points[0].y);
    lines.remove_all();
    EXPECT_EQ(lines.size(), 0u);
}

TEST_F(LineListTest, RendersInListOrderWithEachLinesWidthAndAntialiasing) {
    ASSERT_EQ(lines.on_device_created(device.get()), status_ok);
    const PointF h[2] = {{10, 50}, {190, 50}};
    const PointF v[2] = {{100, 10}, {100, 90}};
    lines.add_line(nullptr, h, 2, 0xFFFF0000, 1, 1, false);
    lines.add_line(nullptr, v, 2, 0xFF00FF00, 1, 1, false);  // drawn over the red
    lines.add_line(nullptr, h, 2, 0xFF0000FF, 3, 1, false);  // wider
    lines.add_line(nullptr, h, 2, 0xFF0000FF, 3, 1, true);   // anti-aliased
    lines.add_line(nullptr, v, 2, 0xFF00FF00, 1, 1, true);   // narrower, last
    ASSERT_EQ(lines.render(), status_ok);
    EXPECT_GT(at(100, 30) & 0x00FF00u, 0x00F000u);  // the anti-aliased green, over the red
    EXPECT_EQ(at(100, 30) & 0xFF0000u, 0u);
    EXPECT_EQ(at(50, 50), 0x0000FFu);  // the three-pixel lines cover y 49..51
    EXPECT_EQ(at(50, 49), 0x0000FFu);
    EXPECT_EQ(at(50, 20), 0u);
    // Lost and reset keep the records; destroyed removes them.
    lines.on_device_lost();
    lines.on_device_reset();
    EXPECT_EQ(lines.size(), 5u);
    lines.on_device_destroyed();
    EXPECT_EQ(lines.size(), 0u);
    EXPECT_EQ(lines.render(), status_invalid_argument);
}

TEST_F(LineListTest, TextWriterDrawsAtTheInsertionPointInItsColour) {
    auto font = Font::open("", 12, font_weight_normal);
    ASSERT_NE(font, nullptr);
    TextWriter none(device.get(), nullptr);
    EXPECT_EQ(none.draw_line("x"), status_invalid_argument);
    TextWriter text(device.get(), font.get());
    ASSERT_EQ(text.begin(), status_ok);
    text.set_colour(1, 1, 0, 1);
    EXPECT_EQ(text.colour(), 0xFFFFFF00u);
    text.set_colour(0.5f, -1, 2, 1);
    EXPECT_EQ(text.colour(), 0xFF8000FFu);  // 127.5 rounds to 128; clamps at 0 and 255
    text.set_colour(1, 1, 1, 1);
    text.set_insertion_point(120, 60);
    ASSERT_EQ(text.draw_line("8888"), status_ok);
    text.end();
    EXPECT_EQ(text.insertion_point().y, 60);  // line step 0
    auto px = device->read_pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool lit = (px[size_t(y) * 200 + x] & 0xFFFFFF) != 0;
            ((x >= 120 && y >= 60 && y < 60 + 14) ? inside : outside) += lit;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST(ScalePicture, TicksWhereTheNeedleFormulaPutsTheUnits) {
    const Picture& p = scale_picture_resource();
    ASSERT_EQ(p.width(), 119);
    ASSERT_EQ(p.height(), 36);
    auto px = [&](int x, int y) { return p.pixels()[size_t(y) * 119 + x] & 0xFFFFFF; };
    const int y = 18;  // inside every tick
    EXPECT_EQ(px(3, y), 0xFFFFFFu);
    EXPECT_EQ(px(4, y), 0xFFFFFFu);
    EXPECT_EQ(px(2, y), 0u);
    EXPECT_EQ(px(67, y), 0xFFFFFFu);
    EXPECT_EQ(px(68, y), 0xFFFFFFu);
    EXPECT_EQ(px(69, y), 0u);
    EXPECT_EQ(px(116, y), 0xFF0000u);
    EXPECT_EQ(px(117, y), 0xFF0000u);
    EXPECT_EQ(px(118, y), 0u);
    // Labels above the ticks: white over S1..S9, red over +20 and +40.
    int white = 0, red = 0;
    for (int yy = 0; yy < 11; ++yy)
        for (int x = 0; x < 119; ++x) {
            white += px(x, yy) == 0xFFFFFFu;
            red += px(x, yy) == 0xFF0000u && x > 70;
        }
    EXPECT_GT(white, 40);
    EXPECT_GT(red, 20);
}

}  // namespace
