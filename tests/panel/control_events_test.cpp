// The actions of the main, I/Q and calibration dialogs' controls, driven through the
// toolkit where a control sends its own event (radios, check boxes) and through the
// handler otherwise; no sound card (every stream open fails).
#include "panel/control_events.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "platform/message_box.h"
#include "tests/panel/receiver_panel.h"

namespace fs = std::filesystem;

namespace {

int readouts = 0;
int rebuilds = 0;

class ControlEvents : public ReceiverPanel {
  protected:
    void SetUp() override {
        readouts = rebuilds = 0;
        panel_handlers h;
        h.main = main_event_handler;
        h.adjust = adjust_event_handler;
        h.card = card_event_handler;
        build(h, 4);
        links.rebuild_scales = [] {
            ++rebuilds;
            rebuild_scales();
        };
        links.update_frequency_readout = [] {
            ++readouts;
            update_frequency_readout();
        };
        links.record_button_on = &record_on;
        attach();
        apply_mode(4);
    }
    void press(int id) { main_event_handler(0, id, p.main_dialog.get_control(id), nullptr); }
    void tuning_moved() { selected_entry(modes).slider_pos = p.tuning_slider->value(); }
    void click_radio(int id) { p.main_dialog.get_radio_button(id)->set_checked(true, true, true); }
    void slide(int id, int value) {
        gui::GuiSlider* s = p.main_dialog.get_slider(id);
        s->set_value(value);
        main_event_handler(0, id, s, nullptr);
    }
    const mode_entry& entry(int m) { return modes.mode_table[m]; }
    std::string caption(int id) {  // buttons and check boxes are statics with a caption
        return static_cast<gui::GuiStatic*>(p.main_dialog.get_control(id))->text();
    }
    gui::Colour fill(int id) {
        return p.main_dialog.get_button(id)->element(1).texture_colour.colour[gui::state_normal];
    }
    void enter(int id, const char* text) {
        gui::GuiEditBox* e = p.adjust_dialog.get_edit_box(id);
        e->set_text(text);
        adjust_event_handler(gui::event_edit_box_string, id, e, nullptr);
    }

