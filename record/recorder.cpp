#include "record/recorder.h"

#include <unistd.h>  // ftruncate

namespace {

uint64_t data_bytes(const recorder& r) {
    return uint64_t(r.outcome.blocks_written) * wave_block_bytes;
}

// The size fields for every block written so far, then all of it to the disk. A pipe has
// no size fields to rewrite.
bool bring_sizes_up_to_date(recorder& r) {
    r.unsized_blocks = 0;
    if (!r.seekable) return true;
    return write_wave_sizes(*r.record_file, data_bytes(r)) && sync_wave_file(*r.record_file);
}

// Writes every block of this recording that waits in the ring, oldest first; blocks left
// from an earlier recording are dropped. False when the recording must end here: a write
// failed, or the next block would pass the size limit.
bool write_waiting_blocks(recorder& r) {
    auto& ring = r.handoff->to_recorder;
    while (const recorded_block* b = ring_read_slot(ring)) {
        if (b->take != r.take) {
            ring_release(ring);
            continue;
        }
        if (data_bytes(r) + wave_block_bytes > r.max_data_bytes) {
            r.outcome.limit_reached = true;
            return false;
        }
        if (!write_wave_block(*r.record_file, b->frames.left, b->frames.right)) {
            r.outcome.write_failed = true;
            return false;
        }
        r.record_block_count = ++r.outcome.blocks_written;
        const bool sized = ++r.unsized_blocks < r.blocks_per_update || bring_sizes_up_to_date(r);
        ring_release(ring);  // an empty ring: every block written and its second sized
        if (!sized) {
            r.outcome.write_failed = true;
            return false;
        }
    }
    return true;
}

// Final sizes, close, and the file back to the GUI thread with the outcome.
void end_recording(recorder& r) {
    r.handoff->recording = 0;  // already clear when stopped from the button
    auto& ring = r.handoff->to_recorder;
    while (ring_read_slot(ring)) ring_release(ring);  // not part of the file any more
    wave_file& f = *r.record_file;
    bool ok = true;
    if (r.seekable) {
        // After a failed write a partial block may stand at the end: the file keeps what
        // its header covers.
        if (r.outcome.write_failed)
            ok = ::ftruncate(::fileno(f.stream), off_t(wave_header_bytes + data_bytes(r))) == 0;
        ok = bring_sizes_up_to_date(r) && ok;
    }
    ok = close_wave_file(f) && ok;
    r.record_file.reset();
    r.outcome.finish_failed = !ok;
    r.outcome.blocks_lost = r.handoff->recorder_overruns;
    r.outcome_unread.store(true, std::memory_order_relaxed);
    r.phase.store(record_phase::idle, std::memory_order_release);
    event_set(r.idle_again);
}

}  // namespace

void recorder_thread(worker_thread& self, void* arg) {
    auto& r = *static_cast<recorder*>(arg);
    while (thread_checkpoint(self)) {
        event_wait(*r.record_event);
        // Reset before taking the blocks: a block handed over meanwhile sets the event
        // again, so none waits for the one after it.
        event_reset(*r.record_event);
        const record_phase phase = r.phase.load(std::memory_order_acquire);
        if (phase == record_phase::idle) continue;
        const bool going_on = write_waiting_blocks(r);
        if (!going_on || phase == record_phase::finishing) end_recording(r);
    }
}

bool start_recording(recorder& r, const char* name, bool high_rate) {
    wait_recording_finished(r, -1);
    r.record_file = create_wave_file(name, high_rate);
    if (!r.record_file) return false;
    r.seekable = wave_is_seekable(*r.record_file);
    r.outcome = recording_outcome{};
    r.outcome.sample_rate = high_rate ? 96000 : 48000;
    r.blocks_per_update = r.outcome.sample_rate / block_size;
    r.unsized_blocks = 0;
    r.record_block_count = 0;
    r.outcome_unread = false;
    r.take = r.handoff->record_take.load(std::memory_order_relaxed) + 1;
    r.handoff->record_take.store(r.take, std::memory_order_relaxed);
    r.handoff->recorder_overruns = 0;
    event_reset(r.idle_again);
    r.phase.store(record_phase::recording, std::memory_order_release);
    if (!r.thread_resumed) {
        thread_resume(*r.thread);
        r.thread_resumed = true;
    }
    // Pairs with the callback's acquire fence: it sees this take with `recording`.
    std::atomic_thread_fence(std::memory_order_release);
    r.handoff->recording = 1;
    return true;
}

uint32_t stop_recording(recorder& r) {
    r.handoff->recording = 0;
    record_phase expected = record_phase::recording;
    // The thread may have ended the recording itself (disk full, size limit); then its
    // outcome tells of the lost blocks.
    if (!r.phase.compare_exchange_strong(expected, record_phase::finishing,
                                         std::memory_order_acq_rel))
        return 0;
    event_set(*r.record_event);
    return r.handoff->recorder_overruns;
}

bool recording_finished(const recorder& r) {
    return r.phase.load(std::memory_order_acquire) == record_phase::idle;
}

bool wait_recording_finished(recorder& r, int timeout_ms) {
    if (recording_finished(r)) return true;
    if (timeout_ms < 0)
        event_wait(r.idle_again);
    else
        event_wait_for(r.idle_again, timeout_ms);
    return recording_finished(r);
}

std::optional<recording_outcome> take_recording_outcome(recorder& r) {
    if (!recording_finished(r) || !r.outcome_unread.exchange(false)) return std::nullopt;
    return r.outcome;
}
