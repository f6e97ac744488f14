#pragma once
// The DSP thread: one cycle per input block of the audio callback.
//
// Each wake: wait for dsp_event (pulsed by the callback after it published a block), then
// one cycle for every queued input block, in order (a wake without a new block runs no
// cycle). A cycle: set record_event while recording; hold dsp_lock; set play_event while
// playing; run dsp_cycle and queue its audio block and gain for the callback, which plays
// them in order; reset dsp_event; leave dsp_lock. A block whose pulse arrived while a cycle
// ran is processed right after that cycle, so back-to-back buffers lose nothing.
//
// Set up: fill signal_state::thread_links, then
//   thread_create(t, dsp_thread, &signal); thread_set_priority(t, time_critical);
//   thread_resume(t);  ...  thread_stop(t, dsp_thread_wake, &signal);
#include "dsp/signal_state.h"
#include "platform/thread.h"

// Thread body; arg is the signal_state. Returns when the thread is stopped.
void dsp_thread(worker_thread& self, void* arg);

// Nudges a body blocked in its wait (for thread_suspend / thread_stop); arg is the
// signal_state.
void dsp_thread_wake(void* arg);

// One pass of the body after the wake-up; false when no new input block was there.
bool dsp_thread_cycle(signal_state& s);
