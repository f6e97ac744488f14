#include "record/recorder.h"

namespace {

void wake(void* rec) {
    event_set(*static_cast<recorder*>(rec)->record_event);
}

// Writes every block waiting in the ring, oldest first.
void write_waiting_blocks(recorder& r) {
    auto& ring = r.handoff->to_recorder;
    while (const wave_block* b = ring_read_slot(ring)) {
        if (r.record_file && write_wave_block(*r.record_file, b->left, b->right))
            ++r.record_block_count;
        else
            ++r.write_failures;
        ring_release(ring);
    }
}

}  // namespace

void recorder_thread(worker_thread& self, void* arg) {
    auto& r = *static_cast<recorder*>(arg);
    while (thread_checkpoint(self)) {
        event_wait(*r.record_event);
        // Reset before taking the blocks: a block handed over meanwhile sets the event
        // again, so none waits for the one after it.
        event_reset(*r.record_event);
        write_waiting_blocks(r);
    }
}

bool start_recording(recorder& r, const char* name, bool high_rate) {
    r.record_file = create_wave_file(name, high_rate);
    if (!r.record_file) return false;
    r.record_block_count = 0;
    r.write_failures = 0;
    // The callback keeps handing over blocks after a recording has ended (until the ring
    // is full); those belong to no recording. The thread is parked, so this thread may
    // take the consumer's side for the moment.
    ring_clear(r.handoff->to_recorder);
    thread_resume(*r.thread);
    r.thread_resumed = true;
    r.handoff->recording = 1;
    return true;
}

bool stop_recording(recorder& r) {
    if (r.thread_resumed) thread_suspend(*r.thread, wake, &r);
    r.thread_resumed = false;
    if (!r.record_file) return true;
    const bool written = r.write_failures == 0;
    const bool finished = finish_wave_file(*r.record_file);
    const bool closed = close_wave_file(*r.record_file);
    r.record_file.reset();
    return written && finished && closed;
}
