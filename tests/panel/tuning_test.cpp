// Tuning by clicks, wheel and keys through the window-message callback, with the panel
// built as at start-up and the receiver started.
#include <gtest/gtest.h>

#include "dsp/rebuild_filter.h"
#include "gui/framework.h"
#include "panel/apply_mode.h"
#include "panel/control_events.h"
#include "panel/retune.h"
#include "panel/window_message_handler.h"
#include "tests/panel/receiver_panel.h"

namespace {

class Tuning : public ReceiverPanel {
  protected:
    void SetUp() override {
        panel_handlers h;
        h.main = main_event_handler;
        h.tuning = tuning_event_handler;
        build(h, 4);
        links.marker_lines = &marker;
        play.total_blocks = 100;
        attach();
        apply_mode(4);
        enable_receiver_controls(p);
        // Where the display puts the tuning slider: under the spectrum.
        p.tuning_dialog.set_location(0, 270);
        p.tuning_dialog.set_size(1024, 100);
        p.tuning_slider->set_location(0, 0);
    }
    bool send(const gui::Message& m) {
        bool no_further = false;
        window_message_handler(nullptr, m, &no_further, nullptr);
        return no_further;
    }
    bool left(int x, int y) {
        return send(gui::make_mouse_message(gui::MessageKind::left_button_down, x, y));
    }
    bool right(int x, int y) {
        return send(gui::make_mouse_message(gui::MessageKind::right_button_down, x, y));
    }
    void key(int vk) {
        send(gui::make_key_message(gui::MessageKind::key_down, vk));
        send(gui::make_key_message(gui::MessageKind::key_up, vk));
    }
    int32_t position() { return selected_entry(modes).slider_pos; }
    void switch_to_cw() {
        signal.cw_mode = 1;
        modes.selected_mode = 2;
        apply_mode(2);
    }
    // Pointer messages at a window position.
    void mouse(gui::MessageKind kind, int x, int y) { send(gui::make_mouse_message(kind, x, y)); }
    gui::GuiSlider* agc_limit() { return p.main_dialog.get_slider(id_agc_limit_slider); }

