#pragma once
// The blocks that cross between the audio callback and the DSP thread. Each direction is a
// small first-in first-out queue: the writer never waits and the reader never sees a
// half-written block.
#include <cstdint>

#include "dsp/sizes.h"
#include "platform/block_queue.h"
#include "platform/triple_buffer.h"

// One block of corrected complex input: sample k is re[k] + i im[k].
struct iq_block {
    double re[block_size];
    double im[block_size];
    uint64_t serial;  // counts the blocks the audio side handed in (from 1)
};

// One block of finished audio and the gain the callback applies to it.
struct audio_out_block {
    float audio[block_size];
    float gain;
    uint32_t serial;        // counts the blocks the DSP thread finished
    uint64_t input_serial;  // the input block it was made from
};

// Blocks go through in order: the sound server may hand over two buffers within a fraction
// of a millisecond, and neither that input block nor its finished audio may be lost. The
// input queue holds a stall of the DSP thread of 340 ms at 96 kHz (16 blocks); after a
// stall the DSP thread passes over all but the newest blocks, so the delay comes back at
// once (input_backlog_limit: the most blocks left waiting behind the one it takes).
constexpr size_t input_handoff_blocks = 16;
constexpr size_t output_handoff_blocks = 4;
constexpr size_t input_backlog_limit = 2;

struct signal_handoff {
    block_queue<iq_block, input_handoff_blocks> input;           // audio side -> DSP thread
    block_queue<audio_out_block, output_handoff_blocks> output;  // DSP thread -> audio side
};
