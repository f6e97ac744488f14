#pragma once
// The blocks that cross between the audio callback and the DSP thread. Each direction is a
// latest-value triple buffer: the writer never waits, the reader never sees a half-written
// block, and a block that the reader misses is replaced by the next one (a skipped block).
#include <cstdint>

#include "dsp/sizes.h"
#include "platform/triple_buffer.h"

// One block of corrected complex input: sample k is re[k] + i im[k].
struct iq_block {
    double re[block_size];
    double im[block_size];
};

// One block of finished audio and the gain the callback applies to it.
struct audio_out_block {
    float audio[block_size];
    float gain;
    uint32_t serial;  // counts the blocks the DSP thread finished
};

struct signal_handoff {
    triple_buffer<iq_block> input;          // audio callback -> DSP thread
    triple_buffer<audio_out_block> output;  // DSP thread -> audio callback
};
