// The recorder thread writing handed-over blocks into real files and into a FIFO read by a
// slow or stalled reader, as the audio callback and the DSP thread drive it: a block
// through hand_to_recorder, then the record event.
#include "record/recorder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "tests/record/fifo_sink.h"
#include "tests/record/wave_bytes.h"

namespace fs = std::filesystem;
using std::chrono::steady_clock;

namespace {

// Waits up to 10 s for `done`; false if it never came.
template <class F>
bool eventually(F done) {
    const auto until = steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class Recorder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tolvan_rec_XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        rec.handoff = handoff.get();
        rec.record_event = &event;
        rec.thread = &thread;
        thread_create(thread, recorder_thread, &rec);
    }
    void TearDown() override {
        thread_stop(
            thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
        fs::remove_all(dir);
    }
    std::string file(const char* name) const { return (dir / name).string(); }

    // One raw card block as the callback hands it over: left = I, right = Q, numbered by n.
    void hand_over(int n) {
        for (int k = 0; k < block_size; ++k) {
            card[2 * k] = float(n) + k * 1e-4f;
            card[2 * k + 1] = -float(n);
        }
        hand_to_recorder(*handoff, card.data());
        event_set(event);  // as the DSP thread after its cycle
    }
    void hand_over(int first, int count) {
        for (int n = first; n < first + count; ++n) hand_over(n);
    }
    // Every block handed over is written (and its second's sizes are in the header).
    void wait_written() {
        ASSERT_TRUE(eventually([&] { return ring_count(handoff->to_recorder) == 0; }));
    }
    recording_outcome finish() {
        EXPECT_TRUE(wait_recording_finished(rec, 10000)) << "the recording was never finished";
        std::optional<recording_outcome> o = take_recording_outcome(rec);
        EXPECT_TRUE(o.has_value());
        EXPECT_FALSE(take_recording_outcome(rec).has_value()) << "an outcome is taken once";
        return o.value_or(recording_outcome{});
    }

    fs::path dir;
    std::unique_ptr<wave_handoff> handoff = std::make_unique<wave_handoff>();
    std::vector<float> card = std::vector<float>(2 * block_size);
    manual_event event;
    worker_thread thread;
    recorder rec;
};

TEST_F(Recorder, TenBlocksAt96kHzGiveAFinishedFile) {
    ASSERT_TRUE(start_recording(rec, file("temp.wav").c_str(), true));
    EXPECT_EQ(handoff->recording, 1);
    hand_over(0, 10);
    wait_written();
    EXPECT_EQ(stop_recording(rec), 0u);
    EXPECT_EQ(handoff->recording, 0);
    const recording_outcome o = finish();
    EXPECT_EQ(o.blocks_written, 10);
    EXPECT_EQ(o.blocks_lost, 0u);
    EXPECT_FALSE(o.write_failed || o.limit_reached || o.finish_failed);
    const auto b = read_bytes(file("temp.wav"));
    ASSERT_EQ(b.size(), 163884u);
    EXPECT_EQ(u32_at(b, 4), 163876u);
    EXPECT_EQ(u32_at(b, 40), 163840u);
    EXPECT_EQ(u32_at(b, 24), 96000u);
    EXPECT_EQ(u32_at(b, 28), 768000u);
    // Frames in order, left then right, blocks in the order handed over.
    EXPECT_FLOAT_EQ(float_at(b, 44), 0.0f);
    EXPECT_FLOAT_EQ(float_at(b, 48), -0.0f);
    EXPECT_FLOAT_EQ(float_at(b, 44 + 8 * 5), 5e-4f);
    EXPECT_EQ(block_number(b, 9), 9);
}

// A file cut off at any moment holds sizes for its last whole second of data.
TEST_F(Recorder, SizesFollowEachSecondOfDataWhileRecording) {
    const std::string name = file("temp.wav");
    ASSERT_TRUE(start_recording(rec, name.c_str(), true));
    const uint32_t second = 96000 / 2048 * 16384;  // 46 blocks: 0.98 s at 96 kHz
    hand_over(0, 45);
    wait_written();
    auto b = read_bytes(name);
    EXPECT_EQ(b.size(), 44u + 45 * 16384);
    EXPECT_EQ(u32_at(b, 40), 0u) << "sizes before the first second";
    hand_over(45, 1);
    wait_written();
    b = read_bytes(name);
    EXPECT_EQ(u32_at(b, 40), second);
    EXPECT_EQ(u32_at(b, 4), second + 36);
    hand_over(46, 45);
    wait_written();
    EXPECT_EQ(u32_at(read_bytes(name), 40), second);
    hand_over(91, 1);
    wait_written();
    EXPECT_EQ(u32_at(read_bytes(name), 40), 2 * second);
    stop_recording(rec);
    EXPECT_EQ(finish().blocks_written, 92);
    EXPECT_EQ(u32_at(read_bytes(name), 40), 92u * 16384);
}

TEST_F(Recorder, BlocksAfterTheStopBelongToNoRecording) {
    ASSERT_TRUE(start_recording(rec, file("a.wav").c_str(), false));
    hand_over(0, 3);
    wait_written();
    stop_recording(rec);
    finish();
    // The callback hands over nothing once stopped, and counts nothing.
    hand_over(100, 5);
    EXPECT_EQ(ring_count(handoff->to_recorder), 0u);
    EXPECT_EQ(handoff->recorder_overruns, 0u);
    // A block of the first recording still on its way (the callback read `recording` just
    // before the stop) is not written into the next one.
    recorded_block* late = ring_write_slot(handoff->to_recorder);
    late->frames.right[0] = -99.0f;
    late->take = handoff->record_take;
    ring_commit(handoff->to_recorder);
    ASSERT_TRUE(start_recording(rec, file("b.wav").c_str(), false));
    hand_over(7, 2);
    wait_written();
    stop_recording(rec);
    EXPECT_EQ(finish().blocks_written, 2);
    const auto b = read_bytes(file("b.wav"));
    ASSERT_EQ(b.size(), 44u + 2 * 16384);
    EXPECT_EQ(u32_at(b, 24), 48000u);
    EXPECT_EQ(u32_at(b, 28), 384000u);
    EXPECT_EQ(block_number(b, 0), 7);
    EXPECT_EQ(block_number(b, 1), 8);
    EXPECT_EQ(read_bytes(file("a.wav")).size(), 44u + 3 * 16384);
}

TEST_F(Recorder, AFileThatCannotBeCreatedStartsNothing) {
    EXPECT_FALSE(start_recording(rec, file("no/such/dir/temp.wav").c_str(), true));
    EXPECT_EQ(handoff->recording, 0);
    EXPECT_FALSE(thread_is_running(thread));
    EXPECT_EQ(stop_recording(rec), 0u);
    EXPECT_TRUE(recording_finished(rec));
    EXPECT_FALSE(take_recording_outcome(rec).has_value());
}

TEST_F(Recorder, StopsCleanlyAtTheSizeLimit) {
    rec.max_data_bytes = 10 * 16384;  // stands in for the 4 GB of 32-bit sizes
    const std::string name = file("temp.wav");
    ASSERT_TRUE(start_recording(rec, name.c_str(), true));
    hand_over(0, 15);
    ASSERT_TRUE(wait_recording_finished(rec, 10000)) << "the recorder went on past the limit";
    EXPECT_EQ(handoff->recording, 0) << "the callback still hands over blocks";
    EXPECT_EQ(stop_recording(rec), 0u);  // the button comes later: nothing left to stop
    const recording_outcome o = finish();
    EXPECT_TRUE(o.limit_reached);
    EXPECT_FALSE(o.write_failed || o.finish_failed);
    EXPECT_EQ(o.blocks_written, 10);
    const auto b = read_bytes(name);
    ASSERT_EQ(b.size(), 44u + 10 * 16384);
    EXPECT_EQ(u32_at(b, 40), 10u * 16384);
    EXPECT_EQ(u32_at(b, 4), 10u * 16384 + 36);
    EXPECT_EQ(block_number(b, 9), 9);
}

// The disk stalls twice (0.6 s, then over the stop) but keeps up on average: no block is
// lost, and the stop returns while the disk still stalls.
TEST_F(Recorder, ASlowSinkNeverHoldsTheStopAndLosesNothing) {
    fifo_sink sink(file("temp.wav"));
    sink.pause_us = 10000;  // 16 KiB per 10 ms at most: about twice the 96 kHz data rate
    ASSERT_TRUE(start_recording(rec, sink.path.c_str(), true));
    sink.start_reading();
    const auto period = std::chrono::microseconds(1000000 * 2048 / 96000);
    auto next = steady_clock::now();
    for (int n = 0; n < 140; ++n) {  // 3 s at 96 kHz, at the card's pace
        if (n == 30) sink.stalled = true;
        if (n == 60) sink.stalled = false;
        if (n == 100) sink.stalled = true;
        hand_over(n);
        next += period;
        std::this_thread::sleep_until(next);
    }
    manual_event stopped;
    uint32_t lost = 99;
    std::thread stopper([&] {
        lost = stop_recording(rec);
        event_set(stopped);
    });
    const bool returned = event_wait_for(stopped, 10000);
    const bool finished_during_stall = recording_finished(rec);
    sink.stalled = false;
    stopper.join();
    ASSERT_TRUE(returned) << "the stop waited for the stalled disk";
    EXPECT_FALSE(finished_during_stall) << "the stall had ended before the stop";
    EXPECT_EQ(lost, 0u);
    const recording_outcome o = finish();
    sink.wait_until_closed();
    EXPECT_EQ(o.blocks_lost, 0u);
    EXPECT_FALSE(o.write_failed || o.finish_failed);
    EXPECT_EQ(o.blocks_written, 140);
    ASSERT_EQ(sink.got.size(), 44u + 140 * 16384);
    EXPECT_EQ(u32_at(sink.got, 40), 0u) << "a pipe keeps the sizes it was created with";
    for (int n = 0; n < 140; ++n) ASSERT_EQ(block_number(sink.got, n), n);
}

TEST_F(Recorder, OverrunsAreCountedPerRecordingFromZero) {
    fifo_sink sink(file("temp.wav"));
    sink.stalled = true;
    ASSERT_TRUE(start_recording(rec, sink.path.c_str(), true));
    sink.start_reading();
    hand_over(0, 200);  // far more than the ring and the pipe hold
    const uint32_t lost = stop_recording(rec);
    EXPECT_GT(lost, 0u);
    EXPECT_EQ(lost, handoff->recorder_overruns);
    hand_over(300, 5);  // stopped: not counted even though the ring is still full
    EXPECT_EQ(handoff->recorder_overruns, lost);
    sink.stalled = false;
    const recording_outcome o = finish();
    sink.wait_until_closed();
    EXPECT_EQ(o.blocks_lost, lost);
    // Every block that was not lost arrived, in order: the newest ones were dropped.
    ASSERT_EQ((sink.got.size() - 44) % 16384, 0u);
    const size_t arrived = (sink.got.size() - 44) / 16384;
    EXPECT_EQ(arrived + lost, 200u);
    EXPECT_EQ(o.blocks_written, int32_t(arrived));
    for (size_t n = 0; n < arrived; ++n) ASSERT_EQ(block_number(sink.got, n), int(n));

    ASSERT_TRUE(start_recording(rec, file("next.wav").c_str(), true));
    EXPECT_EQ(handoff->recorder_overruns, 0u);
    hand_over(0, 3);
    wait_written();
    EXPECT_EQ(stop_recording(rec), 0u);
    EXPECT_EQ(finish().blocks_lost, 0u);
}

}  // namespace
