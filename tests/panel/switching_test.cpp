// Start, the sound-card dialog and the mode application on a panel without a sound card
// library (every stream open fails, as with a card that refuses the rate).
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/rebuild_filter.h"
#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "panel/control_events.h"
#include "panel/playback_mode.h"
#include "panel/start_quit.h"
#include "tests/panel/receiver_panel.h"

namespace {

class SwitchingTest : public ReceiverPanel {
  protected:
    void SetUp() override {
        panel_handlers h;
        h.main = main_event_handler;
        h.card = card_event_handler;
        build(h, 0);
        panel_attach(&links);
    }
    void card_event(int id) { card_event_handler(0, id, p.card_dialog.get_control(id), nullptr); }
    gui::GuiRadioButton* card_radio(int id) { return p.card_dialog.get_radio_button(id); }
};

TEST_F(SwitchingTest, ApplyModeSetsTheRateFilterTuningAndIqSliders) {
    values.iq_gain_setting[0] = 9000;
    values.iq_phase_setting[0] = 100;
    modes.selected_mode = 5;
    signal.sampling_high = 1;
    apply_mode(5);
    EXPECT_EQ(signal.sample_rate, 96000);
    EXPECT_EQ(signal.passband_bin_count, 142);
    EXPECT_EQ(signal.tuned_bin, 2048);
    EXPECT_EQ(signal.passband_high_hz, 2700);
    EXPECT_TRUE(p.main_dialog.get_radio_button(id_usb)->checked());
    EXPECT_EQ(p.main_dialog.get_combo_box(id_window_combo)->selected_index(), 1);
    EXPECT_EQ(p.iq_dialog.get_slider(id_iq_gain_slider)->value(), 9000);
    EXPECT_EQ(audio.iq.iq_gain_slider_value, 9000);  // what the audio callback reads
    EXPECT_NEAR(audio.iq.iq_phase_sin, std::sin(0.01), 1e-12);
    EXPECT_EQ(p.main_dialog.get_slider(id_rf_gain_slider)->value(), 10);
    // An SSB upper-sideband pass band starts low_cutoff to the right of the tuning column.
    EXPECT_EQ(controls.passband_start_px, 512 + 50 * 1024 / 96000);
    EXPECT_EQ(controls.passband_width_px, 2700 * 1024 / 96000);
}

TEST_F(SwitchingTest, CardWithoutSlotGetsUnityIqCorrection) {
    values.selected_card = 7;
    apply_iq_settings(links);
    EXPECT_EQ(audio.iq.iq_gain_slider_value, 10000);
    EXPECT_EQ(audio.iq.iq_phase_sin, 0.0);
}

TEST_F(SwitchingTest, StartPressCaptionsQuitEnablesControlsAndAFailedOpenShowsTheCardDialog) {
    main_event_handler(0, id_start, p.main_dialog.get_control(id_start), nullptr);
    EXPECT_EQ(p.main_dialog.get_button(id_start)->text(), "Quit");
    EXPECT_TRUE(p.main_dialog.get_control(id_lsb)->get_enabled());
    EXPECT_FALSE(p.main_dialog.get_control(id_dx_cluster)->get_enabled());
    EXPECT_EQ(sound.stream_open, 0);  // no card could be opened
    EXPECT_TRUE(p.card_dialog.is_visible());
}

TEST_F(SwitchingTest, CardDialogRateAndFamilyPickTheMode) {
    card_event(id_rate_48k);
    EXPECT_TRUE(card_radio(id_family_ssb)->checked());
    EXPECT_FALSE(p.card_dialog.get_control(id_family_cw)->get_visible());
    card_event(id_rate_96k);
    EXPECT_TRUE(p.card_dialog.get_control(id_family_cw)->get_visible());

    card_radio(id_rate_96k)->set_checked(true, true, false);
    card_radio(id_family_cw)->set_checked(true, true, false);
    p.card_dialog.set_visible(true);
    card_event(id_card_ok);
    EXPECT_EQ(modes.selected_mode, 2);
    EXPECT_EQ(signal.cw_mode, 1);
    EXPECT_EQ(p.tuning_slider->max(), 4095);  // the display's scales set 0..1023 (not here)
    // The open failed: not receiving, the dialog hidden after the attempt, "Quit" shown.
    EXPECT_EQ(sound.stream_open, 0);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(p.main_dialog.get_button(id_start)->text(), "Quit");

    card_radio(id_rate_48k)->set_checked(true, true, false);
    card_event(id_card_ok);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(signal.sampling_high, 0);
    EXPECT_EQ(signal.sample_rate, 48000);
}

TEST_F(SwitchingTest, PlaybackAtTheFilesRateThenBackToTheLiveMode) {
    // A 96 kHz file while in CWU plays as CWL, and CWU comes back with its position.
    modes.selected_mode = 3;
    signal.cw_mode = 1;
    modes.mode_table[3].slider_pos = 700;
    enter_playback_mode(3, 96000);
    EXPECT_EQ(modes.selected_mode, 2);
    EXPECT_EQ(signal.cw_mode, 1);
    EXPECT_EQ(controls.live_mode, 3);
    EXPECT_EQ(modes.mode_table[2].slider_pos, controls.playback_slider_pos);
    modes.mode_table[2].slider_pos = 333;  // tuned while the file plays
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 3);
    EXPECT_EQ(modes.mode_table[3].slider_pos, 700);
    EXPECT_EQ(controls.playback_slider_pos, 333);  // the file's position is kept for next time

    // A 48 kHz file while at 96 kHz USB: LSB at 48 kHz, also afterwards.
    modes.selected_mode = 5;
    signal.cw_mode = 0;
    enter_playback_mode(5, 48000);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(signal.sample_rate, 48000);
    restore_live_mode(controls.live_mode);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_EQ(signal.sampling_high, 0);
    EXPECT_EQ(modes.mode_table[0].slider_pos, controls.live_slider_pos);
}

}  // namespace
