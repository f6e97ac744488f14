#pragma once
// Command line of tolvan-demod: the receive settings that the receiver's controls would
// set, and the two file names.
#include <cstdint>
#include <string>
#include <vector>

enum class demod_mode { lsb, usb, cwl, cwu };

struct demod_options {
    demod_mode mode = demod_mode::usb;
    int32_t tuned_bin = 2048;  // [bins] index in the centred spectrum, even
    int32_t band_width = -1;   // [Hz] -1: the mode's default (2700 SSB, 500 CW)
    int32_t low_cutoff_hz = 50;
    int32_t pitch_hz = 800;  // [Hz] CW offset
    int32_t func = 1;        // window type 0..4
    bool agc_on = true;
    float agc_gain_limit = 70.0f;
    bool notch_on = false;
    int32_t notch_position = 500;
    int32_t notch_span = 16;  // [bins of 23.4375 Hz]
    int32_t rf_gain = 1;
    int32_t iq_gain = 10000;  // I/Q gain slider value
    int32_t iq_phase = 0;     // I/Q phase slider value
    bool reverse_input = false;
    bool quiet = false;
    std::string input, output;
};

struct demod_parse_result {
    enum { run, help, error } outcome = run;
    demod_options options;
    std::string message;  // the one-line reason when outcome is error
};

demod_parse_result parse_demod_options(const std::vector<std::string>& args);

inline bool is_cw(demod_mode m) {
    return m == demod_mode::cwl || m == demod_mode::cwu;
}
inline bool is_upper(demod_mode m) {
    return m == demod_mode::usb || m == demod_mode::cwu;
}
// The band width that applies: the option, or the mode's default.
inline int32_t effective_band_width(const demod_options& o) {
    return o.band_width >= 0 ? o.band_width : (is_cw(o.mode) ? 500 : 2700);
}

extern const char* const demod_help_text;
