// Output pacing against a simulated device that plays at the input's rate: input blocks
// come in on time, the DSP thread finishes them after a delay, and the pacing keeps one
// block per input block on the device, through a stall of the DSP thread and after it.
#include "audio/output_pacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int32_t rate = 96000;
constexpr long buffer_frames = 3 * block_size;  // what the sound server's plugin gives

// A device that starts once a block is queued, plays `rate` frames a second and stops
// (an underflow) when it runs dry.
struct sim_device {
    double queued = 0;  // [frames]
    bool playing = false;
    int underflows = 0;
    std::vector<float> written;  // first sample of every block-sized write
    long room() { return buffer_frames - long(std::ceil(queued)); }
    int write(const float* frames, long count) {
        queued += double(count);
        if (count == block_size) written.push_back(frames[0]);
        if (queued >= block_size) playing = true;
        return 0;
    }
    void play(double ms) {
        if (!playing) return;
        queued -= ms * rate / 1000.0;
        if (queued <= 0) {
            queued = 0;
            playing = false;
            ++underflows;
        }
    }
};

// The receiver's side: inputs every block period, the DSP thread finishing each one
// `dsp_ms` later (nothing while stalled; after a stall only the newest three, as it does),
// and the stream thread pacing the output every millisecond.
struct rig {
    std::unique_ptr<signal_handoff> signal = std::make_unique<signal_handoff>();
    wave_handoff wave;
    receive_mode_state modes;
    manual_event dsp_event;
    audio_context ctx;
    output_pacer pacer;
    sim_device device;
    std::vector<float> last = std::vector<float>(2 * block_size);
    std::vector<std::pair<uint64_t, double>> pending;  // (input serial, finished at [ms])
    std::vector<double> input_at;                      // [ms] by serial - 1
    std::vector<double> delay_ms;                      // per block heard: input to playing
    double now = 0;
    float newest = 0;  // tag of the newest block heard

    rig() {
        ctx.signal = signal.get();
        ctx.wave = &wave;
        ctx.mode = &modes;
        ctx.dsp_event = &dsp_event;
        pacer_reset(pacer, rate, 0);
    }
    void finish(uint64_t serial) {
        audio_out_block& b = tb_back(signal->output);
        b.audio[0] = float(serial);
        b.gain = 1.0f;
        b.input_serial = serial;
        tb_publish(signal->output);
    }
    // Runs `ms` milliseconds; the DSP thread stands still between stall_from and stall_to.
    void run(double ms, double dsp_ms, double stall_from = -1, double stall_to = -1) {
        const double period = 1000.0 * block_size / rate;
        for (const double end = now + ms; now < end; now += 1.0) {
            device.play(1.0);
            while (double(input_at.size()) * period <= now) {
                input_at.push_back(now);
                ++ctx.counters.blocks;
                pacer_input(pacer, ctx.counters.blocks.load(), int64_t(now));
                pending.push_back({ctx.counters.blocks.load(), now + dsp_ms});
            }
            const bool stalled = now >= stall_from && now < stall_to;
            if (!stalled) {
                if (pending.size() > 3 && now >= stall_to && stall_to >= 0)
                    pending.erase(pending.begin(), pending.end() - 3);  // the newest three
                while (!pending.empty() && pending.front().second <= now) {
                    finish(pending.front().first);
                    pending.erase(pending.begin());
                }
            }
            const size_t heard = device.written.size();
            const double queued_before = device.queued;
            ASSERT_EQ(pace_output(pacer, ctx, device, buffer_frames, int64_t(now), last.data()), 0);
            for (size_t k = heard; k < device.written.size(); ++k) {
                const float tag = device.written[k];
                if (tag <= newest) continue;  // a fill-in: the last block again, or silence
                newest = tag;
                const double arrived = input_at[size_t(tag) - 1];
                delay_ms.push_back(now - arrived + 1000.0 * queued_before / rate +
                                   1000.0 * double(k - heard) * block_size / rate);
            }
        }
    }
};

}  // namespace

TEST(OutputPacing, SteadyInputGivesOneBlockPerInputAtAConstantDelay) {
    rig r;
    r.run(5000, 1.0);
    EXPECT_EQ(r.device.underflows, 0);
    EXPECT_EQ(r.ctx.counters.output_repeats.load(), 0u);
    EXPECT_EQ(r.ctx.counters.output_dropped.load(), 0u);
    ASSERT_GT(r.delay_ms.size(), 200u);
    // Every block heard in order, each once.
    for (size_t k = 1; k < r.device.written.size(); ++k)
        ASSERT_EQ(r.device.written[k], r.device.written[k - 1] + 1.0f) << k;
    const double first = r.delay_ms[10];
    for (size_t k = 10; k < r.delay_ms.size(); ++k) ASSERT_NEAR(r.delay_ms[k], first, 1.5) << k;
    // The margin and the DSP thread's time: about a block.
    EXPECT_NEAR(first, 1000.0 * pacing_margin_frames / rate + 1.0, 2.0);
}

// A 300 ms stall of the DSP thread: the slots it misses get fill-ins on time, the device
// never runs dry, the late blocks are dropped, and the next block heard is at the delay of
// before.
TEST(OutputPacing, AStalledDspThreadCostsItsBlocksButNotTheDelay) {
    rig r;
    r.run(2000, 1.0);
    const double before = r.delay_ms.back();
    const size_t heard_before = r.delay_ms.size();
    r.run(3000, 1.0, 2100, 2400);
    EXPECT_EQ(r.device.underflows, 0);
    const double period = 1000.0 * block_size / rate;
    EXPECT_NEAR(double(r.ctx.counters.output_repeats.load()), 300 / period, 2.0);
    EXPECT_GT(r.ctx.counters.output_dropped.load(), 0u);
    ASSERT_GT(r.delay_ms.size(), heard_before + 2);
    for (size_t k = heard_before; k < r.delay_ms.size(); ++k)
        ASSERT_NEAR(r.delay_ms[k], before, 1.5) << "block " << k - heard_before << " after";
    for (size_t k = 1; k < r.device.written.size(); ++k) {
        if (r.device.written[k] >= 1.0f) {
            ASSERT_GE(r.device.written[k], r.device.written[k - 1]) << "went back in time";
        }
    }
}

// A DSP thread a little late (within half the margin) costs nothing.
TEST(OutputPacing, ALittleLateIsStillOnTime) {
    rig r;
    r.run(3000, 0.45 * output_deadline_ms(r.pacer) * 2);
    EXPECT_EQ(r.device.underflows, 0);
    EXPECT_EQ(r.ctx.counters.output_repeats.load(), 0u);
    EXPECT_EQ(r.ctx.counters.output_dropped.load(), 0u);
}
