// The device life cycle: what survives a lost/reset pair and what a re-creation rebuilds.
#include "display_fixture.h"

using namespace gui;

namespace {

using DeviceTest = DisplayTest;

std::vector<std::vector<PointF>> points_of(const LineList& lines) {
    std::vector<std::vector<PointF>> out;
    for (const line_record& r : lines.lines()) out.push_back(r.points);
    return out;
}

bool same(const std::vector<std::vector<PointF>>& a, const std::vector<std::vector<PointF>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        for (size_t j = 0; j < a[i].size(); ++j)
            if (a[i][j].x != b[i][j].x || a[i][j].y != b[i][j].y) return false;
    }
    return true;
}

TEST_F(DeviceTest, LostAndResetKeepTheGridAndSetTheSliderRangeAgain) {
    publish(-1000);
    frame();
    const auto grid = points_of(screen().grid_lines);
    const scale_geometry before = screen().scales;
    ASSERT_GT(grid.size(), 30u);
    p.tuning_slider->set_value(1234);
    p.tuning_slider->set_range(0, 10);  // something else changed the range meanwhile
    device_lost(nullptr);
    EXPECT_EQ(screen().scale_picture, nullptr);
    EXPECT_EQ(screen().frame_lines.size(), 4u);  // traces, box and needle stay listed
    ASSERT_EQ(device_reset(device.get(), nullptr, nullptr), status_ok);
    EXPECT_TRUE(same(points_of(screen().grid_lines), grid));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(screen().scales.label_x[i], before.label_x[i]);
        EXPECT_STREQ(screen().scales.scale_labels[i], before.scale_labels[i]);
    }
    EXPECT_EQ(p.tuning_slider->max(), 4095);
    EXPECT_EQ(p.tuning_slider->value(), 10);  // clamped by the foreign range, then kept
    EXPECT_TRUE(p.tuning_slider->get_enabled());
    EXPECT_EQ(p.tuning_dialog.y(), 270);
    frame();
    EXPECT_EQ(at(893, 48), 0xFFFFFFu);  // the scale picture is back: S1 tick at x 893..894
}

TEST_F(DeviceTest, ResetInCwSetsTheNarrowRangeAndEnablesTheSlider) {
    signal->cw_mode = 1;
    controls.iq_adjust_open = 1;
    p.tuning_slider->set_enabled(false);
    device_lost(nullptr);
    ASSERT_EQ(device_reset(device.get(), nullptr, nullptr), status_ok);
    EXPECT_EQ(p.tuning_slider->max(), 1023);
    EXPECT_TRUE(p.tuning_slider->get_enabled());
    EXPECT_EQ(p.main_dialog.get_button(id_sampling_button)->text(), "96KHz sampling");
}

TEST_F(DeviceTest, RecreationRebuildsTheGridAndDropsTheMarker) {
    publish(-1000);
    ctx.marker_lines->push_back({{0, 100}, {1023, 100}, 0xFFFFFF00});
    controls.marker_on = 1;
    frame();
    EXPECT_EQ(screen().marker_lines.size(), 1u);
    EXPECT_EQ(at(600, 100), 0xFFFF00u);
    const auto grid = points_of(screen().grid_lines);
    device_lost(nullptr);
    device_destroyed(nullptr);
    EXPECT_EQ(screen().grid_lines.size(), 0u);
    EXPECT_EQ(screen().text_font, nullptr);
    ASSERT_EQ(device_created(device.get(), nullptr, nullptr), status_ok);
    ASSERT_EQ(device_reset(device.get(), nullptr, nullptr), status_ok);
    EXPECT_TRUE(same(points_of(screen().grid_lines), grid));
    EXPECT_EQ(screen().scale_picture_rect, (Rect{890, 30, 1009, 66}));
    frame();
    EXPECT_EQ(screen().marker_lines.size(), 0u);
    EXPECT_NE(at(600, 100), 0xFFFF00u);
}

TEST(DeviceAcceptance, BlendingAndVertexProcessing) {
    DeviceCaps caps;
    EXPECT_TRUE(
        is_device_acceptable(&caps, PixelFormat::x8r8g8b8, PixelFormat::x8r8g8b8, true, nullptr));
    caps.post_pixel_shader_blending = false;
    EXPECT_FALSE(
        is_device_acceptable(&caps, PixelFormat::x8r8g8b8, PixelFormat::x8r8g8b8, true, nullptr));
    DeviceSettings settings;
    caps.hardware_transform_and_lighting = false;
    EXPECT_TRUE(modify_device_settings(&settings, &caps, nullptr));
    EXPECT_EQ(settings.vertex_processing, VertexProcessing::software);
}

}  // namespace
