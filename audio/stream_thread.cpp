// The stream thread: drives a stream that has no callback, watches every stream, and
// reopens one that stopped working.
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "audio/audio_block.h"
#include "audio/input_wait.h"
#include "audio/output_pacing.h"
#include "audio/silence_watch.h"
#include "audio/stream_handle.h"

namespace {

constexpr int first_input_grace_ms = 4000;  // [ms] a new stream may take to deliver (servers: ~2 s)
constexpr int input_silence_limit_ms = 2000;  // [ms] without a block: the stream is dead
constexpr int64_t longest_sleep_us = 50000;   // [us] between looks at the stream at most
constexpr int64_t min_sleep_us = 100;         // [us] at least, so that the thread never spins
constexpr int watch_interval_ms = 100;        // [ms] between looks at a callback stream
constexpr int stream_thread_nice = -11;       // the nice level sound servers give their threads

bool stop_requested(const audio_stream& s) {
    return s.stop_wanted.load(std::memory_order_acquire);
}

// The card's input went digitally silent while it is what is heard: during playback of a
// recording a reopen would only break up the recording's sound.
bool heard_input_went_silent(const audio_stream& s, silence_watch& quiet) {
    return !s.ctx->wave->playing && input_went_silent(quiet, s.ctx->counters, s.sample_rate);
}

// The device behind an own-thread stream, for the output pacing.
struct stream_device {
    PaStream* stream;
    long room() { return Pa_GetStreamWriteAvailable(stream); }
    // An underflow flag is no error: the pacing finds the device empty and counts it.
    int write(const float* frames, long count) {
        const PaError e = Pa_WriteStream(stream, frames, static_cast<unsigned long>(count));
        return e == paOutputUnderflowed ? 0 : int(e);
    }
};

// Runs an own-thread stream until it is stopped (returns null) or stops working (returns
// why). Sleeps until the next input block is due, a finished block arrives, a late one's
// slot needs its fill-in, or the drift watch is to look at the output's room.
const char* drive_own_thread(audio_stream& s, PaStream* h, silence_watch& quiet) {
    audio_context& ctx = *s.ctx;
    audio_counters& c = ctx.counters;
    static thread_local float in[2 * block_size];
    static thread_local float last[2 * block_size];
    const long buffer_frames = Pa_GetStreamWriteAvailable(h);
    if (buffer_frames < pacing_margin_frames(s.sample_rate) + block_size)
        return "no room for output";
    tb_skip_waiting(ctx.signal->output);  // blocks finished for a stream that is gone
    output_pacer pacer;
    pacer_reset(pacer, s.sample_rate, c.blocks.load());
    stream_device device{h};
    silence_watch_open(quiet, c);
    int64_t last_input_us = steady_now_us();
    int64_t input_due_us = next_input_due_us(last_input_us, 0, s.sample_rate);
    bool delivered = false;
    for (;;) {
        const uint32_t seen = event_snapshot(ctx.output_ready);
        if (stop_requested(s)) return nullptr;
        long avail = Pa_GetStreamReadAvailable(h);
        if (avail < 0) return Pa_GetErrorText(PaError(avail));
        for (; avail >= block_size; avail -= block_size) {
            const PaError e = Pa_ReadStream(h, in, block_size);
            if (e == paInputOverflowed)
                ++c.input_overflows;
            else if (e != paNoError)
                return Pa_GetErrorText(e);
            ++c.callbacks;
            c.frames += block_size;
            last_input_us = steady_now_us();
            hand_in_block(ctx, in);
            pacer_input(pacer, c.blocks.load(), last_input_us);
            delivered = true;
            input_due_us = next_input_due_us(last_input_us, avail - block_size, s.sample_rate);
        }
        const int64_t now_us = steady_now_us();
        if (const int e = look_at_output(pacer, device, now_us); e < 0)
            return Pa_GetErrorText(PaError(e));
        if (const int e = pace_output(pacer, ctx, device, buffer_frames, now_us, last); e < 0)
            return Pa_GetErrorText(PaError(e));
        const int64_t input_limit_ms = delivered ? input_silence_limit_ms : first_input_grace_ms;
        if (now_us - last_input_us > input_limit_ms * 1000) return "no input";
        if (heard_input_went_silent(s, quiet)) return "input went silent";
        int64_t wait_us = input_wait_us(input_due_us, now_us, s.sample_rate);
        const int64_t fill_in_at = next_fill_in_us(pacer, c.blocks.load());
        if (fill_in_at >= 0) wait_us = std::min(wait_us, fill_in_at - now_us);
        if (const int64_t look_at = next_look_us(pacer.drift); look_at != no_time)
            wait_us = std::min(wait_us, look_at - now_us);
        wait_us = std::clamp<int64_t>(wait_us, min_sleep_us, longest_sleep_us);
        event_wait_since_us(ctx.output_ready, seen, wait_us);
    }
}

// Watches a callback stream until it is stopped (returns null) or stops working.
const char* watch_callback(audio_stream& s, PaStream* h, silence_watch& quiet) {
    const audio_counters& c = s.ctx->counters;
    silence_watch_open(quiet, c);
    uint64_t calls = c.callbacks.load();
    int64_t last_call_ms = steady_now_ms();
    bool delivered = false;
    for (;;) {
        event_wait_for(s.stop_event, watch_interval_ms);
        if (stop_requested(s)) return nullptr;
        if (Pa_IsStreamActive(h) != 1) return "ended by the host";
        const uint64_t now_calls = c.callbacks.load();
        const int64_t now_ms = steady_now_ms();
        if (now_calls != calls) {
            calls = now_calls;
            last_call_ms = now_ms;
            delivered = true;
            if (heard_input_went_silent(s, quiet)) return "input went silent";
        } else if (now_ms - last_call_ms >
                   (delivered ? input_silence_limit_ms : first_input_grace_ms)) {
            return "no input";
        }
    }
}

// Closes the dead stream and opens it again until it runs or the stream is stopped.
PaStream* reopen(audio_stream& s, PaStream* dead, const char* why) {
    const int64_t since = steady_now_ms();
    s.trouble_since_ms = since;
    s.state = stream_state::reopening;
    std::fprintf(stderr, "tolvan: the sound stream on card %d stopped (%s); reopening\n",
                 int(s.card), why);
    close_handle(dead);
    for (;;) {
        if (stop_requested(s)) return nullptr;
        if (PaStream* h = open_and_start(s.card, s.sample_rate, s.drive, *s.ctx)) {
            ++s.revivals;
            s.trouble_since_ms = 0;
            s.state = stream_state::running;
            std::fprintf(stderr, "tolvan: the sound stream runs again after %.1f s\n",
                         double(steady_now_ms() - since) / 1000.0);
            return h;
        }
        ++s.failed_reopens;
        event_wait_for(s.stop_event, reopen_interval_ms);
    }
}

}  // namespace

void stream_thread_body(audio_stream* sp) {
    audio_stream& s = *sp;
    pthread_setname_np(pthread_self(), "tolvan-stream");
    // Ahead of ordinary work, as a sound server's own threads are, but not real-time: this
    // thread serves a sound server, which schedules the device itself. Where raising it is
    // not permitted it keeps the normal priority.
    setpriority(PRIO_PROCESS, gettid(), stream_thread_nice);
    PaStream* h = open_and_start(s.card, s.sample_rate, s.drive, *s.ctx);
    s.stream = h;
    if (h) s.state = stream_state::running;
    s.open_failed = h == nullptr;
    event_set(s.opened);  // open_stream reads the handle and the result from here on
    silence_watch quiet;
    while (h) {
        const char* why = s.drive == stream_drive::own_thread ? drive_own_thread(s, h, quiet)
                                                              : watch_callback(s, h, quiet);
        if (!why) break;
        h = reopen(s, h, why);
    }
    s.stream = h;  // read by stop_stream after the join
}
