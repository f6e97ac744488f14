#include "audio/headless_receive.h"

#include <csignal>

#include "platform/thread.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void on_signal(int) {
    interrupted = 1;
}

struct signal_guard {
    struct sigaction old_int {};
    struct sigaction old_term {};
    signal_guard() {
        interrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = on_signal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &old_int);
        sigaction(SIGTERM, &sa, &old_term);
    }
    ~signal_guard() {
        sigaction(SIGINT, &old_int, nullptr);
        sigaction(SIGTERM, &old_term, nullptr);
    }
};

constexpr int poll_ms = 50;  // [ms] between looks at the stop conditions

}  // namespace

int headless_receive(audio_stream& s, audio_context& ctx, int32_t selected_card,
                     int32_t sample_rate, std::FILE* status,
                     const std::atomic<bool>* stop_requested) {
    signal_guard guard;
    s.stream_open = 1;
    if (open_stream(s, ctx, selected_card, sample_rate) != 0) {
        s.stream_open = 0;
        if (status)
            std::fprintf(status, "tolvan: the stream on card %d at %d Hz did not open\n",
                         int(selected_card), int(sample_rate));
        return 1;
    }
    int ticks = 0;
    while (!interrupted && !(stop_requested && stop_requested->load())) {
        sleep_ms(poll_ms);
        if (++ticks * poll_ms >= 1000) {
            ticks = 0;
            if (!status) continue;
            const audio_counters& c = ctx.counters;
            std::fprintf(status,
                         "tolvan: %llu blocks, %llu missed by the DSP thread, %llu audio blocks "
                         "replayed, %llu dropped, %llu input overflows, %llu output underflows, "
                         "%u reopened%s\n",
                         (unsigned long long)c.callbacks.load(),
                         (unsigned long long)c.dsp_missed.load(),
                         (unsigned long long)c.output_repeats.load(),
                         (unsigned long long)c.output_dropped.load(),
                         (unsigned long long)c.input_overflows.load(),
                         (unsigned long long)c.output_underflows.load(),
                         unsigned(s.revivals.load()), stream_active(s) ? "" : ", reopening");
        }
    }
    s.stream_open = 0;
    stop_stream(s);
    return 0;
}
