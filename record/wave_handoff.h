#pragma once
// The raw stereo blocks that cross between the audio callback and the recorder and
// wave-player threads. The callback pushes each raw input block for the recorder while
// `recording`, and takes each input block from the player's ring while `playing`.
#include <cstdint>

#include "dsp/sizes.h"
#include "platform/relaxed.h"
#include "platform/spsc_ring.h"

struct wave_block {
    float left[block_size];   // I, the left channel
    float right[block_size];  // Q, the right channel
};

constexpr size_t wave_ring_blocks = 8;  // [blocks] about 0.17 s at 96 kHz

struct wave_handoff {
    spsc_ring<wave_block, wave_ring_blocks> to_recorder;  // audio callback -> recorder
    spsc_ring<wave_block, wave_ring_blocks> from_player;  // wave player -> audio callback
    wave_block last_played{};                             // callback-only: repeated when the ring is empty
    relaxed<uint8_t> playing{0};
    relaxed<uint8_t> recording{0};
    relaxed<uint32_t> recorder_overruns{0};  // blocks dropped because the recorder fell behind
};
