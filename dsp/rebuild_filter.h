#pragma once
// Designs the band-pass for the selected mode and hands its response to the DSP cycle.
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"

// Pass-band edges [Hz] of the selected mode: SSB from low_cutoff_hz to band_width; CW
// offset -/+ band_width / 2 (integer division).
struct passband_edges {
    int32_t low;
    int32_t high;
};
passband_edges filter_edges(const signal_state& s, const receive_mode_state& m);

// Stores the edges in passband_low_hz / passband_high_hz, designs the taps, computes the
// response in the design's own transform tables and publishes it; the DSP cycle takes it at
// the start of its next block, so a cycle never sees a half-written response. One caller
// thread (the GUI thread). Without a valid sample rate nothing changes.
void rebuild_filter(signal_state& s, const receive_mode_state& m);
