// Stream control against a real PulseAudio server, reached through ALSA's pulse plugin.
#include "audio/stream.h"

#include <gtest/gtest.h>
#include <portaudio.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/headless_receive.h"
#include "audio/silence_watch.h"
#include "platform/message_box.h"
#include "pulse_server.h"

namespace {

std::vector<std::string> boxes;  // captions of the message boxes shown
void record_box(const char*, const char* caption) {
    boxes.push_back(caption);
}

struct receiver_parts {
    receive_mode_state mode;
    signal_handoff signal;
    wave_handoff wave;
    manual_event dsp_event;
    audio_context ctx;
    receiver_parts() {
        ctx.mode = &mode;
        ctx.signal = &signal;
        ctx.wave = &wave;
        ctx.dsp_event = &dsp_event;
    }
};

uint64_t callbacks_after(const audio_context& ctx, int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return ctx.counters.callbacks.load();
}

// A new stream's first buffers take a moment (a server's period or more).
bool callbacks_arrive(const audio_context& ctx, uint64_t more_than, int timeout_ms = 5000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (ctx.counters.callbacks.load() <= more_than) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Opens and waits for the first buffers.
bool open_and_run(audio_stream& audio, audio_context& ctx, int32_t card, int32_t rate) {
    const uint64_t before = ctx.counters.callbacks.load();
    if (open_stream(audio, ctx, card, rate) != 0) return false;
    return callbacks_arrive(ctx, before);
}

template <class F>
bool comes_true(F condition, int timeout_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class StreamControl : public ::testing::Test {
  protected:
    static inline pulse_server server;
    static inline audio_stream audio;
    static inline std::vector<sound_card> cards;
    static inline std::string names[5];
    static inline message_box_handler previous = nullptr;
    std::unique_ptr<receiver_parts> parts = std::make_unique<receiver_parts>();

    static void SetUpTestSuite() {
        previous = set_message_box_handler(record_box);
        ASSERT_TRUE(pulse_start(server, 96000));
        init_audio_library(audio);
        cards = fill_card_list(audio, names);
    }
    static void TearDownTestSuite() {
        stop_stream(audio);
        terminate_audio_library(audio);
        pulse_stop(server);
        set_message_box_handler(previous);
    }
    void SetUp() override {
        ASSERT_TRUE(server.up);
        boxes.clear();
    }
    int32_t pulse_card() const { return find_card(cards, "pulse"); }
};

TEST_F(StreamControl, CardListHoldsTheServersDevicesInLibraryOrder) {
    EXPECT_TRUE(audio.library_up);
    ASSERT_GE(pulse_card(), 0);
    EXPECT_GE(find_card(cards, "default"), 0);
    EXPECT_EQ(find_card(cards, "no such card"), -1);
    ASSERT_EQ(int32_t(cards.size()), audio.device_count);
    for (size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i].index, int32_t(i));
        if (i < 5) {
            EXPECT_EQ(names[i], cards[i].name);
        }
    }
    for (size_t i = cards.size(); i < 5; ++i) EXPECT_EQ(names[i], "");
    EXPECT_EQ(card_name(audio, pulse_card()).value_or(""), "pulse");
    EXPECT_FALSE(card_name(audio, 9999).has_value());
    EXPECT_FALSE(card_name(audio, -1).has_value());
}

TEST_F(StreamControl, OpenRunsReopenReplacesStopEndsCallbacks) {
    ASSERT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    EXPECT_TRUE(stream_active(audio));

    // Another card replaces the running stream.
    ASSERT_TRUE(open_and_run(audio, parts->ctx, find_card(cards, "default"), 96000));
    EXPECT_TRUE(stream_active(audio));

    stop_stream(audio);
    EXPECT_EQ(audio.stream, nullptr);
    EXPECT_FALSE(stream_active(audio));
    const uint64_t stopped = parts->ctx.counters.callbacks.load();
    EXPECT_EQ(callbacks_after(parts->ctx, 150), stopped);  // no callback after the stop
    stop_stream(audio);                                    // nothing to stop: harmless
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(parts->ctx.counters.frames.load(), stopped * block_size);
}

TEST_F(StreamControl, AFailedOpenLeavesTheLibraryUsable) {
    EXPECT_EQ(open_stream(audio, parts->ctx, 9999, 96000), 1);
    EXPECT_EQ(open_stream(audio, parts->ctx, -1, 96000), 1);
    EXPECT_EQ(open_stream(audio, parts->ctx, pulse_card(), 10000000), 1);  // impossible rate
    EXPECT_EQ(audio.stream, nullptr);
    EXPECT_TRUE(boxes.empty());  // a failed open shows no message of its own

    EXPECT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    stop_stream(audio);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StreamControl, AFailedOpenReplacesARunningStream) {
    ASSERT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    EXPECT_EQ(open_stream(audio, parts->ctx, pulse_card(), 10000000), 1);
    EXPECT_EQ(audio.stream, nullptr);  // the old stream is closed, not leaked
    const uint64_t after = parts->ctx.counters.callbacks.load();
    EXPECT_EQ(callbacks_after(parts->ctx, 150), after);
    ASSERT_EQ(open_stream(audio, parts->ctx, pulse_card(), 96000), 0);
    stop_stream(audio);
}

TEST_F(StreamControl, SoundServersArePluginsAndCardsOwnDevicesRunTheCallback) {
    EXPECT_EQ(choose_stream_drive(paALSA, "pulse"), stream_drive::own_thread);
    EXPECT_EQ(choose_stream_drive(paALSA, "default"), stream_drive::own_thread);
    EXPECT_EQ(choose_stream_drive(paALSA, "HDA Intel PCH: ALC3246 Analog (hw:0,0)"),
              stream_drive::callback);
    EXPECT_EQ(choose_stream_drive(paJACK, "system"), stream_drive::callback);
    ASSERT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    EXPECT_EQ(audio.drive, stream_drive::own_thread);
    stop_stream(audio);
}

// The server dies under a running stream and comes back at the same address: the stream
// thread notices, keeps trying to reopen, and the stream runs again without any call.
TEST_F(StreamControl, AStreamWhoseServerDiesIsReopenedUntilItRunsAgain) {
    ASSERT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    const uint32_t revivals = audio.revivals;
    pulse_kill(server);
    ASSERT_TRUE(comes_true([&] { return audio.state.load() == stream_state::reopening; }, 10000));
    EXPECT_FALSE(stream_active(audio));
    const uint32_t failed = audio.failed_reopens;
    // Tried again and again while the server is away.
    ASSERT_TRUE(comes_true([&] { return audio.failed_reopens >= failed + 3; }, 10000));
    EXPECT_GT(stream_trouble_ms(audio), 0);

    ASSERT_TRUE(pulse_restart(server));
    const auto back = std::chrono::steady_clock::now();
    ASSERT_TRUE(comes_true([&] { return stream_active(audio); }, 10000));
    const uint64_t before = parts->ctx.counters.callbacks.load();
    ASSERT_TRUE(callbacks_arrive(parts->ctx, before, 10000));
    std::printf("blocks again %.2f s after the server came back\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - back).count());
    EXPECT_EQ(audio.revivals, revivals + 1);
    EXPECT_EQ(stream_trouble_ms(audio), 0);
    stop_stream(audio);
    EXPECT_FALSE(stream_active(audio));
    EXPECT_TRUE(boxes.empty());
}

// The input sink's monitor gives exact zeros while nothing plays into it. Silence from the
// start leaves the stream alone; silence after a signal gets it reopened (as after a
// PipeWire suspend, which can leave a capture delivering zeros for good), but not while a
// recording plays.
TEST_F(StreamControl, AnInputThatFallsDigitallySilentAfterASignalIsReopened) {
    ASSERT_TRUE(open_and_run(audio, parts->ctx, pulse_card(), 96000));
    const audio_counters& c = parts->ctx.counters;
    const uint32_t revivals = audio.revivals;
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * silence_limit_ms));
    EXPECT_EQ(c.sounding_blocks.load(), 0u);
    EXPECT_EQ(audio.revivals, revivals);

