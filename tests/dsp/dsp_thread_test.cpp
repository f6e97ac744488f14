#include "dsp/dsp_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "dsp/rebuild_filter.h"
#include "dsp_harness.h"

namespace {

// A receiver with its DSP-thread links filled in.
struct thread_rig {
    std::unique_ptr<dsp_rig> rig = make_rig(5);
    manual_event dsp_event, record_event, play_event;
    critical_section dsp_lock;
    relaxed<uint8_t> recording{0}, playing{0};

    thread_rig() {
        rig->signal->thread_links = {rig->modes.get(), &dsp_event, &record_event, &play_event,
                                     &dsp_lock,        &recording, &playing};
    }
    signal_state& signal() { return *rig->signal; }

    // What the audio callback does with a block: publish it and wake the DSP thread.
    void publish_tone(double bin, double amplitude) {
        fill_block(*rig, {{bin, amplitude, 0.0}});
        tb_back(signal().handoff.input) = *rig->in;
        tb_publish(signal().handoff.input);
    }
};

// Waits (at most 10 s) for a condition another thread makes true.
template <class F>
bool comes_true(F condition) {
    for (int i = 0; i < 10000 && !condition(); ++i) sleep_ms(1);
    return condition();
}

}  // namespace

TEST(DspThreadCycle, RunsOnlyForANewBlock) {
    thread_rig t;
    EXPECT_FALSE(dsp_thread_cycle(t.signal()));
    t.publish_tone(40.0, 0.5);
    event_set(t.dsp_event);
    EXPECT_TRUE(dsp_thread_cycle(t.signal()));
    EXPECT_FALSE(event_is_set(t.dsp_event));  // reset at the end of the cycle
    EXPECT_FALSE(dsp_thread_cycle(t.signal()));
    ASSERT_TRUE(tb_take(t.signal().handoff.output));
    EXPECT_EQ(tb_front(t.signal().handoff.output).serial, 1u);
    EXPECT_GT(tb_front(t.signal().handoff.output).gain, 0.0f);
}

TEST(DspThreadCycle, SetsRecordAndPlayEventsOnlyWhileFlagged) {
    thread_rig t;
    t.publish_tone(40.0, 0.5);
    dsp_thread_cycle(t.signal());
    EXPECT_FALSE(event_is_set(t.record_event));
    EXPECT_FALSE(event_is_set(t.play_event));
    t.recording = 1;
    t.publish_tone(40.0, 0.5);
    dsp_thread_cycle(t.signal());
    EXPECT_TRUE(event_is_set(t.record_event));
    EXPECT_FALSE(event_is_set(t.play_event));
    t.playing = 1;
    t.publish_tone(40.0, 0.5);
    dsp_thread_cycle(t.signal());
    EXPECT_TRUE(event_is_set(t.play_event));
}

TEST(DspThread, ProcessesEachPulsedBlockAfterOnePulseAndStops) {
    thread_rig t;
    worker_thread w;
    thread_create(w, dsp_thread, &t.signal());
    thread_resume(w);
    for (uint32_t b = 1; b <= 5; ++b) {
        t.publish_tone(40.0, 0.5);
        event_pulse(t.dsp_event);  // one pulse per block, as the audio side gives
        ASSERT_TRUE(comes_true([&] { return t.signal().blocks_done == b; })) << b;
        tb_skip_waiting(t.signal().handoff.output);  // played, as the audio side would
    }
    thread_stop(w, dsp_thread_wake, &t.signal());
    const audio_out_block& out = tb_front(t.signal().handoff.output);
    EXPECT_EQ(out.serial, 5u);
    float peak = 0.0f;
    for (float v : out.audio) peak = std::max(peak, v);
    EXPECT_NEAR(peak, 0.5f, 0.01f);
    EXPECT_NEAR(out.gain, 0.36f / peak, 0.01f);
}

// A block published in the moment between the thread's last empty look at the queue and
// its wait, with its one pulse, is processed without any further pulse.
TEST(DspThread, ABlockPublishedJustBeforeTheWaitIsNotLeftWaiting) {
    thread_rig t;
    struct late_block {
        thread_rig* t;
        std::atomic<int> waits{0};
    } late{&t};
    t.signal().thread_links.before_wait_arg = &late;
    t.signal().thread_links.before_wait = [](void* arg) {
        late_block& l = *static_cast<late_block*>(arg);
        if (l.waits.fetch_add(1) != 0) return;
        l.t->publish_tone(40.0, 0.5);
        event_pulse(l.t->dsp_event);
    };
    worker_thread w;
    thread_create(w, dsp_thread, &t.signal());
    thread_resume(w);
    EXPECT_TRUE(comes_true([&] { return t.signal().blocks_done == 1u; }));
    thread_stop(w, dsp_thread_wake, &t.signal());
    EXPECT_GE(late.waits.load(), 2);
}

