#include "dsp/receive_mode.h"

const mode_values mode_table_defaults[mode_count] = {
    // func usb carrier band_width offset slider_pos mode bandwidth_pos
    {1, 0, 1, 2700, 0, 2048, 8, 16},   // LSB at 48 kHz
    {1, 1, 1, 2700, 0, 2048, 9, 16},   // USB at 48 kHz
    {1, 0, 0, 500, 800, 512, 6, 13},   // CWL at 96 kHz
    {1, 1, 0, 500, 800, 512, 7, 13},   // CWU at 96 kHz
    {1, 0, 1, 2700, 0, 2048, 8, 16},   // LSB at 96 kHz
    {1, 1, 1, 2700, 0, 2048, 9, 16},   // USB at 96 kHz
};

void assign_mode(mode_entry& e, const mode_values& v) {
    e.func = v.func;
    e.usb = v.usb;
    e.carrier = v.carrier;
    e.band_width = v.band_width;
    e.offset = v.offset;
    e.slider_pos = v.slider_pos;
    e.mode = v.mode;
    e.bandwidth_pos = v.bandwidth_pos;
}

mode_values mode_snapshot(const mode_entry& e) {
    return {e.func, e.usb, e.carrier, e.band_width, e.offset, e.slider_pos, e.mode,
            e.bandwidth_pos};
}

void reset_mode_table(receive_mode_state& s) {
    for (int i = 0; i < mode_count; ++i) assign_mode(s.mode_table[i], mode_table_defaults[i]);
}

mode_family family_of_mode(int32_t selected_mode) {
    switch (selected_mode) {
        case 0:
        case 1:
            return {0, 0};
        case 2:
        case 3:
            return {1, 1};
        default:
            return {1, 0};
    }
}
