#include "panel/settings_link.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "panel_fixture.h"

using namespace gui;
namespace fs = std::filesystem;

namespace {

// Records as start-up has them when the settings are loaded: mode table reset, LSB at
// 96 kHz (entry 4) applied.
class SettingsLinkTest : public PanelTest {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tolvan-panel-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fresh_records();
        build(true, false);
    }
    void TearDown() override {
        PanelTest::TearDown();
        fs::remove_all(dir);
    }
    void fresh_records() {
        reset_mode_table(modes);
        modes.selected_mode = 4;
        signal = std::make_unique<signal_state>();
        values = persisted_values{};
    }
    void put(const char* name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
    }
    std::string slurp(const char* name) {
        std::string t;
        EXPECT_TRUE(read_text_file(dir + "/" + name, t, 1 << 20));
        return t;
    }
    settings_load_result load() { return load_settings(modes, *signal, values, p, dir); }
    settings_save_result save() { return save_settings(modes, *signal, values, p, dir); }

    // The values the receiver would save now, for a test to edit.
    main_settings stored() { return collect_main_settings(modes, *signal, values, p); }
    void put_main(const main_settings& m) {
        put("IQ.ini", format_iq_settings(iq_records_of(values)));
        put("Tolvan_101.ini", format_main_settings(m));
    }

    std::string dir;
    receive_mode_state modes;
    std::unique_ptr<signal_state> signal;
    persisted_values values;
};

TEST_F(SettingsLinkTest, FirstRunLoadsNothingQuitWritesBothFilesNextStartReceivesTheSame) {
    const settings_load_result r = load();
    EXPECT_FALSE(r.iq_file_read);
    EXPECT_EQ(values.center_frequency_Hz, 7056212);
    EXPECT_EQ(signal->sampling_high.load(), 1);

    EXPECT_TRUE(save().main_written);
    const std::string main_text = slurp("Tolvan_101.ini");
    const std::string iq_text = slurp("IQ.ini");
    EXPECT_EQ(std::count(main_text.begin(), main_text.end(), '\n'), 48);
    EXPECT_EQ(std::count(iq_text.begin(), iq_text.end(), '\n'), 20);
    main_settings back;
    ASSERT_EQ(read_main_settings(main_text, back), 24);
    EXPECT_EQ(back.center_frequency_Hz, 7056212);
    EXPECT_EQ(back.selected_mode, 4);
    EXPECT_EQ(back.mode.band_width, 2700);
    EXPECT_EQ(back.mode.bandwidth_pos, 16);
    EXPECT_EQ(back.display_speed_slider_pos, 75);
    EXPECT_EQ(back.agc_gain_limit_slider_pos, 70);
    EXPECT_EQ(back.low_cutoff_hz, 50);
    EXPECT_EQ(back.sampling_high, 1);
    EXPECT_EQ(back.rf_gain, 1);

    fresh_records();
    const settings_load_result again = load();
    EXPECT_EQ(again.main_values_read, 24);
    EXPECT_EQ(modes.selected_mode.load(), 4);
    EXPECT_EQ(signal->sampling_high.load(), 1);
    EXPECT_EQ(signal->cw_mode.load(), 0);
    EXPECT_TRUE(events.empty());

    // A file holding mode 0 with "sampling high" 1 (as earlier versions wrote on a first
    // run) loads as mode 0 at its own rate, 48 kHz.
    main_settings m = stored();
    m.selected_mode = 0;
    m.sampling_high = 1;
    put_main(m);
    fresh_records();
    load();
    EXPECT_EQ(modes.selected_mode.load(), 0);
    EXPECT_EQ(signal->sampling_high.load(), 0);
}

TEST_F(SettingsLinkTest, ModeThreeRestoresItsEntryAndForcesTheCwFamily) {
    main_settings m = stored();
    m.selected_mode = 3;
    m.mode = {2, 1, 0, 500, 700, 640, id_cwu, 13};
    m.sampling_high = 0;
    put_main(m);
    EXPECT_EQ(load().main_values_read, 24);

    EXPECT_EQ(modes.selected_mode.load(), 3);
    EXPECT_EQ(mode_snapshot(modes.mode_table[3]).slider_pos, 640);
    EXPECT_EQ(mode_snapshot(modes.mode_table[3]).offset, 700);
    EXPECT_EQ(mode_snapshot(modes.mode_table[2]).slider_pos, 512);  // other entries: defaults
    EXPECT_EQ(mode_snapshot(modes.mode_table[0]).band_width, 2700);
    EXPECT_EQ(signal->sampling_high.load(), 1);
    EXPECT_EQ(signal->cw_mode.load(), 1);
    EXPECT_TRUE(checked(id_cwu));
    EXPECT_FALSE(checked(id_lsb));
    EXPECT_TRUE(checked(13));
    EXPECT_FALSE(checked(16));
    EXPECT_EQ(p.main_dialog.get_combo_box(id_window_combo)->selected_index(), 2);
    // The rate radio shows the stored rate; start-up sets it again after applying the mode.
    EXPECT_TRUE(p.card_dialog.get_radio_button(id_rate_48k)->checked());
    EXPECT_TRUE(events.empty());
}

