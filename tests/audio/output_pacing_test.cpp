// Output pacing against a simulated device that plays at the input's rate: input blocks
// come in on time, the DSP thread finishes them after a delay, and the pacing keeps one
// block per input block on the device, through a stall of the DSP thread and after it.
#include "audio/output_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int32_t rate = 96000;
constexpr long buffer_frames = 3 * block_size;  // what the sound server's plugin gives

// A device that starts once a block is queued, plays `speed` * `rate` frames a second and
// stops (an underflow) when it runs dry. With a `period`, it tells its room a period at a
// time, as a sound server's plugin does.
struct sim_device {
    double speed = 1.0;  // its clock against the input's
    long period = 0;     // [frames]; 0: the room to the frame
    long buffer = buffer_frames;
    long fed = 0;       // [frames] written in all
    double played = 0;  // [frames] played in all
    bool playing = false;
    int underflows = 0;
    std::vector<float> written;  // first sample of every block-long write (give or take a frame)
    double queued() const { return double(fed) - played; }
    long room() const {
        const long told = period ? long(played) / period * period : long(std::floor(played));
        return buffer - (fed - told);
    }
    int write(const float* frames, long count) {
        fed += count;
        if (std::abs(count - block_size) <= 1) written.push_back(frames[0]);
        if (queued() >= block_size) playing = true;
        return 0;
    }
    void play(double ms) {
        if (!playing) return;
        played += speed * ms * rate / 1000.0;
        if (played >= double(fed)) {
            played = double(fed);
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
    std::vector<double> queue_ms;                      // [ms] queued on the device, each ms
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
                pacer_input(pacer, ctx.counters.blocks.load(), int64_t(now * 1000));
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
            const double queued_before = device.queued();
            const int64_t now_us = int64_t(now * 1000);
            ASSERT_EQ(look_at_output(pacer, device, now_us), 0);
            ASSERT_EQ(pace_output(pacer, ctx, device, device.buffer, now_us, last.data()), 0);
            queue_ms.push_back(1000.0 * device.queued() / rate);
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
    // The margin and the DSP thread's time.
    EXPECT_NEAR(first, 1000.0 * double(pacing_margin_frames(rate)) / rate + 1.0, 2.0);
}

// A device that plays faster than it is fed runs dry: each time is counted, for the
// listener's hiccup report; the empty device at the start is not.
TEST(OutputPacing, ADeviceThatRanDryIsCountedButNotTheStart) {
    rig r;
    r.run(1000, 1.0);
    EXPECT_EQ(r.ctx.counters.output_underflows.load(), 0u);
    r.device.speed = 1.2;
    r.run(1000, 1.0);
    ASSERT_GT(r.device.underflows, 0);
    EXPECT_GT(r.ctx.counters.output_underflows.load(), 0u);
    EXPECT_LE(r.ctx.counters.output_underflows.load(), uint64_t(r.device.underflows) + 1);
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

// Through a stall the queue stays where it was: after the first fill-in, which waits out the
// deadline, the fill-ins go out as the blocks would have. Waiting for each one held the
// queue lower by the deadline for the whole stall, and ran a device dry that a sound server
// left with little queued.
TEST(OutputPacing, AStallsFillInsKeepTheQueueOfBefore) {
    rig r;
    r.run(2000, 1.0);
    auto lowest = [&](double from_ms, double to_ms) {
        return *std::min_element(r.queue_ms.begin() + std::ptrdiff_t(from_ms),
                                 r.queue_ms.begin() + std::ptrdiff_t(to_ms));
    };
    const double steady = lowest(1000, 2000);
    r.run(1000, 1.0, 2100, 2400);
    const double period = 1000.0 * block_size / rate;
    const double first_fill_in =
        period * std::ceil(2100 / period) + output_deadline_us(rate) / 1000.0;
    EXPECT_GE(lowest(first_fill_in + 1, 2400), steady - 0.5);
    EXPECT_GE(lowest(2400, 3000), steady - 0.5);
    EXPECT_NEAR(double(r.ctx.counters.output_repeats.load()), 300 / period, 2.0);
}

// A DSP thread a little late (within half the margin) costs nothing.
TEST(OutputPacing, ALittleLateIsStillOnTime) {
    rig r;
    r.run(3000, 0.45 * double(output_deadline_us(rate)) * 2 / 1000);
    EXPECT_EQ(r.device.underflows, 0);
    EXPECT_EQ(r.ctx.counters.output_repeats.load(), 0u);
    EXPECT_EQ(r.ctx.counters.output_dropped.load(), 0u);
}

// An output clock 300 ppm off the input's, room told a block at a time as the sound
// servers' plugins do, with a block of room either way of the queue (a server's own
// buffer): minutes of it without the device running dry, filling up or a block dropped,
// the delay where it was. Without the correction it is a block off within a minute.
TEST(OutputDrift, AnOutputClockFastOrSlowIsFollowed) {
    for (const double speed : {1.0003, 0.9997, 1.0}) {
        SCOPED_TRACE(speed);
        rig r;
        r.device.speed = speed;
        r.device.period = block_size;
        r.device.buffer = 4 * block_size;
        r.run(300000, 1.0);
        EXPECT_EQ(r.device.underflows, 0);
        EXPECT_EQ(r.ctx.counters.output_repeats.load(), 0u);
        EXPECT_EQ(r.ctx.counters.output_dropped.load(), 0u);
        const output_drift& d = r.pacer.drift;
        if (speed > 1) {
            EXPECT_GT(d.stretched, 1000u);
        } else if (speed < 1) {
            EXPECT_GT(d.shrunk, 1000u);
        } else {
            EXPECT_LT(d.stretched + d.shrunk, 100u);
        }
        ASSERT_GT(r.delay_ms.size(), 10000u);
        const double band_ms = 1000.0 * drift_band_frames / rate;
        for (size_t k = 500; k < r.delay_ms.size(); ++k)
            ASSERT_NEAR(r.delay_ms[k], r.delay_ms[500], band_ms + 2.0) << k;
    }
}

// A block a frame longer or shorter starts and ends on the block's own frames and keeps a
// tone a tone.
TEST(OutputDrift, StretchedBlocksKeepTheirSound) {
    std::vector<float> in(2 * block_size), out(2 * (block_size + 1));
    const double w = 2 * M_PI * 1000.0 / rate;
    for (int k = 0; k < block_size; ++k) {
        in[2 * k] = float(std::sin(w * k));
        in[2 * k + 1] = float(std::cos(w * k));
    }
    for (const int stretch : {-1, 0, 1}) {
        SCOPED_TRACE(stretch);
        const long frames = stretch_block(in.data(), out.data(), stretch);
        ASSERT_EQ(frames, block_size + stretch);
        EXPECT_EQ(out[0], in[0]);
        EXPECT_NEAR(out[2 * (frames - 1) + 1], in[2 * (block_size - 1) + 1], 1e-6);
        const double step = double(block_size - 1) / double(frames - 1);
        for (long j = 0; j < frames; ++j) {
            ASSERT_NEAR(out[2 * j], std::sin(w * step * j), 1e-3) << j;
            ASSERT_NEAR(out[2 * j + 1], std::cos(w * step * j), 1e-3) << j;
        }
    }
}

// A block longer than the device's room: what fits goes at once, the rest as the room
// comes, before the next block; nothing is passed over for it.
TEST(OutputDrift, WhatTheRoomCannotTakeFollowsAsItComes) {
    struct small_device {
        long room_left = block_size - 100;
        std::vector<float> firsts;  // first sample of each write
        long room() const { return room_left; }
        int write(const float* frames, long count) {
            room_left -= count;
            firsts.push_back(frames[0]);
            return 0;
        }
    };
    rig r;
    small_device device;
    for (uint64_t serial = 1; serial <= 2; ++serial) {
        ++r.ctx.counters.blocks;
        pacer_input(r.pacer, serial, 0);
        audio_out_block& b = tb_back(r.signal->output);
        for (int k = 0; k < block_size; ++k) b.audio[k] = float(10000 * serial + k);
        b.gain = 1.0f;
        b.input_serial = serial;
        tb_publish(r.signal->output);
    }
    ASSERT_EQ(pace_output(r.pacer, r.ctx, device, 3 * block_size, 0, r.last.data()), 0);
    ASSERT_EQ(device.firsts.size(), 1u);
    EXPECT_EQ(r.pacer.tail_frames, 100);
    ASSERT_EQ(pace_output(r.pacer, r.ctx, device, 3 * block_size, 1000, r.last.data()), 0);
    EXPECT_EQ(device.firsts.size(), 1u);  // no room yet: nothing
    device.room_left = 2 * block_size;
    ASSERT_EQ(pace_output(r.pacer, r.ctx, device, 3 * block_size, 2000, r.last.data()), 0);
    ASSERT_EQ(device.firsts.size(), 3u);
    EXPECT_EQ(device.firsts[1], float(10000 + block_size - 100)) << "the rest of block 1";
    EXPECT_EQ(device.firsts[2], 20000.0f) << "then block 2";
    EXPECT_EQ(device.room_left, block_size - 100);
    EXPECT_EQ(r.ctx.counters.output_dropped.load(), 0u);
}
