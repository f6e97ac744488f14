// What the dialogs draw: state colours, transparent backgrounds, and a screenshot of one
// control of each kind written to the build's artifacts folder.
#include <sys/stat.h>

#include "tests/gui/demo_scene.h"
#include "tests/gui/png_writer.h"
#include "tests/gui/toolkit_fixture.h"

namespace {

class PixelsTest : public ToolkitFixture {};

TEST_F(PixelsTest, ButtonFillFollowsNormalAndMouseOverColours) {
    gui::GuiButton* button;
    a.add_button(4, "IQ Adjust", 890, 70, 125, 22, 0, false, &button);
    button->set_fill_colour(0xFFE84B17);
    pump();
    EXPECT_EQ(pixel(893, 73), 0xFFE84B17u);
    move(1000, 88);
    EXPECT_TRUE(button->mouse_over());
    gui::Colour hover = pixel(893, 73);
    EXPECT_NE(hover, 0xFFE84B17u);
    EXPECT_GT(gui::green_of(hover), 0x4B);  // lighter
    button->element(1).texture_colour.set(gui::state_mouse_over, 0xFF30D84E);
    pump();
    EXPECT_EQ(pixel(893, 73), 0xFF30D84Eu);
    move(10, 10);
    EXPECT_EQ(pixel(893, 73), 0xFFE84B17u);
    button->set_enabled(false);
    pump();
    EXPECT_NE(pixel(893, 73), 0xFFE84B17u);
    button->set_visible(false);
    pump();
    EXPECT_EQ(pixel(893, 73), 0xFF000000u);
}

TEST_F(PixelsTest, DefaultBackgroundIsTransparentAndSetOnesBlend) {
    clear_colour = 0xFF2D32AA;
    a.set_location(0, 0);
    a.set_size(1024, 480);
    b.set_location(220, 230);
    b.set_size(300, 245);
    b.set_background_colours(0xFF4B75CB);
    pump();
    EXPECT_EQ(pixel(10, 10), 0xFF2D32AAu);
    EXPECT_EQ(pixel(300, 300), 0xFF4B75CBu);
    b.set_background_colours(0x320FFFFF);
    pump();
    gui::Colour c = pixel(300, 300);
    EXPECT_GT(gui::green_of(c), 0x32);
    EXPECT_LT(gui::green_of(c), 0x80);
}

TEST_F(PixelsTest, StaticTextUsesItsFontColourAndFormat) {
    a.set_font(4, "Arial Black", 20, 400);
    gui::GuiStatic* s;
    a.add_static(66, "USB", 565, 4, 72, 24, false, &s);
    s->set_font(4);
    s->set_text_format(0x100);
    s->set_text_colour(0xFF80FFFF);
    pump();
    auto px = gui::get_device()->read_pixels();
    int lit = 0, right_half = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 540; x < 700; ++x) {
            gui::Colour c = px[y * 1024 + x];
            if (gui::blue_of(c) > 128 && gui::red_of(c) > 64 && gui::red_of(c) < 160) {
                ++lit;
                if (x >= 620) ++right_half;
            }
        }
    }
    EXPECT_GT(lit, 30);
    EXPECT_EQ(right_half, 0);  // left-aligned from x = 565
}

TEST(ScreenshotTest, DialogWithOneControlOfEachKind) {
    auto device = gui::create_offscreen_device(1024, 480);
    ASSERT_NE(device, nullptr);
    demo::Scene scene;
    demo::build(scene);
    scene.resources.on_device_created(device.get());
    scene.resources.on_device_reset(device.get());
    // Open the second combo box and focus the edit box's neighbour, as a user would.
    auto* combo = scene.dialog.get_combo_box(demo::id_combo + 100);
    scene.dialog.msg_proc(nullptr,
                          gui::make_mouse_message(gui::MessageKind::left_button_down, 320, 200));
    EXPECT_TRUE(combo->is_open());
    scene.dialog.msg_proc(nullptr, gui::make_mouse_message(gui::MessageKind::mouse_move, 60, 50));
    demo::draw(scene, device.get());
    auto px = device->read_pixels();
    ::mkdir(TOLVAN_ARTIFACTS_DIR, 0755);
    std::string path = std::string(TOLVAN_ARTIFACTS_DIR) + "/gui_controls.png";
    ASSERT_TRUE(write_png(path.c_str(), px.data(), 1024, 480));
    // The open list lies over the background, the slider thumb and the edit box are drawn.
    EXPECT_NE(px[240 * 1024 + 320], 0xFF2D32AAu);
    EXPECT_EQ(px[300 * 1024 + 42], 0xFFFFFFFFu);
    scene.resources.on_device_lost();
    scene.resources.on_device_destroyed();
}

}  // namespace