TEST_F(SettingsLinkTest, LoadedValuesReachTheControls) {
    main_settings m = stored();
    m.dBm_adjust_x10 = dBm_to_file(-3.47);
    m.center_frequency_Hz = 14060000;
    m.display_speed_slider_pos = 90;
    m.agc_gain_limit_slider_pos = 500;  // beyond the slider's 300
    m.low_cutoff_hz = 200;
    m.agc_state = 256;  // one byte: 0
    m.show_average = 0;
    m.rf_gain = 4;
    m.reverse_input = 1;
    put_main(m);
    load();

    EXPECT_EQ(values.center_frequency_Hz, 14060000);
    EXPECT_DOUBLE_EQ(values.dBm_adjust_value, -3.4);
    EXPECT_EQ(values.display_speed, 10);
    EXPECT_EQ(p.main_dialog.get_slider(id_agc_limit_slider)->value(), 300);
    EXPECT_FLOAT_EQ(signal->agc_gain_limit.load(), 300.0f);
    EXPECT_TRUE(checked(id_low_cut_200));
    EXPECT_FALSE(checked(id_low_cut_50));
    EXPECT_EQ(signal->low_cutoff_hz.load(), 200);
    EXPECT_EQ(modes.rf_gain.load(), 4);
    EXPECT_EQ(modes.reverse_input.load(), 1);

    EXPECT_EQ(modes.agc_on.load(), 0);
    GuiCheckBox* agc = p.main_dialog.get_check_box(id_agc_check);
    EXPECT_FALSE(agc->checked());
    EXPECT_EQ(agc->text(), "AGC Off");
    EXPECT_EQ(agc->element(0).font_colour.get(state_mouse_over), 0xFFFFFF00u);
    GuiStatic* agc_label = p.main_dialog.get_static(id_agc_readout);
    EXPECT_EQ(agc_label->text(), "AGC off");
    EXPECT_EQ(agc_label->element(0).font_colour.get(state_normal), 0xFFFF0000u);
    GuiButton* ave = p.main_dialog.get_button(id_average);
    EXPECT_EQ(ave->text(), "peak");
    EXPECT_EQ(ave->element(1).texture_colour.get(state_normal), fill_active);
    EXPECT_TRUE(events.empty());  // nothing re-enters the handlers
}

TEST_F(SettingsLinkTest, ValuesTheReceiverNeverWritesStayInsideItsTables) {
    main_settings m = stored();
    m.selected_mode = 9;
    m.mode = {7, 5, 1, -20, 800, 99999, 26, 99};
    m.low_cutoff_hz = 123;
    m.rf_gain = 5000;
    m.selected_card = -3;
    put_main(m);
    load();
    EXPECT_EQ(modes.selected_mode.load(), 0);
    const mode_values e = mode_snapshot(modes.mode_table[0]);
    EXPECT_EQ(e.func, 1);
    EXPECT_EQ(e.usb, 0);
    EXPECT_EQ(e.band_width, 2700);
    EXPECT_EQ(e.offset, 800);  // within range: kept
    EXPECT_EQ(e.slider_pos, 2048);
    EXPECT_EQ(e.mode, id_lsb);
    EXPECT_EQ(e.bandwidth_pos, 16);
    EXPECT_EQ(modes.rf_gain.load(), 10);
    EXPECT_EQ(values.selected_card, -3);
    EXPECT_TRUE(checked(id_low_cut_50));  // no radio for 123 Hz: the radios stay
    EXPECT_TRUE(checked(id_lsb));
    EXPECT_TRUE(checked(16));
    EXPECT_EQ(iq_slot(values.selected_card), -1);
}

TEST_F(SettingsLinkTest, WithoutIqFileNothingChanges) {
    main_settings m = stored();
    m.selected_mode = 5;
    m.center_frequency_Hz = 1;
    m.agc_state = 0;
    put("Tolvan_101.ini", format_main_settings(m));
    EXPECT_FALSE(load().iq_file_read);
    EXPECT_EQ(modes.selected_mode.load(), 4);
    EXPECT_EQ(values.center_frequency_Hz, 7056212);
    EXPECT_EQ(modes.agc_on.load(), 1);
    EXPECT_TRUE(p.main_dialog.get_check_box(id_agc_check)->checked());
    EXPECT_EQ(signal->sampling_high.load(), 1);
}

