#pragma once
// When the stream thread looks for the next input block of a stream it reads itself. A
// sound server hands the frames over in chunks that come a little after they are due, so
// a look that finds the block not there yet is followed by another within a millisecond,
// not a block later: every millisecond waited is a millisecond of delay heard.
#include <cstdint>

#include "dsp/sizes.h"

constexpr int64_t input_poll_us = 1000;       // [us] between looks for a block that is due
constexpr int64_t input_slow_poll_us = 5000;  // [us] and once it is a block overdue

// [us] that `frames` take to arrive at `rate` [Hz].
inline int64_t frames_us(long frames, int32_t rate) {
    return int64_t(frames) * 1000000 / rate;
}

// [us, steady clock] when the next block is all there, after a block was read at read_us
// with `frames_left` frames of the next one already in.
inline int64_t next_input_due_us(int64_t read_us, long frames_left, int32_t rate) {
    return read_us + frames_us(block_size - frames_left, rate);
}

// [us] to sleep at now_us for the block due at due_us: until it is due, then a look every
// input_poll_us; a block overdue by more than a block's time (a server that stalls or
// stopped) is looked for less often.
inline int64_t input_wait_us(int64_t due_us, int64_t now_us, int32_t rate) {
    if (now_us < due_us) return due_us - now_us;
    return now_us - due_us < frames_us(block_size, rate) ? input_poll_us : input_slow_poll_us;
}
