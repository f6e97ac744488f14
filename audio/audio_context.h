#pragma once
// The audio callback's user data: where it finds the receive settings, the blocks it
// exchanges with the DSP, recorder and player threads, the event that wakes the DSP
// thread, the I/Q balance values, and the counters it keeps for the owner and the tests.
#include <cstdint>

#include "dsp/handoff.h"
#include "dsp/receive_mode.h"
#include "platform/event.h"
#include "platform/relaxed.h"
#include "record/wave_handoff.h"

// I/Q amplitude and phase balance of the selected card. The control panel writes the
// slider value and the phase coefficients; the callback derives the gain factor from the
// slider value on every call.
struct iq_balance {
    relaxed<int32_t> iq_gain_slider_value{10000};  // I/Q gain slider, -19000..19000
    relaxed<double> iq_gain_factor{1.0};           // slider value / 10000, left channel only
    relaxed<double> iq_phase_sin{0.0};             // sin(phi) [phi in rad]
    relaxed<double> iq_phase_sec{1.0};             // 1 / cos(phi)
};

// Written by the audio side only (the callback, or the stream thread); read by anyone.
struct audio_counters {
    relaxed<uint64_t> callbacks{0};          // calls of the callback
    relaxed<uint64_t> frames{0};             // frames the library handed over
    relaxed<uint64_t> blocks{0};             // input blocks published to the DSP thread
    relaxed<uint64_t> absent_inputs{0};      // calls without an input buffer
    relaxed<uint64_t> odd_sizes{0};          // calls with a frame count other than block_size
    relaxed<uint64_t> input_overflows{0};    // calls flagged paInputOverflow
    relaxed<uint64_t> input_underflows{0};   // calls flagged paInputUnderflow
    relaxed<uint64_t> output_underflows{0};  // calls flagged paOutputUnderflow
    relaxed<uint64_t> output_overflows{0};   // calls flagged paOutputOverflow
    relaxed<uint64_t> player_empty{0};       // blocks repeated because the player fell behind
    relaxed<uint64_t> dsp_missed{0};      // input blocks dropped: the DSP thread was a queue behind
    relaxed<uint64_t> output_repeats{0};  // calls that found no new audio block and replayed one
    relaxed<uint64_t> output_dropped{0};  // finished blocks passed over for a newer one
    relaxed<uint64_t> input_skipped{0};   // card input blocks read and passed over (backlog)
    relaxed<uint64_t> silent_run{0};      // input blocks in a row of exact zeros, up to now
    relaxed<uint64_t> sounding_blocks{0};  // input blocks with any sample not zero
};

struct audio_context {
    receive_mode_state* mode = nullptr;  // rf_gain, reverse_input
    signal_handoff* signal = nullptr;    // input block out, finished audio in
    wave_handoff* wave = nullptr;        // raw blocks to the recorder, from the player
    manual_event* dsp_event = nullptr;   // pulsed once per input block
    manual_event output_ready;           // pulsed by the DSP thread after each finished block
    iq_balance iq;
    audio_counters counters;
    bool output_seen = false;  // audio side only: a finished audio block has arrived
};
