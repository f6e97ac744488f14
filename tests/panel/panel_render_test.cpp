#include <cstdlib>
#include <memory>

#include "gui/draw.h"
#include "panel_fixture.h"
#include "tests/gui/png_writer.h"

using namespace gui;

namespace {

constexpr Colour window_background = 0x002D32AA;  // the display's clear colour

class PanelRenderTest : public PanelTest {
  protected:
    void SetUp() override {
        device = create_offscreen_device(1024, 480);
        ASSERT_NE(device, nullptr);
        build();
        resources.on_device_created(device.get());
        resources.on_device_reset(device.get());
    }
    void TearDown() override {
        resources.on_device_lost();
        resources.on_device_destroyed();
        PanelTest::TearDown();
    }
    // One frame as the display draws it: clear, then the visible dialogs.
    void render() {
        ASSERT_TRUE(device->begin_scene());
        device->clear(window_background);
        for (GuiDialog* d :
             {&p.main_dialog, &p.tuning_dialog, &p.iq_dialog, &p.adjust_dialog, &p.card_dialog})
            if (d->is_visible()) d->render(0.0f);
        device->end_scene();
        pixels = device->read_pixels();
        if (const char* out = std::getenv("TOLVAN_PANEL_PNG"))
            write_png(out, pixels.data(), 1024, 480);
    }
    Colour at(int x, int y) const { return pixels[size_t(y) * 1024 + size_t(x)]; }
    // Share of the pixels inside the control's rectangle that have colour c (alpha ignored).
    double share(const GuiControl* control, Colour c) const {
        const Rect r = control->bounding_box();
        int hits = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) hits += (at(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
        return double(hits) / (r.width() * r.height());
    }
    // The pixels just outside the control's corners.
    void expect_background_around(const GuiControl* control) const {
        const Rect r = control->bounding_box();
        for (Point q : {Point{r.left - 3, r.top - 3}, Point{r.right + 2, r.top - 3},
                        Point{r.left - 3, r.bottom + 2}, Point{r.right + 2, r.bottom + 2}})
            EXPECT_EQ(at(q.x, q.y) & 0xFFFFFF, window_background & 0xFFFFFF)
                << control->id() << " at " << q.x << "," << q.y;
    }

    std::unique_ptr<Device> device;
    std::vector<Colour> pixels;
};

TEST_F(PanelRenderTest, ButtonsShowTheirFillOnTheWindowBackground) {
    render();
    const GuiButton* start = p.main_dialog.get_button(id_start);
    const GuiButton* select = p.main_dialog.get_button(id_select_card);
    const GuiButton* iq = p.main_dialog.get_button(id_iq_adjust);
    EXPECT_GT(share(start, 0xFFE84B17), 0.5);
    EXPECT_GT(share(select, 0xFF30D84E), 0.5);
    // "IQ Adjust" is disabled until the receiver starts: drawn, but not in its own colour.
    EXPECT_EQ(share(iq, 0xFFE84B17), 0.0);
    EXPECT_LT(share(iq, window_background), 0.5);
    expect_background_around(start);
    expect_background_around(select);
    expect_background_around(iq);
    EXPECT_EQ(at(300, 200) & 0xFFFFFF, window_background & 0xFFFFFF);
    // The hidden rate button leaves the background alone.
    const Rect hidden = p.main_dialog.get_control(id_sampling_button)->bounding_box();
    EXPECT_EQ(at(hidden.left + 5, hidden.top + 5) & 0xFFFFFF, window_background & 0xFFFFFF);

    enable_receiver_controls(p);
    render();
    EXPECT_GT(share(iq, 0xFFE84B17), 0.5);
}

}  // namespace
