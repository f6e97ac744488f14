#include "dsp/dsp_thread.h"

#include "dsp/dsp_cycle.h"

bool dsp_thread_cycle(signal_state& s) {
    const dsp_thread_links& links = s.thread_links;
    if (!tb_take(s.handoff.input)) return false;
    // After a stall the oldest blocks go: the newest ones are what is heard next.
    while (tb_waiting(s.handoff.input) > input_backlog_limit) {
        tb_take(s.handoff.input);
        ++s.input_skipped;
    }
    if (links.recording && links.record_event && *links.recording) event_set(*links.record_event);
    enter_critical_section(*links.dsp_lock);
    // The block is taken, so the player may fetch the next one.
    if (links.playing && links.play_event && *links.playing) event_set(*links.play_event);
    const iq_block& in = tb_front(s.handoff.input);
    audio_out_block& out = tb_back(s.handoff.output);
    dsp_cycle(s, *links.modes, in, out);
    out.input_serial = in.serial;
    tb_publish(s.handoff.output);
    event_reset(*links.dsp_event);
    leave_critical_section(*links.dsp_lock);
    if (links.output_event) event_pulse(*links.output_event);
    return true;
}

void dsp_thread(worker_thread& self, void* arg) {
    signal_state& s = *static_cast<signal_state*>(arg);
    manual_event& wake = *s.thread_links.dsp_event;
    while (thread_checkpoint(self)) {
        // The snapshot comes before the last look at the queue, so a block published after
        // that look has pulsed a newer generation and the wait returns at once.
        const uint32_t seen = event_snapshot(wake);
        while (dsp_thread_cycle(s)) {
        }
        if (s.thread_links.before_wait) s.thread_links.before_wait(s.thread_links.before_wait_arg);
        event_wait_since(wake, seen);
    }
}

void dsp_thread_wake(void* arg) {
    event_pulse(*static_cast<signal_state*>(arg)->thread_links.dsp_event);
}
