#pragma once
// The receive-mode table and the mode values that the signal chain reads every block.
// The GUI thread writes them at any time; the audio callback and the DSP thread read each
// field as a single relaxed word, so a block may see a mix of old and new values.
#include <cstdint>

#include "platform/relaxed.h"

constexpr int mode_count = 6;

// One receive mode as plain values (the constant defaults, snapshots, settings files).
struct mode_values {
    int32_t func;           // window type 0..4
    int32_t usb;            // 1 upper sideband, 0 lower
    int32_t carrier;        // 1 SSB entries, 0 CW entries (stored only)
    int32_t band_width;     // [Hz] pass-band width
    int32_t offset;         // [Hz] CW pitch
    int32_t slider_pos;     // [bins] tuning position
    int32_t mode;           // control id of the mode radio 6..9
    int32_t bandwidth_pos;  // control id of the bandwidth radio 11..18
};

// One receive mode as shared between threads.
struct mode_entry {
    relaxed<int32_t> func, usb, carrier, band_width, offset, slider_pos, mode, bandwidth_pos;
};

// The six receive modes as every run starts them: 0 LSB and 1 USB at 48 kHz, 2 CWL and
// 3 CWU at 96 kHz, 4 LSB and 5 USB at 96 kHz.
extern const mode_values mode_table_defaults[mode_count];

void assign_mode(mode_entry& e, const mode_values& v);
mode_values mode_snapshot(const mode_entry& e);

// The persisted receive-mode members of the receiver record.
struct receive_mode_state {
    mode_entry mode_table[mode_count];
    relaxed<int32_t> selected_mode{4};  // index into mode_table, 0..5
    relaxed<int32_t> rf_gain{1};        // integer gain on both input channels
    relaxed<uint8_t> agc_on{1};
    relaxed<int32_t> reverse_input{0};  // nonzero: I and Q swapped
};

// The selected entry; an index outside the table is taken as 0 so nothing reads outside it.
inline int32_t valid_mode_index(int32_t m) { return (m >= 0 && m < mode_count) ? m : 0; }
inline mode_entry& selected_entry(receive_mode_state& s) {
    return s.mode_table[valid_mode_index(s.selected_mode)];
}
inline const mode_entry& selected_entry(const receive_mode_state& s) {
    return s.mode_table[valid_mode_index(s.selected_mode)];
}

// Copies mode_table_defaults over the table.
void reset_mode_table(receive_mode_state& s);

// The sample rate and CW family that a mode index fixes: 0, 1 at 48 kHz; 2, 3 CW at 96 kHz;
// 4, 5 SSB at 96 kHz.
struct mode_family {
    uint8_t sampling_high;
    uint8_t cw_mode;
};
mode_family family_of_mode(int32_t selected_mode);
