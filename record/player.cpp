#include "record/player.h"

namespace {

void wake(void* play) {
    event_set(*static_cast<player*>(play)->play_event);
}

// Position of block b of the playing file [bytes].
int64_t block_offset(const player& p, uint32_t b) {
    return p.data_offset + int64_t(b) * wave_block_bytes;
}

void rewind_to_start(player& p) {
    p.current_block = p.start_block.load();
    if (p.play_file) seek_wave(*p.play_file, block_offset(p, p.start_block));
}

// The next block of the loop into `out`. Past the last block comes the partial block of
// the file's end (when the loop runs to it), then the loop starts again at start_block.
void read_next(player& p, played_block& out) {
    wave_block& b = out.frames;
    out.seek = p.handoff->play_seek.load(std::memory_order_relaxed);
    out.block = p.current_block;
    if (!p.play_file) {
        b = wave_block{};
        return;
    }
    const uint32_t end = p.end_block;
    const uint32_t current = p.current_block;
    if (current < end) {
        if (!read_wave_block(*p.play_file, b.left, b.right)) {
            // The file has become shorter than it was when opened: silence, and the loop
            // starts again instead of replaying old samples.
            b = wave_block{};
            rewind_to_start(p);
            return;
        }
        p.current_block = current + 1;
        const bool tail_follows = end == p.total_blocks && p.tail_count > 0;
        if (current + 1 == end && !tail_follows) rewind_to_start(p);
        return;
    }
    if (current == end && end == p.total_blocks && p.tail_count > 0) {
        read_wave_tail(*p.play_file, b.left, b.right, p.tail_count);
    } else {
        b = wave_block{};  // an empty loop plays silence, one block per block
    }
    rewind_to_start(p);
}

// (Re)positions the loop after the markers changed: the thread is parked. Blocks already
// read from the old position are dropped by the callback.
void reposition(player& p) {
    if (!p.end_marker_on) p.end_block = p.total_blocks.load();
    if (!p.start_marker_on) p.start_block = 0;
    rewind_to_start(p);
    p.handoff->play_seek.fetch_add(1, std::memory_order_release);
}

// The block under x [px] of the 1024-px bar (integer division, as the bar is drawn).
uint32_t block_at(const player& p, int x) {
    const uint64_t column = uint64_t(x < 0 ? 0 : x > 1024 ? 1024 : x);
    return uint32_t(uint64_t(p.total_blocks) * column / 1024);
}

template <class F>
void while_parked(player& p, F change) {
    const bool resume = p.thread_resumed;
    if (resume) thread_suspend(*p.thread, wake, &p);
    change();
    if (resume) {
        thread_resume(*p.thread);
        event_set(*p.play_event);
    }
}

}  // namespace

void player_thread(worker_thread& self, void* arg) {
    auto& p = *static_cast<player*>(arg);
    auto& ring = p.handoff->from_player;
    while (thread_checkpoint(self)) {
        played_block* slot = ring_write_slot(ring);
        if (!slot) {
            // Full: the callback takes one block per block period and the DSP thread sets
            // the event for each; reset first so that no set is lost.
            event_wait(*p.play_event);
            event_reset(*p.play_event);
            continue;
        }
        read_next(p, *slot);
        ring_commit(ring);
    }
}

bool open_playback(player& p, const char* name) {
    std::optional<opened_wave> w = open_wave_file(name);
    if (!w) return false;
    p.play_file = std::move(w->file);
    p.data_offset = w->info.data_offset;
    p.total_blocks = w->info.total_blocks;
    p.tail_count = w->info.tail_count;
    p.playback_file_rate = w->info.sample_rate;
    p.size_from_length = w->info.size_from_length;
    return true;
}

void begin_playback(player& p) {
    // A marker beyond a shorter file than the one it was set on would leave nothing.
    if (p.start_marker_on && p.start_block >= p.total_blocks) {
        p.start_marker_on = 0;
        p.start_block = 0;
    }
    if (p.end_marker_on && p.end_block > p.total_blocks) p.end_marker_on = 0;
    reposition(p);  // blocks left from an earlier playback are dropped with the read-ahead
    p.handoff->heard_block = p.start_block.load();
    thread_resume(*p.thread);
    p.thread_resumed = true;
    event_set(*p.play_event);
    p.handoff->playing = 1;
}

void stop_playback(player& p) {
    if (p.thread_resumed) thread_suspend(*p.thread, wake, &p);
    p.thread_resumed = false;
    p.handoff->playing = 0;
    if (p.play_file) close_wave_file(*p.play_file);
    p.play_file.reset();
}

void set_start_marker(player& p, int x) {
    while_parked(p, [&] {
        p.start_marker_on = !p.start_marker_on;
        if (p.start_marker_on) {
            p.start_block = block_at(p, x);
            if (p.end_marker_on && p.start_block >= p.end_block) {
                p.start_marker_on = 0;
                p.start_block = 0;
            }
        } else {
            p.start_block = 0;
        }
        reposition(p);
    });
}

void set_end_marker(player& p, int x) {
    while_parked(p, [&] {
        p.end_marker_on = !p.end_marker_on;
        if (p.end_marker_on) {
            p.end_block = block_at(p, x);
            if (p.start_marker_on && p.end_block <= p.start_block) {
                p.end_marker_on = 0;
                p.end_block = p.total_blocks.load();
                return;  // the loop stays where it is
            }
        } else {
            p.end_block = p.total_blocks.load();
        }
        reposition(p);
    });
}

void clear_markers(player& p) {
    p.start_marker_on = 0;
    p.start_block = 0;
    p.end_marker_on = 0;
    p.end_block = p.total_blocks.load();
}
