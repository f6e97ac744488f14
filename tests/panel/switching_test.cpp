// Start, Quit, the sound-card dialog, the window box and the playback modes: the stop ->
// resize -> reopen sequence with both of its outcomes, followed through the test's stream
// operations, with the display's own scales and readouts attached.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/rebuild_filter.h"
#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "panel/card_list.h"
#include "panel/control_events.h"
#include "panel/playback_mode.h"
#include "panel/retune.h"
#include "panel/start_quit.h"
#include "tests/panel/receiver_panel.h"

namespace {

int shutdowns = 0;

class SwitchingTest : public ReceiverPanel {
  protected:
    void SetUp() override {
        shutdowns = 0;
        panel_handlers h;
        h.main = main_event_handler;
        h.card = card_event_handler;
        build(h, 4);
        links.shutdown_receiver = [] { ++shutdowns; };
        attach();
        fill_card_combo(p, {{"card A", 0}, {"card B", 1}, {"card C", 2}}, 0);
        apply_mode(4);  // start-up's mode application: no stream
        calls.clear();
    }
    void card_event(int id) { card_event_handler(0, id, p.card_dialog.get_control(id), nullptr); }
    void press(int id) { main_event_handler(0, id, p.main_dialog.get_control(id), nullptr); }
    gui::GuiRadioButton* card_radio(int id) { return p.card_dialog.get_radio_button(id); }
    // The user's choices in the dialog, as clicks make them (each click sends its event).
    void pick(int id) { card_radio(id)->set_checked(true, true, true); }
    void pick_card(int index) {
        gui::GuiComboBox* combo = p.card_dialog.get_combo_box(id_card_combo);
        combo->select_item(index);
        card_event(id_card_combo);
    }
    // Receiving in mode m at its own rate, the stream open.
    void receive_in(int32_t m) {
        const mode_family f = family_of_mode(m);
        signal.sampling_high = f.sampling_high;
        signal.cw_mode = f.cw_mode;
        modes.selected_mode = m;
        controls.cw_offset_bins = cw_offset_of_mode(modes, m);
        sound.stream_open = 1;
        open_results = {0};
        apply_mode(m);
        calls.clear();
    }
    std::string card_label() { return p.main_dialog.get_static(id_card_name)->text(); }
};

TEST_F(SwitchingTest, ApplyModeStopsThenSetsUpTheNewRateThenOpens) {
    values.iq_gain_setting[0] = 9000;
    values.iq_phase_setting[0] = 100;
    receive_in(0);  // LSB at 48 kHz
    ASSERT_EQ(signal.sample_rate, 48000);
    signal.sampling_high = 1;
    modes.selected_mode = 5;
    open_results = {0};
    apply_mode(5);
    // Stopped while still at 48 kHz, opened once everything was made for 96 kHz.
    ASSERT_EQ(calls_text(), "s o96000 ");
    EXPECT_EQ(calls[0].sample_rate, 48000);
    EXPECT_EQ(calls[1].sample_rate, 96000);
    EXPECT_EQ(calls[1].card, 0);
    EXPECT_EQ(calls[1].passband_high_hz, 2700);
    EXPECT_EQ(sound.stream_open, 1);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(signal.passband_bin_count, 142);
    EXPECT_EQ(signal.tuned_bin, 2048);
    EXPECT_TRUE(p.main_dialog.get_radio_button(id_usb)->checked());
    EXPECT_EQ(p.main_dialog.get_combo_box(id_window_combo)->selected_index(), 1);
    EXPECT_EQ(p.iq_dialog.get_slider(id_iq_gain_slider)->value(), 9000);
    EXPECT_EQ(audio.iq.iq_gain_slider_value, 9000);  // what the audio callback reads
    EXPECT_NEAR(audio.iq.iq_phase_sin, std::sin(0.01), 1e-12);
    EXPECT_EQ(p.main_dialog.get_slider(id_rf_gain_slider)->value(), 10);
    // An SSB upper-sideband pass band starts low_cutoff to the right of the tuning column.
    EXPECT_EQ(controls.passband_start_px, 512 + 50 * 1024 / 96000);
    EXPECT_EQ(controls.passband_width_px, 2700 * 1024 / 96000);
    expect_family_kept("USB at 96 kHz");
}

TEST_F(SwitchingTest, AFailedOpenShowsTheCardDialogAndTheNextStartTriesAgain) {
    press(id_start);
    EXPECT_EQ(calls_text(), "s o96000 ");
    EXPECT_EQ(p.main_dialog.get_button(id_start)->text(), "Quit");
    EXPECT_TRUE(p.main_dialog.get_control(id_lsb)->get_enabled());
    EXPECT_FALSE(p.main_dialog.get_control(id_dx_cluster)->get_enabled());
    EXPECT_EQ(sound.stream_open, 0);  // no card could be opened
    EXPECT_TRUE(p.card_dialog.is_visible());
    open_results = {0};
    press(id_start);  // still captioned "Quit", but it starts again
    EXPECT_EQ(calls_text(), "s o96000 s o96000 ");
    EXPECT_EQ(sound.stream_open, 1);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(shutdowns, 0);
    EXPECT_FALSE(quit_posted);
}

TEST_F(SwitchingTest, QuitShutsDownAndAsksToEndWithCodeZero) {
    receive_in(4);
    press(id_start);
    EXPECT_EQ(shutdowns, 1);
    EXPECT_TRUE(quit_posted);
    EXPECT_EQ(quit_code, 0);
    EXPECT_EQ(sound.stream_open, 0);
}

TEST_F(SwitchingTest, AFailedStopEndsTheSwitchWithoutOpeningAgain) {
    receive_in(4);
    stop_fails = true;
    open_results = {0};
    modes.selected_mode = 5;
    apply_mode(5);
    EXPECT_EQ(calls_text(), "s ");
    EXPECT_TRUE(quit_posted);
    // The window box reopens after its mode application: not while the program ends.
    calls.clear();
    gui::GuiComboBox* w = p.main_dialog.get_combo_box(id_window_combo);
    w->select_item(2);
    main_event_handler(0, id_window_combo, w, nullptr);
    EXPECT_EQ(calls_text(), "s ");
}

TEST_F(SwitchingTest, WindowChoiceReopensAndAFailedReopenShowsTheCardDialog) {
    receive_in(4);
    gui::GuiComboBox* w = p.main_dialog.get_combo_box(id_window_combo);
    w->select_item(3);
    open_results = {0, 1};  // the mode application opens; the reopen after it fails
    main_event_handler(0, id_window_combo, w, nullptr);
    EXPECT_EQ(modes.mode_table[4].func, 3);
    EXPECT_EQ(calls_text(), "s o96000 o96000 ");
    EXPECT_TRUE(p.card_dialog.is_visible());
}

TEST_F(SwitchingTest, StartPutsTheCwPitchOnTheRightSide) {
    for (int32_t m : {2, 3}) {
        signal.sampling_high = 1;
        signal.cw_mode = 1;
        modes.selected_mode = m;
        modes.mode_table[m].slider_pos = 500;
        sound.stream_open = 0;
        press(id_start);
        // 800 Hz at 96 kHz is 34 bins: CWL listens above the tuning, CWU below it.
        EXPECT_EQ(controls.cw_offset_bins, m == 2 ? 34.0 : -34.0) << m;
        EXPECT_EQ(signal.tuned_bin, m == 2 ? 534 : 466) << m;
        EXPECT_EQ(controls.passband_start_px, m == 2 ? 500 - 5 : 500 + 5) << m;
    }
}

TEST_F(SwitchingTest, TheCardDialogChangesNothingBeforeOk) {
    receive_in(5);  // USB at 96 kHz on card A
    ASSERT_EQ(card_label(), "card A");
    show_card_dialog(links);
    pick_card(1);
    pick(id_rate_48k);
    EXPECT_TRUE(card_radio(id_family_ssb)->checked());
    EXPECT_FALSE(p.card_dialog.get_control(id_family_cw)->get_visible());
    pick(id_rate_96k);
    EXPECT_TRUE(p.card_dialog.get_control(id_family_cw)->get_visible());
    pick(id_family_cw);
    pick(id_rate_48k);
    EXPECT_EQ(modes.selected_mode, 5);
    EXPECT_EQ(values.selected_card, 0);
    EXPECT_EQ(card_label(), "card A");
    EXPECT_EQ(calls_text(), "");
    expect_family_kept("dialog open");

    open_results = {0};
    card_event(id_card_ok);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(values.selected_card, 1);
    EXPECT_EQ(card_label(), "card B");
    ASSERT_EQ(calls_text(), "s o48000 ");
    EXPECT_EQ(calls[1].card, 1);
    EXPECT_EQ(calls[1].selected_mode, 0);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(sound.stream_open, 1);
    expect_family_kept("48KHz OK");
}

TEST_F(SwitchingTest, SelectSoundCardAgainClosesTheDialogWithoutAChange) {
    receive_in(3);  // CWU
    press(id_select_card);
    ASSERT_TRUE(p.card_dialog.is_visible());
    EXPECT_TRUE(card_radio(id_rate_96k)->checked());
    EXPECT_TRUE(card_radio(id_family_cw)->checked());
    pick_card(2);
    pick(id_rate_48k);
    press(id_select_card);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(modes.selected_mode, 3);
    EXPECT_EQ(values.selected_card, 0);
    EXPECT_EQ(calls_text(), "");
    // Opened again, it shows the receiver as it is, not the choices given up.
    press(id_select_card);
    EXPECT_TRUE(card_radio(id_rate_96k)->checked());
    EXPECT_TRUE(card_radio(id_family_cw)->checked());
    EXPECT_TRUE(p.card_dialog.get_control(id_family_cw)->get_visible());
    EXPECT_EQ(p.card_dialog.get_combo_box(id_card_combo)->selected_index(), 0);
}

TEST_F(SwitchingTest, CwFromTheCardDialogListensAtThePitch) {
    modes.mode_table[2].slider_pos = 500;
    show_card_dialog(links);
    pick(id_rate_96k);
    pick(id_family_cw);
    open_results = {0};
    card_event(id_card_ok);
    EXPECT_EQ(modes.selected_mode, 2);
    EXPECT_EQ(signal.cw_mode, 1);
    EXPECT_DOUBLE_EQ(controls.cw_offset_bins, 800 * 1024 / 24000.0);
    EXPECT_EQ(signal.tuned_bin, 534);  // a carrier under the marker is heard at the pitch
    EXPECT_EQ(p.tuning_slider->max(), 1023);
    ASSERT_EQ(calls_text(), "s o96000 ");
    EXPECT_TRUE(calls[1].tuning_slider_cw_range);
    EXPECT_EQ(p.main_dialog.get_button(id_start)->text(), "Quit");
    expect_family_kept("96KHz CW OK");
}

TEST_F(SwitchingTest, AFailedOpenAfterOkLeavesTheReceiverReadyToRetry) {
    show_card_dialog(links);
    pick(id_rate_48k);
    card_event(id_card_ok);  // every open fails
    EXPECT_EQ(calls_text(), "s o48000 ");
    EXPECT_EQ(sound.stream_open, 0);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(p.main_dialog.get_button(id_start)->text(), "Quit");
    EXPECT_EQ(signal.sample_rate, 48000);
    expect_family_kept("failed OK");
}

TEST_F(SwitchingTest, ACwFilePlaysAsCwlWithItsPitchAndCwuComesBack) {
    receive_in(3);
    modes.mode_table[3].slider_pos = 700;
    open_results = {0, 0};
    enter_playback_mode(3, 96000);
    EXPECT_EQ(modes.selected_mode, 2);
    EXPECT_EQ(controls.live_mode, 3);
    EXPECT_DOUBLE_EQ(controls.cw_offset_bins, 800 * 1024 / 24000.0);  // CWL's, not CWU's
    EXPECT_EQ(modes.mode_table[2].slider_pos, controls.playback_slider_pos);
    expect_family_kept("CW file");
    modes.mode_table[2].slider_pos = 333;  // tuned while the file plays
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 3);
    EXPECT_EQ(modes.mode_table[3].slider_pos, 700);
    EXPECT_DOUBLE_EQ(controls.cw_offset_bins, 800 * -1024 / 24000.0);
    EXPECT_EQ(signal.tuned_bin, 666);
    EXPECT_EQ(controls.playback_slider_pos, 333);  // the file's position is kept for next time
    expect_family_kept("back to CWU");
    EXPECT_EQ(calls_text(), "s o96000 s o96000 ");
}

