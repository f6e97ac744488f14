// The audio callback's arithmetic and hand-offs, driven directly with prepared buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/audio_block.h"
#include "audio/audio_callback.h"
#include "audio/audio_context.h"
#include "audio/iq_correction.h"

namespace {

// A receiver's worth of the records the callback works on.
struct rig {
    receive_mode_state mode;
    signal_handoff signal;
    wave_handoff wave;
    manual_event dsp_event;
    audio_context ctx;
    std::vector<float> in = std::vector<float>(2 * block_size);
    std::vector<float> out = std::vector<float>(2 * block_size, 123.0f);

    rig() {
        ctx.mode = &mode;
        ctx.signal = &signal;
        ctx.wave = &wave;
        ctx.dsp_event = &dsp_event;
        for (int k = 0; k < block_size; ++k) {
            in[2 * k] = std::sin(0.01f * float(k)) * 0.5f;        // left
            in[2 * k + 1] = std::cos(0.013f * float(k)) * 0.25f;  // right
        }
    }
    float left(int k) const { return in[2 * k]; }
    float right(int k) const { return in[2 * k + 1]; }
    int run(const void* input, PaStreamCallbackFlags flags = 0, unsigned long frames = block_size) {
        return audio_callback(input, out.data(), frames, nullptr, flags, &ctx);
    }
    int run() { return run(in.data()); }
    // The block the callback published last (the DSP thread's view).
    const iq_block& taken() {
        EXPECT_TRUE(tb_take(signal.input));
        return tb_front(signal.input);
    }
    void set_phase(double phi) {
        ctx.iq.iq_phase_sin = std::sin(phi);
        ctx.iq.iq_phase_sec = 1.0 / std::cos(phi);
    }
    // A finished block made from the input block with serial `from` (by default the last
    // one handed in: due at the next call).
    void publish_audio(float level, float gain, uint64_t from = 0) {
        audio_out_block& b = tb_back(signal.output);
        for (int k = 0; k < block_size; ++k) b.audio[k] = level * float(k % 7 - 3);
        b.gain = gain;
        b.input_serial = from ? from : ctx.counters.blocks.load();
        tb_publish(signal.output);
    }
};

std::unique_ptr<rig> make_rig() {
    return std::make_unique<rig>();
}

TEST(AudioCallback, AbsentInputGivesSilenceAndTouchesNothing) {
    auto r = make_rig();
    r->wave.recording = 1;
    r->publish_audio(0.5f, 2.0f);
    const uint32_t event_word = r->dsp_event.word.load();
    EXPECT_EQ(r->run(nullptr), paContinue);
    for (float v : r->out) ASSERT_EQ(v, 0.0f);
    EXPECT_FALSE(tb_take(r->signal.input));           // no input block published
    EXPECT_EQ(r->dsp_event.word.load(), event_word);  // DSP thread not woken
    EXPECT_EQ(ring_count(r->wave.to_recorder), 0u);
    EXPECT_EQ(r->ctx.counters.absent_inputs.load(), 1u);
    EXPECT_EQ(r->ctx.counters.blocks.load(), 0u);
}

TEST(AudioCallback, UnityGainsAndNoPhaseGiveTheCardInputExactly) {
    auto r = make_rig();
    r->run();
    const iq_block& b = r->taken();
    for (int k = 0; k < block_size; ++k) {
        ASSERT_EQ(b.im[k], double(r->left(k))) << k;
        ASSERT_EQ(b.re[k], double(r->right(k))) << k;
    }
}

TEST(AudioCallback, ReverseInputSwapsHalvesButCorrectsTheRightChannel) {
    auto r = make_rig();
    r->mode.reverse_input = 1;
    r->mode.rf_gain = 3;
    r->ctx.iq.iq_gain_slider_value = 5000;
    r->set_phase(0.2);
    r->run();
    const iq_block& b = r->taken();
    for (int k = 0; k < block_size; ++k) {
        const double a = 3 * 0.5 * double(r->left(k));
        const double bq = (3.0 * r->right(k) + std::sin(0.2) * a) / std::cos(0.2);
        ASSERT_NEAR(b.re[k], a, 1e-15) << k;
        ASSERT_NEAR(b.im[k], bq, 1e-15) << k;
    }
}

TEST(AudioCallback, GainFactorFollowsTheSliderOnEveryCall) {
    auto r = make_rig();
    r->ctx.iq.iq_gain_slider_value = -19000;
    r->run();
    EXPECT_DOUBLE_EQ(r->ctx.iq.iq_gain_factor.load(), -1.9);
    EXPECT_DOUBLE_EQ(r->taken().im[100], -1.9 * r->left(100));
    r->ctx.iq.iq_gain_slider_value = 0;
    r->run();
    EXPECT_EQ(r->taken().im[100], 0.0);  // left channel muted, right kept
    EXPECT_EQ(tb_front(r->signal.input).re[100], double(r->right(100)));
}

TEST(AudioCallback, RfGainZeroGivesAZeroBlock) {
    auto r = make_rig();
    r->mode.rf_gain = 0;
    r->set_phase(-0.5);
    r->run();
    const iq_block& b = r->taken();
    for (int k = 0; k < block_size; ++k) ASSERT_TRUE(b.re[k] == 0.0 && b.im[k] == 0.0);
}

TEST(AudioCallback, RecordingKeepsTheRawInputAndCorrectsTheLiveBlock) {
    auto r = make_rig();
    r->wave.recording = 1;
    r->mode.rf_gain = 2;
    r->ctx.iq.iq_gain_slider_value = 7500;
    r->set_phase(0.1);
    r->run();
    const recorded_block* raw = ring_read_slot(r->wave.to_recorder);
    ASSERT_NE(raw, nullptr);
    const iq_block& b = r->taken();
    for (int k = 0; k < block_size; ++k) {
        ASSERT_EQ(raw->frames.left[k], r->left(k));
        ASSERT_EQ(raw->frames.right[k], r->right(k));
        // The I/Q gain applies while recording too.
        const double a = 2 * 0.75 * double(r->left(k));
        ASSERT_NEAR(b.im[k], a, 1e-15);
        ASSERT_NEAR(b.re[k], (2.0 * r->right(k) + std::sin(0.1) * a) / std::cos(0.1), 1e-15);
    }
}

TEST(AudioCallback, FullRecorderRingDropsBlocksAndCountsThem) {
    auto r = make_rig();
    r->wave.recording = 1;
    for (size_t i = 0; i < recorder_ring_blocks + 3; ++i) r->run();
    EXPECT_EQ(ring_count(r->wave.to_recorder), recorder_ring_blocks);
    EXPECT_EQ(r->wave.recorder_overruns.load(), 3u);
    EXPECT_EQ(r->ctx.counters.blocks.load(), recorder_ring_blocks + 3);  // the live path goes on
}

TEST(AudioCallback, PlayingTakesPlayerBlocksAndRepeatsTheLastWhenEmpty) {
    auto r = make_rig();
    r->wave.playing = 1;
    r->wave.recording = 1;  // playing takes precedence: nothing goes to the recorder
    played_block* p = ring_write_slot(r->wave.from_player);
    for (int k = 0; k < block_size; ++k) {
        p->frames.left[k] = 0.001f * float(k);
        p->frames.right[k] = -0.002f * float(k);
    }
    ring_commit(r->wave.from_player);
    r->run();
    const iq_block& b = r->taken();
    EXPECT_EQ(b.im[10], double(0.001f * 10.0f));
    EXPECT_EQ(b.re[10], double(-0.002f * 10.0f));
    EXPECT_EQ(ring_count(r->wave.from_player), 0u);
    EXPECT_EQ(ring_count(r->wave.to_recorder), 0u);

    r->run();  // the player fell behind
    EXPECT_EQ(r->taken().im[10], double(0.001f * 10.0f));
    EXPECT_EQ(r->ctx.counters.player_empty.load(), 1u);
}

TEST(AudioCallback, OutputIsSilentUntilAudioArrivesThenTheNewestBlockTimesGain) {
    auto r = make_rig();
    r->run();
    for (float v : r->out) ASSERT_EQ(v, 0.0f);

    r->publish_audio(0.25f, 4.0f);
    r->run();
    EXPECT_EQ(r->out[2 * 6], 0.25f * 3.0f * 4.0f);
    // Three blocks finished since the last call (a late cycle caught up): the newest is
    // heard, the older ones go, so the delay does not grow.
    r->publish_audio(0.1f, 1.0f);
    r->publish_audio(0.2f, 1.0f);
    r->publish_audio(0.5f, 3.0f);
    r->run();
    for (int k = 0; k < block_size; ++k) {
        const float want = 0.5f * float(k % 7 - 3) * 3.0f;
        ASSERT_EQ(r->out[2 * k], want) << k;
        ASSERT_EQ(r->out[2 * k + 1], want) << k;
    }
    EXPECT_EQ(r->ctx.counters.output_dropped.load(), 2u);
    EXPECT_EQ(r->ctx.counters.output_repeats.load(), 0u);
    r->run();  // nothing new: the same block again
    EXPECT_EQ(r->out[2 * 6], 0.5f * 3.0f * 3.0f);
    EXPECT_EQ(r->ctx.counters.output_repeats.load(), 1u);
}

// The DSP thread may finish a call's own input block before the call plays (it preempted
// the callback): that block waits for the next call, so every block is heard one call
// after it came in and nothing repeats or drops.
TEST(AudioCallback, ABlockFinishedWithinItsOwnCallWaitsForTheNext) {
    auto r = make_rig();
    r->run();                       // input 1
    r->publish_audio(0.25f, 1.0f);  // from input 1: due at the next call
    const uint64_t next_input = r->ctx.counters.blocks.load() + 1;
    r->publish_audio(0.5f, 1.0f, next_input);  // from input 2, finished early
    r->run();                                  // input 2: plays the block of input 1
    EXPECT_EQ(r->out[2 * 6], 0.25f * 3.0f);
    r->run();  // input 3: plays the block of input 2, which waited
    EXPECT_EQ(r->out[2 * 6], 0.5f * 3.0f);
    EXPECT_EQ(r->ctx.counters.output_repeats.load(), 0u);
    EXPECT_EQ(r->ctx.counters.output_dropped.load(), 0u);
    EXPECT_EQ(tb_waiting(r->ctx.signal->output), 0u);
}

// The own-thread drive writes finished blocks in order while the device has room and
// passes over the oldest when it has none.
TEST(AudioBlock, FinishedBlocksComeInOrderAndTheOldestCanBeDropped) {
    auto r = make_rig();
    EXPECT_FALSE(take_finished_block(r->ctx, r->out.data()));
    EXPECT_FALSE(r->ctx.output_seen);
    r->publish_audio(0.1f, 1.0f);
    r->publish_audio(0.2f, 1.0f);
    r->publish_audio(0.3f, 2.0f);
    EXPECT_EQ(tb_waiting(r->ctx.signal->output), 3u);
    drop_finished_block(r->ctx);
    EXPECT_EQ(r->ctx.counters.output_dropped.load(), 1u);
    ASSERT_TRUE(take_finished_block(r->ctx, r->out.data()));
    EXPECT_TRUE(r->ctx.output_seen);
    EXPECT_EQ(r->out[2 * 6], 0.2f * 3.0f);
    EXPECT_EQ(r->out[2 * 6 + 1], 0.2f * 3.0f);
    ASSERT_TRUE(take_finished_block(r->ctx, r->out.data()));
    EXPECT_EQ(r->out[2 * 6], 0.3f * 3.0f * 2.0f);
    EXPECT_EQ(tb_waiting(r->ctx.signal->output), 0u);
    EXPECT_FALSE(take_finished_block(r->ctx, r->out.data()));
}

TEST(AudioCallback, CountsCallsFramesAndStatusFlags) {
    auto r = make_rig();
    r->run(r->in.data(), paInputOverflow | paOutputUnderflow);
    r->run(r->in.data(), paOutputUnderflow);
    r->run(r->in.data(), paPrimingOutput);
    const audio_counters& c = r->ctx.counters;
    EXPECT_EQ(c.callbacks.load(), 3u);
    EXPECT_EQ(c.frames.load(), 3u * block_size);
    EXPECT_EQ(c.input_overflows.load(), 1u);
    EXPECT_EQ(c.output_underflows.load(), 2u);
    EXPECT_EQ(c.blocks.load(), 3u);
}

// Digital silence is counted on the card's input as it came, before any gain.
TEST(AudioCallback, CountsRunsOfDigitalSilenceOnTheCardInput) {
    auto r = make_rig();
    const audio_counters& c = r->ctx.counters;
    r->mode.rf_gain = 0;  // the corrected block is zeros either way
    r->run();
    EXPECT_EQ(c.silent_run.load(), 0u);
    EXPECT_EQ(c.sounding_blocks.load(), 1u);
    std::vector<float> zeros(2 * block_size, 0.0f);
    r->run(zeros.data());
    r->run(zeros.data());
    EXPECT_EQ(c.silent_run.load(), 2u);
    zeros[2 * block_size - 1] = 1e-30f;  // one sample of the last frame
    r->run(zeros.data());
    EXPECT_EQ(c.silent_run.load(), 0u);
    EXPECT_EQ(c.sounding_blocks.load(), 2u);
}

TEST(AudioCallback, AFrameCountOtherThanABlockIsSilencedAndNotProcessed) {
    auto r = make_rig();
    const uint32_t event_word = r->dsp_event.word.load();
    r->run(r->in.data(), 0, 512);
    for (int i = 0; i < 2 * 512; ++i) ASSERT_EQ(r->out[i], 0.0f);
    EXPECT_EQ(r->out[2 * 512], 123.0f);  // nothing written past the buffer
    EXPECT_FALSE(tb_take(r->signal.input));
    EXPECT_EQ(r->dsp_event.word.load(), event_word);
    EXPECT_EQ(r->ctx.counters.odd_sizes.load(), 1u);
}

TEST(AudioCallback, PulsesTheDspEventOncePerBlock) {
    auto r = make_rig();
    const uint32_t before = r->dsp_event.word.load();
    r->run();
    r->run();
    EXPECT_EQ(r->dsp_event.word.load(), before + 4);  // two pulse generations, left clear
    EXPECT_FALSE(event_is_set(r->dsp_event));
}

TEST(IqCorrection, InterleavedAndPlanarAgree) {
    std::vector<float> inter(2 * block_size), left(block_size), right(block_size);
    for (int k = 0; k < block_size; ++k) {
        left[k] = inter[2 * k] = std::sin(0.3f * float(k));
        right[k] = inter[2 * k + 1] = std::cos(0.7f * float(k));
    }
    auto a = std::make_unique<iq_block>();
    auto b = std::make_unique<iq_block>();
    for (bool reverse : {false, true}) {
        correct_iq(inter.data(), iq_left_gain(4, 1.2), 4, 0.3, 1.1, reverse, *a);
        correct_iq_planar(left.data(), right.data(), iq_left_gain(4, 1.2), 4, 0.3, 1.1, reverse,
                          *b);
        for (int k = 0; k < block_size; ++k) {
            ASSERT_EQ(a->re[k], b->re[k]);
            ASSERT_EQ(a->im[k], b->im[k]);
        }
    }
}

// A phase error phi between the channels, corrected with the same phi, leaves a clean
// complex exponential: one sideband only.
TEST(IqCorrection, PhaseCorrectionUndoesAChannelPhaseError) {
    const double phi = 0.15, w = 0.05;
    std::vector<float> inter(2 * block_size);
    for (int k = 0; k < block_size; ++k) {
        inter[2 * k] = float(std::sin(w * k));            // left: the imaginary part
        inter[2 * k + 1] = float(std::cos(w * k + phi));  // right, off by phi
    }
    auto b = std::make_unique<iq_block>();
    correct_iq(inter.data(), 1.0, 1, std::sin(phi), 1.0 / std::cos(phi), false, *b);
    double worst = 0;
    for (int k = 0; k < block_size; ++k)
        worst = std::max(worst, std::abs(b->re[k] - std::cos(w * k)));
    EXPECT_LT(worst, 1e-6);
}

}  // namespace

namespace {

TEST(AudioCallback, CountsBlocksTheDspMissedAndAudioReplayed) {
    auto r = make_rig();
    for (size_t i = 0; i < input_handoff_blocks; ++i) r->run();  // queued, none taken
    EXPECT_EQ(r->ctx.counters.dsp_missed.load(), 0u);
    r->run();  // the queue is full: this block is dropped
    EXPECT_EQ(r->ctx.counters.dsp_missed.load(), 1u);
    EXPECT_TRUE(tb_take(r->signal.input));
    EXPECT_TRUE(tb_take(r->signal.input));  // the first block is finished with: room for one
    r->run();
    EXPECT_EQ(r->ctx.counters.dsp_missed.load(), 1u);

    EXPECT_EQ(r->ctx.counters.output_repeats.load(), 0u);  // silence before any audio
    r->publish_audio(0.1f, 1.0f);
    r->run();
    r->run();  // no new audio block: the last one again
    EXPECT_EQ(r->ctx.counters.output_repeats.load(), 1u);
}

}  // namespace
