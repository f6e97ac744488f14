// The wave player looping over a real file, with the test taking blocks from the ring as
// the audio callback does and setting the play event as the DSP thread does.
#include "record/player.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Player : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tolvan_play_XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        play.handoff = handoff.get();
        play.play_event = &event;
        play.thread = &thread;
        thread_create(thread, player_thread, &play);
    }
    void TearDown() override {
        stop_playback(play);
        thread_stop(
            thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
        fs::remove_all(dir);
    }
    // A recording of `blocks` blocks, block n holding n + k / 4096 on the left and -n on
    // the right, and `tail_floats` more floats of value 1000.
    std::string make_file(uint32_t blocks, uint32_t tail_floats = 0) {
        const std::string name = (dir / "temp.wav").string();
        auto f = create_wave_file(name.c_str(), true);
        std::vector<float> l(block_size), r(block_size);
        for (uint32_t n = 0; n < blocks; ++n) {
            for (int k = 0; k < block_size; ++k) {
                l[k] = float(n) + float(k) / 4096;
                r[k] = -float(n);
            }
            write_wave_block(*f, l.data(), r.data());
        }
        const std::vector<float> tail(tail_floats, 1000.0f);
        if (!tail.empty()) std::fwrite(tail.data(), 4, tail.size(), f->stream);
        finish_wave_file(*f);
        close_wave_file(*f);
        return name;
    }
    // The left sample 0 of the next `n` blocks the callback would play (the block
    // number; 1000 for the tail, 0 for silence).
    std::vector<float> take(int n) {
        std::vector<float> got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (int(got.size()) < n && std::chrono::steady_clock::now() < until) {
            if (const wave_block* b = ring_read_slot(handoff->from_player)) {
                got.push_back(b->left[0]);
                last = *b;
                ring_release(handoff->from_player);
                event_set(event);
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        return got;
    }

    fs::path dir;
    std::unique_ptr<wave_handoff> handoff = std::make_unique<wave_handoff>();
    wave_block last{};
    manual_event event;
    worker_thread thread;
    player play;
};

using blocks = std::vector<float>;

TEST_F(Player, LoopsOverTheWholeFileWithItsPartialLastBlock) {
    const std::string name = make_file(5, 200);  // 44 + 5 x 16384 + 800 bytes
    ASSERT_TRUE(open_playback(play, name.c_str()));
    EXPECT_EQ(play.total_blocks, 5u);
    EXPECT_EQ(play.tail_count, 200u);
    EXPECT_EQ(play.playback_file_rate, 96000);
    begin_playback(play);
    EXPECT_EQ(handoff->playing, 1);
    EXPECT_EQ(take(13), (blocks{0, 1, 2, 3, 4, 1000, 0, 1, 2, 3, 4, 1000, 0}));
    // The tail's 200 floats are 100 frames; the rest of the block is silence.
    take(4);
    EXPECT_FLOAT_EQ(last.left[0], 4.0f);
    take(1);
    EXPECT_FLOAT_EQ(last.right[99], 1000.0f);
    EXPECT_FLOAT_EQ(last.left[100], 0.0f);
    stop_playback(play);
    EXPECT_EQ(handoff->playing, 0);
    EXPECT_FALSE(play.play_file.has_value());
}

TEST_F(Player, MarkersLimitTheLoopAndRefuseAnEmptyOne) {
    const std::string name = make_file(100);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    take(3);
    set_start_marker(play, 512);
    EXPECT_EQ(play.start_block, 50u);
    EXPECT_EQ(play.current_block, 50u);
    set_end_marker(play, 256);  // 25 <= 50: refused, the loop stays where it is
    EXPECT_EQ(play.end_marker_on, 0);
    EXPECT_EQ(play.end_block, 100u);
    set_end_marker(play, 768);
    EXPECT_EQ(play.end_block, 75u);
    EXPECT_EQ(play.current_block, 50u);
    // Up to a ring's worth of blocks from before the markers may still be on their way.
    std::vector<float> got = take(60);
    auto first = std::find(got.begin(), got.end(), 50.0f);
    ASSERT_NE(first, got.end());
    ASSERT_GE(got.end() - first, 27);
    for (int i = 0; i < 27; ++i) EXPECT_EQ(first[i], float(50 + i % 25)) << i;
    set_start_marker(play, 0);  // second press: marker off, the loop starts at 0 again
    EXPECT_EQ(play.start_marker_on, 0);
    EXPECT_EQ(play.start_block, 0u);
    clear_markers(play);
    EXPECT_EQ(play.end_block, 100u);
}

TEST_F(Player, AFileWithoutDataPlaysSilenceWithoutSpinning) {
    const std::string name = make_file(0);  // as left by quitting during a recording
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    EXPECT_EQ(take(20), blocks(20, 0.0f));
}

TEST_F(Player, ANewPlaybackStartsFreshAndRefusesOtherFiles) {
    const std::string name = make_file(10);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    take(2);
    stop_playback(play);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    EXPECT_EQ(take(2), (blocks{0, 1}));  // nothing left over from the first playback
    stop_playback(play);
    const std::string text = (dir / "notes.txt").string();
    std::FILE* f = std::fopen(text.c_str(), "wb");
    std::fputs("not a wave file at all, but long enough to hold a header or two", f);
    std::fclose(f);
    EXPECT_FALSE(open_playback(play, text.c_str()));
    EXPECT_FALSE(open_playback(play, (dir / "missing.wav").c_str()));
}

}  // namespace