TEST_F(SwitchingTest, Files48kAnd96kAndAMissingOneKeepModeAndRateTogether) {
    // A 48 kHz file while at 96 kHz USB: LSB at 48 kHz, also afterwards.
    receive_in(5);
    open_results = {0, 0};
    enter_playback_mode(5, 48000);
    EXPECT_EQ(modes.selected_mode, 0);
    expect_family_kept("48 kHz file");
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(modes.mode_table[0].slider_pos, controls.live_slider_pos);
    expect_family_kept("after the 48 kHz file");

    // USB at 48 kHz: a 96 kHz file plays in USB at 96 kHz, and USB at 48 kHz comes back.
    receive_in(1);
    open_results = {0, 0, 0, 0};
    enter_playback_mode(1, 96000);
    EXPECT_EQ(modes.selected_mode, 5);
    expect_family_kept("96 kHz file from 48 kHz USB");
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 1);
    expect_family_kept("back to 48 kHz USB");
    EXPECT_EQ(calls.back().rate, 48000);

    // A file that did not open (no rate) from USB at 48 kHz: nothing moves.
    calls.clear();
    enter_playback_mode(1, 0);
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 1);
    expect_family_kept("no file");
    EXPECT_EQ(calls_text(), "s o48000 s o48000 ");
}

TEST_F(SwitchingTest, ACwPlaybackLeftFor48kGivesUpThePitch) {
    receive_in(2);
    enter_playback_mode(2, 48000);
    EXPECT_EQ(controls.cw_offset_bins, 0.0);
    restore_live_mode(controls.live_mode);  // the live mode is LSB at 48 kHz now
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(controls.cw_offset_bins, 0.0);
    EXPECT_EQ(signal.tuned_bin, 2048);
}

}  // namespace