    relaxed<uint8_t> record_on{0};
};

TEST_F(ControlEvents, ModeRadiosCarryTheTuningWithinOneKindOnly) {
    modes.mode_table[4].slider_pos = 1234;
    modes.mode_table[2].slider_pos = 300;
    click_radio(id_usb);
    EXPECT_EQ(modes.selected_mode, 5);
    EXPECT_EQ(entry(5).slider_pos, 1234);  // LSB -> USB keeps the position
    EXPECT_EQ(signal.passband_high_hz - signal.passband_low_hz, 2700 - 50);
    EXPECT_EQ(p.tuning_slider->value(), 1234);
    click_radio(id_cwl);
    EXPECT_EQ(modes.selected_mode, 2);
    EXPECT_EQ(controls.previous_mode, 5);
    EXPECT_EQ(p.tuning_slider->value(), 300);  // CW starts from its own position
    EXPECT_TRUE(signal.cw_mode);
    EXPECT_EQ(values.show_average, 0);
    EXPECT_DOUBLE_EQ(controls.cw_offset_bins, entry(2).offset * 1024 / 24000.0);
    EXPECT_EQ(caption(id_average), "peak");
    click_radio(id_cwu);
    EXPECT_EQ(entry(3).slider_pos, 300);  // CWL -> CWU keeps it
    EXPECT_DOUBLE_EQ(controls.cw_offset_bins, entry(3).offset * -1024 / 24000.0);
    EXPECT_EQ(entry(3).usb, 1);
    EXPECT_GE(rebuilds, 3);
    expect_family_kept("CWU");

    // USB -> LSB at 96 kHz carries the position back.
    click_radio(id_usb);
    EXPECT_EQ(modes.selected_mode, 5);
    EXPECT_EQ(controls.cw_offset_bins, 0.0);
    p.tuning_slider->set_value(2222);
    tuning_moved();
    click_radio(id_lsb);
    EXPECT_EQ(modes.selected_mode, 4);
    EXPECT_EQ(entry(4).slider_pos, 2222);
    EXPECT_EQ(signal.tuned_bin, 2222);
    expect_family_kept("LSB");
}

TEST_F(ControlEvents, EveryEventEndsWithTheSelectedModesBandwidthRadioAndFocusedTuning) {
    click_radio(14);  // "1,100"
    ASSERT_EQ(entry(4).bandwidth_pos, 14);
    // Something checked another bandwidth radio without an event, and took the focus.
    p.main_dialog.get_radio_button(11)->set_checked(true, true, false);
    gui::GuiDialog::clear_focus();
    press(id_dbm);
    EXPECT_TRUE(p.main_dialog.get_radio_button(14)->checked());
    EXPECT_FALSE(p.main_dialog.get_radio_button(11)->checked());
    EXPECT_TRUE(p.tuning_slider->has_focus());
    EXPECT_TRUE(p.tuning_slider->get_enabled());
}

TEST_F(ControlEvents, CwRadiosDoNothingAt48kHz) {
    signal.sampling_high = 0;
    modes.selected_mode = 0;
    apply_mode(0);
    const int32_t high = signal.passband_high_hz;
    click_radio(id_cwl);
    EXPECT_EQ(modes.selected_mode, 0);
    EXPECT_FALSE(signal.cw_mode);
    EXPECT_EQ(signal.passband_high_hz, high);
    click_radio(id_usb);
    EXPECT_EQ(modes.selected_mode, 1);  // the 48 kHz USB entry
}

TEST_F(ControlEvents, BandwidthAndLowCutoffRebuildTheFilter) {
    click_radio(id_bandwidth_first);  // "120"
    EXPECT_EQ(entry(4).band_width, 80);
    EXPECT_EQ(entry(4).bandwidth_pos, id_bandwidth_first);
    EXPECT_EQ(signal.passband_high_hz, 80);
    click_radio(16);  // "2,700"
    press(id_low_cut_300);
    EXPECT_EQ(signal.low_cutoff_hz, 300);
    EXPECT_EQ(signal.passband_low_hz, 300);
    press(id_low_cut_50);  // the "100Hz" button
    EXPECT_EQ(signal.low_cutoff_hz, 50);
    EXPECT_EQ(bandwidth_of_radio(10), -1);
    EXPECT_EQ(bandwidth_of_radio(18), 3100);
}

TEST_F(ControlEvents, SlidersSetTheirValues) {
    slide(id_rf_gain_slider, 19);
    EXPECT_EQ(modes.rf_gain, 1);
    slide(id_rf_gain_slider, 100);
    EXPECT_EQ(modes.rf_gain, 10);
    slide(id_display_speed_slider, 90);
    EXPECT_EQ(values.display_speed, 10);
    slide(id_agc_limit_slider, 55);
    EXPECT_FLOAT_EQ(signal.agc_gain_limit, 55.0f);
    slide(id_notch_span_slider, 30);
    EXPECT_EQ(signal.notch_span, 30);
}

TEST_F(ControlEvents, TogglesShowTheirStateInCaptionAndColour) {
    press(id_reverse_input);
    EXPECT_EQ(modes.reverse_input, 1);
    EXPECT_EQ(caption(id_reverse_input), "reverse input");
    EXPECT_EQ(fill(id_reverse_input), fill_active);
    press(id_reverse_input);
    EXPECT_EQ(caption(id_reverse_input), "noromal input");
    EXPECT_EQ(fill(id_reverse_input), fill_idle);
    press(id_dbm);
    EXPECT_EQ(values.show_dBm, 0);
    EXPECT_EQ(caption(id_dbm), "dBuEMF");
    press(id_average);
    EXPECT_EQ(caption(id_average), "peak");

    p.main_dialog.get_check_box(id_agc_check)->set_checked(false, true);
    EXPECT_EQ(modes.agc_on, 0);
    EXPECT_EQ(caption(id_agc_check), "AGC Off");
    EXPECT_EQ(caption(id_agc_readout), "AGC off");
    p.main_dialog.get_check_box(id_agc_check)->set_checked(true, true);
    EXPECT_EQ(modes.agc_on, 1);
    EXPECT_EQ(caption(id_agc_readout), "AGC on");

    p.main_dialog.get_check_box(id_notch_check)->set_checked(true, true);
    EXPECT_EQ(signal.notch_on, 1);
    EXPECT_EQ(caption(id_notch_check), "Notch On");
    EXPECT_EQ(p.main_dialog.get_control(id_notch_check)->element(0).font_colour.colour[0],
              0xFFFFFF00u);
}

TEST_F(ControlEvents, IqDialogHoldsTheTuningSliderAndStoresTheCardsSlot) {
    press(id_iq_adjust);
    EXPECT_EQ(controls.iq_adjust_open, 1);
    EXPECT_FALSE(p.tuning_slider->get_enabled());
    gui::GuiSlider* gain = p.iq_dialog.get_slider(id_iq_gain_slider);
    gain->set_value(9500);
    main_event_handler(0, id_iq_gain_slider, gain, nullptr);
    EXPECT_EQ(audio.iq.iq_gain_slider_value, 9500);
    EXPECT_DOUBLE_EQ(audio.iq.iq_gain_factor, 0.95);
    EXPECT_EQ(values.iq_gain_setting[0], 9500);
    gui::GuiSlider* phase = p.iq_dialog.get_slider(id_iq_phase_slider);
    phase->set_value(200);
    main_event_handler(0, id_iq_phase_slider, phase, nullptr);
    EXPECT_NEAR(audio.iq.iq_phase_sec, 1 / std::cos(0.02), 1e-12);
    EXPECT_FALSE(p.tuning_slider->get_enabled());  // every event keeps it disabled
    press(id_iq_adjust);
    EXPECT_TRUE(p.tuning_slider->get_enabled());
    EXPECT_TRUE(p.tuning_slider->has_focus());
    EXPECT_EQ(values.iq_phase_setting[0], 200);

    values.selected_card = 12;  // no slot: the balance changes, nothing is stored
    gain->set_value(8000);
    main_event_handler(0, id_iq_gain_slider, gain, nullptr);
    EXPECT_EQ(audio.iq.iq_gain_slider_value, 8000);
    EXPECT_EQ(values.iq_gain_setting[0], 9500);
}

TEST_F(ControlEvents, CalibrationTakesAValueOnlyOnEnter) {
    values.dBm_adjust_value = -3.45;
    press(id_freq_adjust);
    EXPECT_TRUE(p.adjust_dialog.is_visible());
    EXPECT_EQ(caption(id_freq_adjust), "adjust end");
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_center_frequency_edit)->text(), "7056212");
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_dbm_edit)->text(), "-3.5");
    gui::GuiEditBox* f = p.adjust_dialog.get_edit_box(id_center_frequency_edit);
    f->set_text("14074000");
    adjust_event_handler(gui::event_edit_box_change, id_center_frequency_edit, f, nullptr);
    EXPECT_EQ(values.center_frequency_Hz, 7056212);  // typing alone changes nothing
    const int before = readouts;
    enter(id_center_frequency_edit, "  14074000 Hz");
    EXPECT_EQ(values.center_frequency_Hz, 14074000);
    EXPECT_EQ(readouts, before + 1);
    enter(id_ssb96_edit, "-12x");
    EXPECT_EQ(values.ssb96_adjust_freq_Hz, -12);
    enter(id_dbm_edit, "2.5 dB");
    EXPECT_DOUBLE_EQ(values.dBm_adjust_value, 2.5);
    enter(id_cw96_edit, "none");
    EXPECT_EQ(values.cw96_adjust_freq_Hz, 0);
    press(id_freq_adjust);
    EXPECT_FALSE(p.adjust_dialog.is_visible());
    EXPECT_EQ(caption(id_freq_adjust), "Freq. adjust");
}