// While the DSP thread stands still the input queue keeps every block of the stall; when it
// runs again it passes over all but the newest blocks (counted), so what is heard next is
// what came in last, not a backlog that would keep the delay up.
TEST(DspThreadCycle, AfterAStallOnlyTheNewestBlocksAreProcessed) {
    thread_rig t;
    t.rig->modes->agc_on = 0;  // fixed gain: the audio level tells the blocks apart
    constexpr int stalled = 12;
    for (int b = 1; b <= stalled; ++b) t.publish_tone(40.0, 0.01 * b);
    EXPECT_EQ(t.signal().handoff.input.dropped.load(), 0u);  // the queue held the stall
    int cycles = 0;
    float last_peak = 0.0f;
    while (dsp_thread_cycle(t.signal())) {
        ++cycles;
        ASSERT_TRUE(tb_take(t.signal().handoff.output));
        last_peak = 0.0f;
        for (float v : tb_front(t.signal().handoff.output).audio)
            last_peak = std::max(last_peak, v);
    }
    EXPECT_EQ(cycles, int(input_backlog_limit) + 1);
    EXPECT_EQ(t.signal().input_skipped.load(), uint64_t(stalled - cycles));
    EXPECT_NEAR(last_peak, 0.01f * stalled, 0.002f);  // the last block published
    // Back-to-back blocks within the limit are all processed.
    for (int b = 0; b < int(input_backlog_limit) + 1; ++b) t.publish_tone(40.0, 0.1);
    cycles = 0;
    while (dsp_thread_cycle(t.signal())) ++cycles;
    EXPECT_EQ(cycles, int(input_backlog_limit) + 1);
    EXPECT_EQ(t.signal().input_skipped.load(), uint64_t(stalled - 3));
}

// Blocks, filter rebuilds, tuning and setting changes and display reads all at once.
TEST(DspThread, StressWithConcurrentRebuildsAndTuning) {
    thread_rig t;
    worker_thread w;
    thread_create(w, dsp_thread, &t.signal());
    thread_set_priority(w, thread_priority::time_critical);
    thread_resume(w);

    std::atomic<bool> done{false};
    std::atomic<int> bad_samples{0};
    std::thread callback([&] {
        // The audio callback's side: publish, pulse, play the newest finished block.
        for (int b = 0; b < 300; ++b) {
            t.publish_tone(20.0 + (b % 50), 0.3);
            event_pulse(t.dsp_event);
            if (tb_take(t.signal().handoff.output)) {
                const audio_out_block& out = tb_front(t.signal().handoff.output);
                for (float v : out.audio)
                    if (!std::isfinite(v * out.gain)) bad_samples.fetch_add(1);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        done = true;
    });

    // The GUI side: rebuilds while the stream runs, tuning, notch and gain settings, and the
    // display reading the spectra.
    std::mt19937 g(11);
    const int32_t widths[] = {500, 1100, 2400, 2700, 3100, 80};
    const int32_t cutoffs[] = {50, 200, 300};
    int rebuilds = 0;
    int bad_db = 0;
    while (!done) {
        mode_entry& e = t.rig->modes->mode_table[5];
        e.band_width = widths[g() % 6];
        t.signal().low_cutoff_hz = cutoffs[g() % 3];
        rebuild_filter(t.signal(), *t.rig->modes);
        ++rebuilds;
        t.signal().tuned_bin = 2 * int32_t(g() % 2048);
        t.signal().notch_on = g() % 2;
        t.signal().notch_position = 221 + int32_t(g() % 279);
        t.rig->modes->agc_on = g() % 2;
        t.recording = g() % 2;
        if (tb_take(t.signal().spectra)) {
            const spectrum_block& sp = tb_front(t.signal().spectra);
            for (int32_t m = 0; m < fft_size; ++m)
                if (std::isnan(sp.display_db[m])) ++bad_db;
            for (int32_t j = 0; j < sp.passband_bin_count && j < fft_size; ++j)
                if (std::isnan(sp.audio_db[j])) ++bad_db;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(700));
    }
    callback.join();
    thread_stop(w, dsp_thread_wake, &t.signal());
    EXPECT_EQ(bad_samples.load(), 0);
    EXPECT_EQ(bad_db, 0);
    EXPECT_GT(rebuilds, 10);
    EXPECT_GT(t.signal().blocks_done.load(), 10u);
}