    // One second of a full-scale tone, raw float32 stereo.
    const std::string tone = server.dir + "/tone.raw";
    {
        std::vector<float> frames(2 * 96000);
        for (size_t k = 0; k < frames.size(); ++k) frames[k] = float(std::sin(0.05 * double(k)));
        std::FILE* f = std::fopen(tone.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(frames.data(), sizeof(float), frames.size(), f);
        std::fclose(f);
    }
    const pid_t player = spawn({"pacat", "-d", "tolvan_iq", "--raw", "--format=float32le",
                                "--channels=2", "--rate=96000", tone});
    ASSERT_GT(player, 0);
    EXPECT_TRUE(comes_true([&] { return c.sounding_blocks.load() > 0; }, 5000));
    // While a recording plays, the card's silence is not what is heard: no reopen.
    parts->wave.playing = 1;
    EXPECT_TRUE(wait_child(player, 10000));
    EXPECT_EQ(audio.revivals, revivals);  // not while it sounds
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * silence_limit_ms));
    EXPECT_EQ(audio.revivals, revivals);
    parts->wave.playing = 0;
    ASSERT_TRUE(comes_true([&] { return audio.revivals > revivals; }, 4 * silence_limit_ms));
    EXPECT_TRUE(comes_true([&] { return stream_active(audio); }, 2000));
    stop_stream(audio);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StreamControl, HeadlessReceiveRunsUntilAskedToStop) {
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        callbacks_arrive(parts->ctx, 0);
        stop = true;
    });
    std::FILE* status = std::tmpfile();
    EXPECT_EQ(headless_receive(audio, parts->ctx, pulse_card(), 96000, status, &stop), 0);
    stopper.join();
    std::fclose(status);
    EXPECT_GT(parts->ctx.counters.callbacks.load(), 0u);
    EXPECT_EQ(audio.stream, nullptr);
    EXPECT_EQ(audio.stream_open.load(), 0);
    EXPECT_EQ(headless_receive(audio, parts->ctx, 9999, 96000, nullptr, &stop), 1);  // no card
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
