#pragma once
// The raw stereo blocks that cross between the audio callback and the recorder and
// wave-player threads. While `recording`, the callback hands each raw input block to the
// recorder; while `playing`, it takes each input block from the player. The two functions
// at the end are all the callback does with them: no lock, no wait, no allocation.
#include <atomic>
#include <cstdint>

#include "dsp/sizes.h"
#include "platform/relaxed.h"
#include "platform/spsc_ring.h"

struct wave_block {
    float left[block_size];   // I, the left channel
    float right[block_size];  // Q, the right channel
};

// A raw input block on its way to the recorder, with the recording it belongs to.
struct recorded_block {
    wave_block frames;
    uint32_t take = 0;  // record_take when the callback copied it
};

// A block of the playing file on its way to the callback.
struct played_block {
    wave_block frames;
    uint32_t block = 0;  // its index in the file (total_blocks for the partial last block)
    uint32_t seek = 0;   // play_seek when the player read it
};

// [blocks] 2.7 s at 96 kHz, 5.5 s at 48 kHz: the disk may stall that long without a block
// being lost. 2 MiB, part of the receiver record.
constexpr size_t recorder_ring_blocks = 128;
// [blocks] the player's read-ahead (0.17 s at 96 kHz); dropped when the loop moves.
constexpr size_t player_ring_blocks = 8;

struct wave_handoff {
    spsc_ring<recorded_block, recorder_ring_blocks> to_recorder;  // audio callback -> recorder
    spsc_ring<played_block, player_ring_blocks> from_player;      // wave player -> audio callback
    wave_block last_played{};  // callback-only: repeated when the player has nothing new
    relaxed<uint8_t> playing{0};
    // Set from the start of a recording to its stop; the callback hands over blocks only
    // while it is set.
    relaxed<uint8_t> recording{0};
    std::atomic<uint32_t> record_take{0};    // numbers the recordings; stamped on each block
    relaxed<uint32_t> recorder_overruns{0};  // blocks of this recording dropped: the ring was full
    std::atomic<uint32_t> play_seek{0};      // moves on when the loop is repositioned
    relaxed<uint32_t> heard_block{0};        // index of the block the callback took last
};

// Callback: while recording, copies the raw interleaved block `in` (block_size frames) into
// the recorder's ring, or counts an overrun when the ring is full.
void hand_to_recorder(wave_handoff& w, const float* in);
// Callback: moves the player's next block into last_played and returns true; false when
// none is ready (last_played stays, or is silence when only blocks from before a
// reposition were waiting: the old position is not heard again).
bool take_played_block(wave_handoff& w);
