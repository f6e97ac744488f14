#pragma once
// The receiver's own process-wide state: the worker threads, the events and the lock, the
// CPU monitor, and the receiver's phase.
#include <cstdint>

#include "platform/cpu_usage.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/relaxed.h"
#include "platform/thread.h"
#include "record/player.h"
#include "record/recorder.h"

enum class receiver_phase : uint8_t { starting, idle, receiving, shut_down };

constexpr int message_text_size = 200;  // [characters] message boxes and the card name

struct core_state {
    // In order of creation.
    worker_thread dsp_thread;
    worker_thread cpu_monitor_thread;
    worker_thread wave_player_thread;
    worker_thread recorder_thread;

    manual_event dsp_event;     // a new input block is ready (pulsed by the audio callback)
    manual_event play_event;    // read the next playback block
    manual_event record_event;  // write the next recorded block
    critical_section dsp_lock;  // held by the DSP thread for one cycle
    manual_event monitor_stop;  // ends the CPU monitor's one-second sleep at shutdown

    char message_text[4 * message_text_size] = {};  // UTF-8, at most 200 characters

    cpu_sampler cpu;
    relaxed<int32_t> cpu_usage_percent{0};  // [%] of one core, user time, refreshed each second
    relaxed<uint16_t> record_seconds{0};    // [s] of the current recording, wraps
    relaxed<uint8_t> record_button_on{0};
    recorder rec;  // the recording behind "Rec"
    player play;   // the playback behind "Play wave"

    relaxed<receiver_phase> phase{receiver_phase::starting};
};

// The CPU-monitor thread body: once a second, the user-CPU percentage and the recording time.
void cpu_monitor_thread(worker_thread& self, void* core);
// One pass of the monitor (the body without its sleep).
void cpu_monitor_step(core_state& core);
