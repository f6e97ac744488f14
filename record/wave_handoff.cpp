#include "record/wave_handoff.h"

void hand_to_recorder(wave_handoff& w, const float* in) {
    if (!w.recording) return;
    // Pairs with the release fence of the start: a set `recording` comes with its take.
    std::atomic_thread_fence(std::memory_order_acquire);
    recorded_block* slot = ring_write_slot(w.to_recorder);
    if (!slot) {
        ++w.recorder_overruns;
        return;
    }
    for (int32_t k = 0; k < block_size; ++k) {
        slot->frames.left[k] = in[2 * k];
        slot->frames.right[k] = in[2 * k + 1];
    }
    slot->take = w.record_take.load(std::memory_order_relaxed);
    ring_commit(w.to_recorder);
}

bool take_played_block(wave_handoff& w) {
    const uint32_t seek = w.play_seek.load(std::memory_order_acquire);
    bool dropped = false;
    while (const played_block* b = ring_read_slot(w.from_player)) {
        if (b->seek == seek) {
            w.last_played = b->frames;
            w.heard_block = b->block;
            ring_release(w.from_player);
            return true;
        }
        ring_release(w.from_player);  // read before the loop moved
        dropped = true;
    }
    if (dropped) w.last_played = wave_block{};
    return false;
}
