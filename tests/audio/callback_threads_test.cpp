// The callback against live threads on the other ends of its hand-offs: a DSP-like thread
// that turns each input block into an output block, a recorder that drains the raw blocks
// and a player that feeds blocks. Every block a thread sees must be whole.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "audio/audio_callback.h"
#include "audio/audio_context.h"

namespace {

struct live_rig {
    receive_mode_state mode;
    signal_handoff signal;
    wave_handoff wave;
    manual_event dsp_event;
    audio_context ctx;
    std::atomic<bool> done{false};
};

// All samples of a block carry one value; a torn block mixes two.
bool uniform(const double* v, double first) {
    for (int k = 0; k < block_size; ++k)
        if (v[k] != first) return false;
    return true;
}

TEST(AudioCallbackThreads, HandOffsStayWholeUnderConcurrency) {
    auto r = std::make_unique<live_rig>();
    r->ctx.mode = &r->mode;
    r->ctx.signal = &r->signal;
    r->ctx.wave = &r->wave;
    r->ctx.dsp_event = &r->dsp_event;
    r->wave.recording = 1;
    constexpr int calls = 400;

    std::atomic<int> torn{0}, processed{0}, recorded{0};
    std::thread dsp([&] {
        while (!r->done) {
            if (!event_wait_for(r->dsp_event, 5)) continue;
            if (!tb_take(r->signal.input)) continue;
            const iq_block& in = tb_front(r->signal.input);
            if (!uniform(in.im, in.im[0]) || !uniform(in.re, in.re[0])) ++torn;
            audio_out_block& out = tb_back(r->signal.output);
            for (float& a : out.audio) a = float(in.im[0]);
            out.gain = 2.0f;
            tb_publish(r->signal.output);
            ++processed;
        }
    });
    std::thread recorder([&] {
        while (!r->done || ring_count(r->wave.to_recorder)) {
            if (const recorded_block* slot = ring_read_slot(r->wave.to_recorder)) {
                const wave_block* b = &slot->frames;
                for (int k = 0; k < block_size; ++k)
                    if (b->left[k] != b->left[0] || b->right[k] != b->right[0]) ++torn;
                ring_release(r->wave.to_recorder);
                ++recorded;
            } else {
                std::this_thread::yield();
            }
        }
    });

    std::vector<float> in(2 * block_size), out(2 * block_size);
    for (int n = 1; n <= calls; ++n) {
        for (int k = 0; k < block_size; ++k) {
            in[2 * k] = float(n);
            in[2 * k + 1] = float(-n);
        }
        // Half way the player takes over from the card.
        if (n == calls / 2) r->wave.playing = 1;
        if (r->wave.playing) {
            if (played_block* p = ring_write_slot(r->wave.from_player)) {
                for (int k = 0; k < block_size; ++k)
                    p->frames.left[k] = p->frames.right[k] = float(1000 + n);
                ring_commit(r->wave.from_player);
            }
        }
        audio_callback(in.data(), out.data(), block_size, nullptr, 0, &r->ctx);
        for (int k = 1; k < 2 * block_size; ++k)
            if (out[k] != out[0]) ++torn;
        if (n % 8 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    r->done = true;
    dsp.join();
    recorder.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(processed.load(), 0);
    EXPECT_EQ(uint64_t(recorded.load()) + r->wave.recorder_overruns.load(),
              uint64_t(calls / 2 - 1));
    EXPECT_EQ(r->ctx.counters.blocks.load(), uint64_t(calls));
}

}  // namespace