TEST_F(ControlEvents, CalibrationValuesAreHeldToRangesThatKeepTheReadoutExact) {
    press(id_freq_adjust);
    enter(id_center_frequency_edit, "99999999999");
    EXPECT_EQ(values.center_frequency_Hz, 2000000000);
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_center_frequency_edit)->text(), "2000000000");
    enter(id_ssb96_edit, "5000000");
    EXPECT_EQ(values.ssb96_adjust_freq_Hz, 1000000);
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_ssb96_edit)->text(), "1000000");
    enter(id_cw96_edit, "-2147483648");
    EXPECT_EQ(values.cw96_adjust_freq_Hz, -1000000);
    enter(id_ssb48_edit, "-250");
    EXPECT_EQ(values.ssb48_adjust_freq_Hz, -250);
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_ssb48_edit)->text(), "-250");
    // The highest readout: position 4095 at 96 kHz, 2 GHz and +1 MHz.
    p.tuning_slider->set_value(4095);
    tuning_moved();
    press(id_dbm);
    EXPECT_EQ(p.main_dialog.get_static(id_frequency_readout)->text(), "2001 047 990 Hz");
    enter(id_center_frequency_edit, "-5");
    EXPECT_EQ(values.center_frequency_Hz, 0);
    press(id_freq_adjust);
    EXPECT_FALSE(p.adjust_dialog.is_visible());
    EXPECT_EQ(caption(id_freq_adjust), "Freq. adjust");
}

