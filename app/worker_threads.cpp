// Creation and stopping of the four worker threads.
#include "app/receiver_record.h"
#include "app/startup_steps.h"
#include "dsp/dsp_thread.h"

namespace {

void set_event(void* event) {
    event_set(*static_cast<manual_event*>(event));
}

}  // namespace

void create_worker_threads() {
    dsp_thread_links& links = data_origin.thread_links;
    links.modes = &data_origin;
    links.dsp_event = &core.dsp_event;
    links.record_event = &core.record_event;
    links.play_event = &core.play_event;
    links.dsp_lock = &core.dsp_lock;
    links.recording = &data_origin.recording;
    links.playing = &data_origin.playing;
    thread_create(core.dsp_thread, dsp_thread, static_cast<signal_state*>(&data_origin));
    thread_create(core.cpu_monitor_thread, cpu_monitor_thread, &core);
    core.play.handoff = &data_origin;
    core.play.play_event = &core.play_event;
    core.play.thread = &core.wave_player_thread;
    thread_create(core.wave_player_thread, player_thread, &core.play);
    core.rec.handoff = &data_origin;
    core.rec.record_event = &core.record_event;
    core.rec.thread = &core.recorder_thread;
    thread_create(core.recorder_thread, recorder_thread, &core.rec);
    thread_set_name(core.dsp_thread, "tolvan-dsp");
    thread_set_name(core.cpu_monitor_thread, "tolvan-cpu");
    thread_set_name(core.wave_player_thread, "tolvan-player");
    thread_set_name(core.recorder_thread, "tolvan-recorder");
}

// In the order DSP, CPU monitor, wave player, recorder. The stream is stopped, so no
// thread is woken by a block any more; each is nudged out of its wait.
void stop_worker_threads() {
    thread_stop(core.dsp_thread, dsp_thread_wake, static_cast<signal_state*>(&data_origin));
    event_set(core.monitor_stop);
    thread_stop(core.cpu_monitor_thread, set_event, &core.monitor_stop);
    thread_stop(core.wave_player_thread, set_event, &core.play_event);
    thread_stop(core.recorder_thread, set_event, &core.record_event);
}
