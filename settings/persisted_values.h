#pragma once
// The free-standing values that survive from one run to the next, and the per-card I/Q
// correction table. (The persisted values that the signal path reads, sampling_high and
// low_cutoff_hz, live in signal_state; the mode table, rf_gain, agc_on and reverse_input in
// receive_mode_state.) The GUI thread owns them (start-up, controls, settings files); the
// values the audio callback needs are derived into its own record.
#include <algorithm>
#include <cstdint>
#include <string>

constexpr int iq_slot_count = 5;  // device indices 0..4 have an I/Q correction slot

struct persisted_values {
    int32_t center_frequency_Hz = 7056212;  // [Hz] local-oscillator frequency
    int32_t ssb96_adjust_freq_Hz = 0;       // [Hz] readout correction, SSB at 96 kHz
    int32_t cw96_adjust_freq_Hz = 0;        // [Hz] readout correction, CW at 96 kHz
    int32_t ssb48_adjust_freq_Hz = 0;       // [Hz] readout correction, SSB at 48 kHz
    double dBm_adjust_value = 0.0;          // [dB] S-meter calibration, kept to 0.1 dB
    int32_t selected_card = 0;              // audio-library device index, in and out
    int32_t display_speed = 25;             // [ms] frame delay = 100 - slider position
    int32_t show_average = 1;               // S-meter averaged (1) or direct (0)
    int32_t show_dBm = 1;                   // S-meter in dBm (1) or dBuEMF (0)

    std::string card_names[iq_slot_count];  // device names as the audio library reports them
    // I/Q gain slider positions start at unity (10000, the slider's own default), so a first
    // run without a correction file receives with both channels.
    int32_t iq_gain_setting[iq_slot_count] = {10000, 10000, 10000, 10000, 10000};
    int32_t iq_phase_setting[iq_slot_count] = {0, 0, 0, 0, 0};
};

// The ranges of the values a settings file or an edit box brings in. The tuned frequency
// (centre + correction + at most 48 kHz) and the scale labels derived from them stay exact
// in 32-bit integers: the readout never passes 2 147 483 647 Hz.
constexpr int32_t center_frequency_max_Hz = 2'000'000'000;  // [Hz] 2 GHz
constexpr int32_t adjust_freq_limit_Hz = 1'000'000;         // [Hz] each correction, either sign
constexpr int32_t low_cutoff_max_hz = 300;                  // [Hz] the highest low-cut radio

inline int32_t clamp_center_frequency(int32_t hz) {
    return std::clamp(hz, int32_t{0}, center_frequency_max_Hz);
}
inline int32_t clamp_adjust_freq(int32_t hz) {
    return std::clamp(hz, -adjust_freq_limit_Hz, adjust_freq_limit_Hz);
}
inline int32_t clamp_low_cutoff(int32_t hz) {
    return std::clamp(hz, int32_t{0}, low_cutoff_max_hz);
}

// The I/Q slot of a device, or -1 for a device without one (index 5 and above, or negative).
inline int iq_slot(int32_t card) {
    return (card >= 0 && card < iq_slot_count) ? card : -1;
}
