#pragma once
// The control panel's own values: the toggles of the I/Q and calibration dialogs, the CW
// tuning offset, the pass band in display columns, the level marker and the live mode
// kept during playback. GUI thread only.
#include <cstdint>

// The sound's hiccups as counted by the audio side (see sound_hiccups.h).
struct hiccup_counts {
    uint64_t ran_dry = 0;     // device underflows
    uint64_t late = 0;        // blocks replayed because the DSP thread was late
    uint64_t input_lost = 0;  // card input overflows
};

struct panel_state {
    double cw_offset_bins = 0.0;    // [bins] added to the tuning position in CW
    int32_t previous_mode = 0;      // selected_mode before the last mode-radio change
    uint8_t iq_adjust_open = 0;     // the I/Q adjustment dialog is open
    uint8_t tuning_disabled = 0;    // keeps the tuning slider disabled while it is
    uint8_t calibration_open = 0;   // the "Freq. adjust" dialog is open
    uint8_t stream_lost_shown = 0;  // the user was told that the card gives no sound
    hiccup_counts hiccups_told;     // the sound's hiccups told so far
    int64_t hiccups_told_ms = 0;    // [ms, steady clock] when they were last told

    int32_t passband_start_px = 0;  // [columns] first display column of the pass band
    int32_t passband_width_px = 0;  // [columns]
    uint8_t marker_on = 0;          // the right-click level marker is shown
    float reference_level_db = 0;   // [dB] level at the marker's horizontal line

    int32_t display_sample_rate = 96000;  // [Hz] rate the pass-band box is drawn for

    int32_t live_mode = 0;               // mode index kept while a file plays
    int32_t live_slider_pos = 0;         // its tuning position
    int32_t playback_slider_pos = 2048;  // tuning position used while a file plays
};
