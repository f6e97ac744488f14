#pragma once
// The numeric IDs of the receiver's controls. The mode table stores the IDs of the mode and
// bandwidth radio buttons, so these numbers are part of the settings file too.

// iq_dialog
constexpr int id_iq_gain_slider = 1;
constexpr int id_iq_phase_slider = 2;
constexpr int id_iq_gain_label = 100;
constexpr int id_iq_phase_label = 101;

// tuning_dialog
constexpr int id_tuning_slider = 3;

// main_dialog: buttons
constexpr int id_iq_adjust = 4;
constexpr int id_sampling_button = 5;  // never shown
constexpr int id_start = 60;
constexpr int id_select_card = 64;
constexpr int id_average = 30;
constexpr int id_dbm = 32;
constexpr int id_dx_cluster = 33;  // never shown
constexpr int id_play_wave = 34;
constexpr int id_freq_adjust = 23;
constexpr int id_reverse_input = 41;
constexpr int id_rec = 35;

// main_dialog: readouts and labels
constexpr int id_card_name = 63;
constexpr int id_rec_time = 36;
constexpr int id_frequency_readout = 65;
constexpr int id_marker_readout = 102;
constexpr int id_mode_readout = 66;
constexpr int id_bandwidth_readout = 67;
constexpr int id_agc_readout = 51;
constexpr int id_level_readout = 50;
constexpr int id_agc_limit_label = 22;
constexpr int id_display_speed_label = 20;
constexpr int id_rf_gain_label = 39;
constexpr int id_cpu_readout = 24;
constexpr int id_bandwidth_label = 10;
constexpr int id_low_cutoff_label = 37;
constexpr int id_notch_span_label = 38;

// main_dialog: sliders, radios, combo and check boxes
constexpr int id_agc_limit_slider = 31;
constexpr int id_display_speed_slider = 21;
constexpr int id_rf_gain_slider = 40;
constexpr int id_notch_span_slider = 29;
constexpr int id_cwl = 6;
constexpr int id_cwu = 7;
constexpr int id_lsb = 8;
constexpr int id_usb = 9;
constexpr int id_bandwidth_first = 11;  // "120" .. "3,100" are 11..18
constexpr int id_bandwidth_last = 18;
constexpr int id_low_cut_50 = 26;
constexpr int id_low_cut_200 = 27;
constexpr int id_low_cut_300 = 28;
constexpr int id_window_combo = 19;
constexpr int id_agc_check = 25;
constexpr int id_notch_check = 42;

// The main_dialog IDs that stay disabled until the receiver is started.
constexpr int id_startable_first = 4;
constexpr int id_startable_last = 42;

// adjust_dialog: statics 80, 81, 83, 85, 87, 89 and edit boxes
constexpr int id_adjust_title = 80;
constexpr int id_center_frequency_edit = 82;
constexpr int id_ssb96_edit = 84;
constexpr int id_cw96_edit = 86;
constexpr int id_ssb48_edit = 88;
constexpr int id_dbm_edit = 90;

// card_dialog
constexpr int id_card_label = 62;
constexpr int id_card_combo = 73;
constexpr int id_rate_48k = 68;
constexpr int id_rate_96k = 69;
constexpr int id_family_ssb = 70;
constexpr int id_family_cw = 71;
constexpr int id_card_ok = 72;

// Radio-button groups (each dialog numbers its own).
constexpr unsigned group_mode = 1;
constexpr unsigned group_bandwidth = 2;
constexpr unsigned group_rate = 3;
constexpr unsigned group_low_cut = 4;  // main_dialog
constexpr unsigned group_family = 4;   // card_dialog

// Fonts registered with main_dialog.
constexpr int font_comic_18 = 1;
constexpr int font_black_16 = 2;
constexpr int font_black_54 = 3;
constexpr int font_black_20 = 4;
constexpr int font_black_17 = 5;
constexpr int font_black_42 = 6;

// Fill colours of the toggle buttons: idle and active.
constexpr unsigned fill_idle = 0xFF79E0C8;
constexpr unsigned fill_active = 0xFFF8B6A5;
