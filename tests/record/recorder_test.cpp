// The recorder thread writing handed-over blocks into a real file, as the audio callback
// and the DSP thread drive it: a block into the ring, then the record event.
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

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> read_bytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

float float_at(const std::vector<uint8_t>& b, size_t at) {
    const uint32_t u = u32_at(b, at);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
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

    // One block as the callback hands it over: left = I, right = Q, numbered by `n`.
    bool hand_over(int n) {
        wave_block* b = ring_write_slot(handoff->to_recorder);
        if (!b) return false;
        for (int k = 0; k < block_size; ++k) {
            b->left[k] = float(n) + k * 1e-4f;
            b->right[k] = -float(n);
        }
        ring_commit(handoff->to_recorder);
        event_set(event);
        return true;
    }
    // Hands over blocks first..first+count-1, never more than the ring holds at once.
    void record_blocks(int first, int count) {
        for (int n = first; n < first + count; ++n) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!hand_over(n) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ring_count(handoff->to_recorder) > 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    fs::path dir;
    std::unique_ptr<wave_handoff> handoff = std::make_unique<wave_handoff>();
    manual_event event;
    worker_thread thread;
    recorder rec;
};

TEST_F(Recorder, TenBlocksAt96kHzGiveAFinishedFile) {
    ASSERT_TRUE(start_recording(rec, file("temp.wav").c_str(), true));
    EXPECT_EQ(handoff->recording, 1);
    record_blocks(0, 10);
    ASSERT_TRUE(stop_recording(rec));
    EXPECT_EQ(rec.record_block_count, 10);
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
    EXPECT_FLOAT_EQ(float_at(b, 44 + 16384 * 9 + 4), -9.0f);
}

TEST_F(Recorder, ASecondRecordingHoldsNoBlocksFromBetweenRecordings) {
    ASSERT_TRUE(start_recording(rec, file("a.wav").c_str(), false));
    record_blocks(0, 3);
    ASSERT_TRUE(stop_recording(rec));
    // `recording` stays set: the callback goes on handing over blocks nobody writes.
    for (int n = 100; n < 105; ++n) hand_over(n);
    ASSERT_TRUE(start_recording(rec, file("b.wav").c_str(), false));
    record_blocks(7, 2);
    ASSERT_TRUE(stop_recording(rec));
    const auto b = read_bytes(file("b.wav"));
    ASSERT_EQ(b.size(), 44u + 2 * 16384);
    EXPECT_EQ(u32_at(b, 24), 48000u);
    EXPECT_EQ(u32_at(b, 28), 384000u);
    EXPECT_FLOAT_EQ(float_at(b, 44), 7.0f);
    EXPECT_EQ(read_bytes(file("a.wav")).size(), 44u + 3 * 16384);
}

TEST_F(Recorder, AFileThatCannotBeCreatedStartsNothing) {
    EXPECT_FALSE(start_recording(rec, file("no/such/dir/temp.wav").c_str(), true));
    EXPECT_EQ(handoff->recording, 0);
    EXPECT_FALSE(thread_is_running(thread));
    EXPECT_TRUE(stop_recording(rec));  // no file to finish, no thread to halt
}

TEST_F(Recorder, StopHaltsAtABlockBoundaryWhileBlocksKeepArriving) {
    ASSERT_TRUE(start_recording(rec, file("temp.wav").c_str(), true));
    std::atomic<bool> done{false};
    std::thread producer([&] {  // the callback does not stop for the Rec button
        for (int n = 0; !done; n = (n + 1) % 1000) {
            hand_over(n);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool stopped = stop_recording(rec);
    done = true;
    producer.join();
    ASSERT_TRUE(stopped);
    const auto b = read_bytes(file("temp.wav"));
    ASSERT_GE(b.size(), 44u + 16384);
    EXPECT_EQ((b.size() - 44) % 16384, 0u);  // whole blocks only
    EXPECT_EQ(u32_at(b, 40), b.size() - 44);
    EXPECT_EQ(uint32_t(rec.record_block_count), (b.size() - 44) / 16384);
}

}  // namespace
