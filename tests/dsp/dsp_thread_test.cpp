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

TEST(DspThread, ProcessesPulsedBlocksAndStops) {
    thread_rig t;
    worker_thread w;
    thread_create(w, dsp_thread, &t.signal());
    thread_resume(w);
    uint32_t last = 0;
    for (int b = 0; b < 20 && last < 5; ++b) {
        t.publish_tone(40.0, 0.5);
        // The pulse reaches only a waiting thread; repeat it until the block is taken.
        for (int i = 0; i < 2000 && t.signal().blocks_done == last; ++i) {
            event_pulse(t.dsp_event);
            sleep_ms(1);
        }
        last = t.signal().blocks_done;
        tb_skip_waiting(t.signal().handoff.output);  // played, as the callback would
    }
    thread_stop(w, dsp_thread_wake, &t.signal());
    ASSERT_GE(last, 5u);
    tb_skip_waiting(t.signal().handoff.output);  // blocks come in order: the last is newest
    const audio_out_block& out = tb_front(t.signal().handoff.output);
    EXPECT_EQ(out.serial, last);
    float peak = 0.0f;
    for (float v : out.audio) peak = std::max(peak, v);
    EXPECT_NEAR(peak, 0.5f, 0.01f);
    EXPECT_NEAR(out.gain, 0.36f / peak, 0.01f);
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