// "Rec" with a real recorder thread, in a folder of its own ("temp.wav" is relative).
TEST_F(ControlEvents, RecStartsAndFinishesARecordingUnlessPlaying) {
    const fs::path old = fs::current_path();
    std::string tmpl = (fs::temp_directory_path() / "tolvan_recbutton_XXXXXX").string();
    const fs::path dir = mkdtemp(tmpl.data());
    fs::current_path(dir);
    manual_event event;
    worker_thread thread;
    auto handoff = std::make_unique<wave_handoff>();
    recorder rec;
    rec.handoff = handoff.get();
    rec.record_event = &event;
    rec.thread = &thread;
    thread_create(thread, recorder_thread, &rec);
    links.rec = &rec;
    relaxed<uint16_t> seconds{77};
    links.record_seconds = &seconds;
    play.start_marker_on = 1;
    play.total_blocks = 40;

    play.play_button_on = 1;
    press(id_rec);  // ignored while a file plays
    EXPECT_EQ(record_on, 0);
    play.play_button_on = 0;
    press(id_rec);
    EXPECT_EQ(record_on, 1);
    EXPECT_EQ(handoff->recording, 1);
    EXPECT_EQ(seconds, 0);
    EXPECT_TRUE(p.main_dialog.get_control(id_rec_time)->get_visible());
    EXPECT_EQ(fill(id_rec), 0xFFFF0000u);
    press(id_rec);
    EXPECT_EQ(record_on, 0);
    EXPECT_FALSE(p.main_dialog.get_control(id_rec_time)->get_visible());
    EXPECT_EQ(fill(id_rec), fill_idle);
    EXPECT_EQ(play.start_marker_on, 0);  // the markers were set on the file just replaced
    EXPECT_EQ(play.end_block, 40u);
    ASSERT_TRUE(wait_recording_finished(rec, 10000));  // finished in the background
    EXPECT_EQ(fs::file_size(dir / "temp.wav"), 44u);   // no block yet

    // A "temp.wav" that cannot be written: told, and the button does not stay red.
    fs::remove(dir / "temp.wav");
    fs::create_directory(dir / "temp.wav");
    static std::vector<std::string> boxes;
    boxes.clear();
    const message_box_handler before =
        set_message_box_handler([](const char* text, const char* caption) {
            boxes.push_back(std::string(text) + "/" + caption);
        });
    press(id_rec);
    set_message_box_handler(before);
    EXPECT_EQ(boxes, std::vector<std::string>{"fail to write file/file error"});
    EXPECT_EQ(record_on, 0);
    EXPECT_EQ(fill(id_rec), fill_idle);
    EXPECT_EQ(handoff->recording, 0);
    EXPECT_TRUE(recording_finished(rec));

    thread_stop(
        thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
    fs::current_path(old);
    fs::remove_all(dir);
}

// "Play wave" on a missing file, then on one recorded here, with a real player thread.
TEST_F(ControlEvents, PlayWaveTellsOfAMissingFileAndPlaysARecordedOne) {
    const fs::path old = fs::current_path();
    std::string tmpl = (fs::temp_directory_path() / "tolvan_playbutton_XXXXXX").string();
    const fs::path dir = mkdtemp(tmpl.data());
    fs::current_path(dir);
    static std::vector<std::string> boxes;
    boxes.clear();
    const message_box_handler before =
        set_message_box_handler([](const char* text, const char* caption) {
            boxes.push_back(std::string(text) + "/" + caption);
        });
    manual_event event;
    worker_thread thread;
    auto handoff = std::make_unique<wave_handoff>();
    play.handoff = handoff.get();
    play.play_event = &event;
    play.thread = &thread;
    thread_create(thread, player_thread, &play);

    press(id_play_wave);
    EXPECT_EQ(boxes, std::vector<std::string>{"no wave file/rec error"});
    EXPECT_EQ(play.play_button_on, 0);
    EXPECT_EQ(fill(id_play_wave), fill_idle);
    EXPECT_EQ(handoff->playing, 0);

    {
        auto f = create_wave_file("temp.wav", false);  // 48 kHz, while the receiver is at 96
        std::vector<float> block(block_size, 0.25f);
        for (int i = 0; i < 4; ++i) write_wave_block(*f, block.data(), block.data());
        finish_wave_file(*f);
    }
    press(id_play_wave);
    EXPECT_EQ(play.play_button_on, 1);
    EXPECT_EQ(handoff->playing, 1);
    EXPECT_EQ(play.total_blocks, 4u);
    EXPECT_EQ(fill(id_play_wave), 0xFFFCCA82u);
    EXPECT_EQ(signal.sample_rate, 48000);
    EXPECT_EQ(modes.selected_mode, 0);
    record_on = 1;
    press(id_play_wave);  // ignored while recording
    EXPECT_EQ(play.play_button_on, 1);
    record_on = 0;
    press(id_play_wave);
    EXPECT_EQ(play.play_button_on, 0);
    EXPECT_EQ(handoff->playing, 0);
    EXPECT_FALSE(play.play_file.has_value());

    thread_stop(
        thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
    set_message_box_handler(before);
    fs::current_path(old);
    fs::remove_all(dir);
}

TEST_F(ControlEvents, WindowChoiceIsStoredAndApplied) {
    gui::GuiComboBox* w = p.main_dialog.get_combo_box(id_window_combo);
    w->select_item(3);
    main_event_handler(0, id_window_combo, w, nullptr);
    EXPECT_EQ(entry(4).func, 3);
    EXPECT_FALSE(p.card_dialog.is_visible());  // not started: no stream is opened
}

}  // namespace
