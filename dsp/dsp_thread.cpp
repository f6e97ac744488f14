#include "dsp/dsp_thread.h"

#include "dsp/dsp_cycle.h"

bool dsp_thread_cycle(signal_state& s) {
    const dsp_thread_links& links = s.thread_links;
    if (!tb_take(s.handoff.input)) return false;
    if (links.recording && links.record_event && *links.recording) event_set(*links.record_event);
    enter_critical_section(*links.dsp_lock);
    // The block is taken, so the player may fetch the next one.
    if (links.playing && links.play_event && *links.playing) event_set(*links.play_event);
    dsp_cycle(s, *links.modes, tb_front(s.handoff.input), tb_back(s.handoff.output));
    tb_publish(s.handoff.output);
    event_reset(*links.dsp_event);
    leave_critical_section(*links.dsp_lock);
    return true;
}

void dsp_thread(worker_thread& self, void* arg) {
    signal_state& s = *static_cast<signal_state*>(arg);
    while (thread_checkpoint(self)) {
        event_wait(*s.thread_links.dsp_event);
        // Every queued block, also one whose pulse came while the last cycle ran.
        while (dsp_thread_cycle(s)) {
        }
    }
}

void dsp_thread_wake(void* arg) {
    event_pulse(*static_cast<signal_state*>(arg)->thread_links.dsp_event);
}