    std::vector<marker_line> marker;
};

TEST_F(Tuning, ClicksTuneOnlyInsideTheSpectrum) {
    EXPECT_TRUE(left(100, 269));
    EXPECT_EQ(position(), 400);
    EXPECT_EQ(signal.tuned_bin, 400);
    EXPECT_EQ(p.tuning_slider->value(), 400);
    left(600, 279);  // on the tuning slider's track, right of its thumb: one step up
    EXPECT_EQ(position(), 401);
    p.tuning_slider->set_enabled(false);  // a disabled slider lets the click through
    left(200, 279);
    EXPECT_EQ(position(), 800);
    p.tuning_slider->set_enabled(false);
    left(300, 280);  // below the spectrum
    EXPECT_EQ(position(), 800);
    left(850, 100);  // the readout corner
    EXPECT_EQ(position(), 800);
    left(850, 124);
    EXPECT_EQ(position(), 3400);
    left(1023, 200);
    EXPECT_EQ(position(), 4092);
    EXPECT_TRUE(p.tuning_slider->has_focus());
}

TEST_F(Tuning, InCwOneColumnIsOneBinAndThePitchOffsetsTheTunedBin) {
    switch_to_cw();
    EXPECT_EQ(p.tuning_slider->max(), 1023);
    left(200, 200);
    EXPECT_EQ(position(), 200);
    left(1023, 200);
    EXPECT_EQ(position(), 1023);
    selected_entry(modes).slider_pos = 500;
    controls.cw_offset_bins = 34.13;
    compute_tuning(links);
    EXPECT_EQ(signal.tuned_bin, 534);
    controls.cw_offset_bins = -34.13;
    compute_tuning(links);
    EXPECT_EQ(signal.tuned_bin, 466);
    selected_entry(modes).slider_pos = 501;  // odd sums become even
    controls.cw_offset_bins = 0;
    compute_tuning(links);
    EXPECT_EQ(signal.tuned_bin, 502);
}

TEST_F(Tuning, NotchStripAndPlaybackBarTakeTheirClicks) {
    left(100, 100);
    EXPECT_TRUE(left(300, 400));
    EXPECT_EQ(signal.notch_position, 300);
    EXPECT_EQ(position(), 400);  // not tuned
    wave->playing = 1;
    left(512, 300);  // on the playback bar, under the tuning slider
    EXPECT_EQ(play.start_marker_on, 1);
    EXPECT_EQ(play.start_block, 50u);
    EXPECT_EQ(position(), 400);
    right(256, 300);  // an end marker before the start is refused
    EXPECT_EQ(play.end_marker_on, 0);
    EXPECT_EQ(controls.marker_on, 0);  // and it is no level marker either
    wave->playing = 0;
    left(768, 300);  // not playing: below the spectrum, nothing
    EXPECT_EQ(play.start_block, 50u);
    EXPECT_EQ(position(), 400);
}

TEST_F(Tuning, RightClicksSetAndClearTheLevelMarker) {
    EXPECT_TRUE(right(300, 100));
    EXPECT_EQ(controls.marker_on, 1);
    EXPECT_FLOAT_EQ(controls.reference_level_db, -40.0f);
    ASSERT_EQ(marker.size(), 2u);
    EXPECT_FLOAT_EQ(marker[0].from.y, 100);
    EXPECT_FLOAT_EQ(marker[1].from.x, 300);
    EXPECT_FLOAT_EQ(marker[1].to.y, 280);
    right(300, 100);
    EXPECT_EQ(controls.marker_on, 0);
    EXPECT_TRUE(marker.empty());
    right(850, 50);  // on in the readout corner, but no lines and no new reference
    EXPECT_EQ(controls.marker_on, 1);
    EXPECT_TRUE(marker.empty());
    EXPECT_FLOAT_EQ(controls.reference_level_db, -40.0f);
}

TEST_F(Tuning, WheelAndKeysMoveTheTuningSlider) {
    left(512, 100);
    ASSERT_EQ(position(), 2048);
    gui::Message wheel = gui::make_mouse_message(gui::MessageKind::mouse_wheel, 512, 300);
    wheel.wheel_delta = 120;  // away from the user
    for (int i = 0; i < 10; ++i) send(wheel);
    EXPECT_EQ(position(), 2038);
    key(gui::vk::right);
    EXPECT_EQ(position(), 2039);
    key(gui::vk::next);  // Page Down
    EXPECT_EQ(position(), 2039 - 409);
    key(gui::vk::end);
    EXPECT_EQ(position(), 4095);
    EXPECT_EQ(signal.tuned_bin, 4096);  // odd positions tune the even bin above
    key(gui::vk::home);
    EXPECT_EQ(position(), 0);
}

TEST_F(Tuning, PassBandColumnsLieOnTheSidebandsSide) {
    // LSB at 96 kHz, position 2048 (column 512): 2700 Hz is 28 columns wide and ends
    // low_cutoff below the tuning.
    left(512, 100);
    EXPECT_EQ(controls.passband_width_px, 28);
    EXPECT_EQ(controls.passband_start_px, 512 - 0 - 28);
    signal.low_cutoff_hz = 300;
    rebuild_filter(signal, modes);
    retune();
    EXPECT_EQ(controls.passband_start_px, 512 - 3 - 28);
    // CW, 500 Hz wide (10 columns) at the pitch, around the position itself.
    switch_to_cw();
    selected_entry(modes).slider_pos = 500;
    controls.cw_offset_bins = 34.13;  // CWL
    retune();
    EXPECT_EQ(controls.passband_width_px, 10);
    EXPECT_EQ(controls.passband_start_px, 500 - 5);
    modes.selected_mode = 3;
    selected_entry(modes).slider_pos = 500;
    controls.cw_offset_bins = -34.13;  // CWU
    retune();
    EXPECT_EQ(controls.passband_start_px, 500 + 5);
}

TEST_F(Tuning, TheWheelOverAPanelSliderMovesOnlyThatSlider) {
    left(512, 100);
    ASSERT_TRUE(p.tuning_slider->has_focus());
    gui::Message wheel = gui::make_mouse_message(gui::MessageKind::mouse_wheel, 150, 398);
    wheel.wheel_delta = 120;
    send(wheel);
    EXPECT_EQ(agc_limit()->value(), 69);
    EXPECT_FLOAT_EQ(signal.agc_gain_limit, 69.0f);
    EXPECT_EQ(position(), 2048);
}

TEST_F(Tuning, APanelSliderDragEndsWhereverTheButtonIsReleased) {
    left(512, 100);
    // The AGC limit's thumb (70 of 10..300) covers x 122..138 at y 390..406.
    mouse(gui::MessageKind::left_button_down, 130, 398);
    mouse(gui::MessageKind::mouse_move, 150, 398);
    EXPECT_EQ(agc_limit()->value(), 139);
    EXPECT_TRUE(p.tuning_slider->has_focus());      // every panel event gives it the focus
    mouse(gui::MessageKind::mouse_move, 160, 440);  // off the slider: the thumb follows x
    EXPECT_EQ(agc_limit()->value(), 174);
    EXPECT_EQ(signal.agc_gain_limit, 174.0f);
    mouse(gui::MessageKind::left_button_up, 160, 440);  // over the RF gain slider
    EXPECT_FALSE(agc_limit()->dragging());
    mouse(gui::MessageKind::mouse_move, 190, 398);  // merely passing over it
    mouse(gui::MessageKind::mouse_move, 110, 398);
    EXPECT_EQ(agc_limit()->value(), 174);
    EXPECT_EQ(p.main_dialog.get_slider(id_rf_gain_slider)->value(), 10);
    EXPECT_EQ(position(), 2048);
}

TEST_F(Tuning, LosingTheWindowFocusDisablesTuningAndEndsADrag) {
    left(512, 100);
    mouse(gui::MessageKind::left_button_down, 130, 398);
    ASSERT_TRUE(agc_limit()->dragging());
    gui::Message lost;
    lost.kind = gui::MessageKind::kill_focus;
    EXPECT_TRUE(send(lost));
    EXPECT_FALSE(p.tuning_slider->get_enabled());
    EXPECT_FALSE(agc_limit()->dragging());
    mouse(gui::MessageKind::mouse_move, 180, 398);
    EXPECT_EQ(agc_limit()->value(), 70);
    gui::Message back;
    back.kind = gui::MessageKind::set_focus;
    EXPECT_FALSE(send(back));
    EXPECT_TRUE(p.tuning_slider->get_enabled());
    EXPECT_TRUE(p.tuning_slider->has_focus());
}

TEST_F(Tuning, SizingKeepsTheWindowWidth) {
    gui::set_offscreen(true);
    ASSERT_EQ(gui::framework_init(false, false, true, true), gui::status_ok);
    ASSERT_EQ(gui::create_window("Tolvan 1.1"), gui::status_ok);
    ASSERT_EQ(gui::create_device(0, true, 1024, 480), gui::status_ok);
    gui::Rect proposed{0, 0, 1300, 600};
    gui::Message m;
    m.kind = gui::MessageKind::sizing;
    m.sizing_rect = &proposed;
    bool no_further = false;
    window_message_handler(gui::get_window_handle(), m, &no_further, nullptr);
    EXPECT_EQ(proposed.right, 1024);
    EXPECT_EQ(proposed.bottom, 600);
    gui::framework_shutdown();
}

}  // namespace