TEST_F(SettingsLinkTest, WithoutMainFileOnlyIqValuesLoadAndNoControlChanges) {
    iq_records iq = iq_records_of(values);
    iq[1].gain = -1234;
    iq[1].phase = 567;
    put("IQ.ini", format_iq_settings(iq));
    const settings_load_result r = load();
    EXPECT_TRUE(r.iq_file_read);
    EXPECT_FALSE(r.main_file_read);
    EXPECT_EQ(values.iq_gain_setting[1], -1234);
    EXPECT_EQ(values.iq_phase_setting[1], 567);
    EXPECT_EQ(values.iq_gain_setting[0], 10000);
    EXPECT_EQ(values.center_frequency_Hz, 7056212);
    EXPECT_EQ(signal->sampling_high.load(), 1);  // the family rule is not applied either
}

TEST_F(SettingsLinkTest, EarlyEndKeepsLaterValuesAndZeroesAnUnreadCentreFrequency) {
    put("IQ.ini", format_iq_settings(iq_records_of(values)));
    put("Tolvan_101.ini", "center_frequency_Hz\r\n");
    const settings_load_result r = load();
    EXPECT_TRUE(r.main_file_read);
    EXPECT_EQ(r.main_values_read, 0);
    EXPECT_EQ(values.center_frequency_Hz, 0);
    EXPECT_EQ(modes.selected_mode.load(), 4);
    EXPECT_EQ(signal->sampling_high.load(), 1);
}

TEST_F(SettingsLinkTest, FrequenciesAndTheLowCutOffAreHeldToTheirRanges) {
    main_settings m = stored();
    m.center_frequency_Hz = 2147483647;
    m.ssb96_adjust_freq_Hz = -2147483647 - 1;
    m.cw96_adjust_freq_Hz = 5000000;
    m.ssb48_adjust_freq_Hz = -123;
    m.low_cutoff_hz = 99999;
    put_main(m);
    load();
    EXPECT_EQ(values.center_frequency_Hz, 2000000000);
    EXPECT_EQ(values.ssb96_adjust_freq_Hz, -1000000);
    EXPECT_EQ(values.cw96_adjust_freq_Hz, 1000000);
    EXPECT_EQ(values.ssb48_adjust_freq_Hz, -123);
    EXPECT_EQ(signal->low_cutoff_hz.load(), 300);
    EXPECT_TRUE(checked(id_low_cut_300));
    m.center_frequency_Hz = -7056212;
    m.low_cutoff_hz = -50;
    put_main(m);
    fresh_records();
    load();
    EXPECT_EQ(values.center_frequency_Hz, 0);
    EXPECT_EQ(signal->low_cutoff_hz.load(), 0);
}

TEST_F(SettingsLinkTest, SaveTakesTheSliderPositionsAndReadsBackTheSame) {
    p.main_dialog.get_slider(id_display_speed_slider)->set_value(40);
    p.main_dialog.get_slider(id_agc_limit_slider)->set_value(123);
    values.display_speed = 99;  // not what is saved: the slider is
    modes.selected_mode = 4;
    assign_mode(modes.mode_table[4], {3, 0, 1, 3100, 0, 1000, id_lsb, 18});
    values.dBm_adjust_value = 2.5;
    values.iq_gain_setting[2] = 777;
    values.card_names[2] = "USB Audio";
    modes.rf_gain = 7;
    save();
    const main_settings saved = collect_main_settings(modes, *signal, values, p);
    EXPECT_EQ(saved.display_speed_slider_pos, 40);
    EXPECT_EQ(saved.agc_gain_limit_slider_pos, 123);
    EXPECT_NE(slurp("IQ.ini").find("IQ_gain USB Audio\r\n777\r\n"), std::string::npos);

    // The next run: fresh records and controls.
    fresh_records();
    GuiResourceManager next_resources;
    panel next;
    create_controls(next, next_resources, panel_handlers{}, true, false);
    EXPECT_EQ(load_settings(modes, *signal, values, next, dir).main_values_read, 24);
    const main_settings loaded = collect_main_settings(modes, *signal, values, next);
    for (int i = 0; i < main_pair_count; ++i)
        EXPECT_EQ(main_settings_value(loaded, i), main_settings_value(saved, i)) << i;
    EXPECT_EQ(values.iq_gain_setting[2], 777);
    EXPECT_DOUBLE_EQ(values.dBm_adjust_value, 2.5);
    EXPECT_TRUE(next.main_dialog.get_radio_button(18)->checked());
    EXPECT_EQ(next.main_dialog.get_combo_box(id_window_combo)->selected_index(), 3);
}

}  // namespace
