// The wave player looping over a real file, with the test taking blocks as the audio
// callback does (take_played_block) and setting the play event as the DSP thread does.
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
        name = (dir / "temp.wav").string();
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
    // A recording of `blocks` blocks, block n holding n + 1 + k / 4096 on the left and
    // -(n + 1) on the right, then `tail_floats` more floats of value 1000. The header says
    // `declared` bytes of data (< 0: the sizes of what was written).
    void make_file(uint32_t blocks, uint32_t tail_floats = 0, int64_t declared = -1) {
        auto f = create_wave_file(name.c_str(), true);
        std::vector<float> l(block_size), r(block_size);
        for (uint32_t n = 0; n < blocks; ++n) {
            for (int k = 0; k < block_size; ++k) {
                l[k] = float(n + 1) + float(k) / 4096;
                r[k] = -float(n + 1);
            }
            write_wave_block(*f, l.data(), r.data());
        }
        const std::vector<float> tail(tail_floats, 1000.0f);
        if (!tail.empty()) std::fwrite(tail.data(), 4, tail.size(), f->stream);
        if (declared < 0)
            finish_wave_file(*f);
        else
            write_wave_sizes(*f, uint64_t(declared));
        close_wave_file(*f);
    }
    // The next `n` new blocks the callback plays, by number (n + 1 for block n, 1000 for
    // the tail, 0 for silence), with the block the bar shows for each. Every try sets the
    // event, as the DSP thread does once per block.
    std::vector<float> take(int n) {
        std::vector<float> got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (int(got.size()) < n && std::chrono::steady_clock::now() < until) {
            if (take_played_block(*handoff)) {
                got.push_back(handoff->last_played.left[0]);
                heard.push_back(block_heard(play));
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            event_set(event);
        }
        return got;
    }
    // Waits until the player has filled its read-ahead.
    bool read_ahead_full() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ring_count(handoff->from_player) < player_ring_blocks)
            if (std::chrono::steady_clock::now() > until)
                return false;
            else
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        return true;
    }

    fs::path dir;
    std::string name;
    std::unique_ptr<wave_handoff> handoff = std::make_unique<wave_handoff>();
    std::vector<uint32_t> heard;
    manual_event event;
    worker_thread thread;
    player play;
};

using blocks = std::vector<float>;

TEST_F(Player, LoopsOverTheWholeFileWithItsPartialLastBlock) {
    make_file(5, 200);  // 44 + 5 x 16384 + 800 bytes
    ASSERT_TRUE(open_playback(play, name.c_str()));
    EXPECT_EQ(play.total_blocks, 5u);
    EXPECT_EQ(play.tail_count, 200u);
    EXPECT_EQ(play.playback_file_rate, 96000);
    EXPECT_FALSE(play.size_from_length);
    begin_playback(play);
    EXPECT_EQ(handoff->playing, 1);
    EXPECT_EQ(take(13), (blocks{1, 2, 3, 4, 5, 1000, 1, 2, 3, 4, 5, 1000, 1}));
    // The bar follows the blocks as they are heard, the tail at its end.
    EXPECT_EQ(heard, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0}));
    // The tail's 200 floats are 100 frames; the rest of the block is silence.
    take(5);
    EXPECT_FLOAT_EQ(handoff->last_played.right[99], 1000.0f);
    EXPECT_FLOAT_EQ(handoff->last_played.left[100], 0.0f);
    stop_playback(play);
    EXPECT_EQ(handoff->playing, 0);
    EXPECT_FALSE(play.play_file.has_value());
}

TEST_F(Player, AMarkerClickIsHeardAtOnce) {
    make_file(100);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    take(3);
    ASSERT_TRUE(read_ahead_full());
    set_start_marker(play, 512);
    EXPECT_EQ(play.start_block, 50u);
    EXPECT_EQ(play.current_block, 50u);
    // The read-ahead from the old position is dropped: silence while the player reads the
    // first block at the new one, never an old block.
    EXPECT_FALSE(take_played_block(*handoff));
    EXPECT_EQ(handoff->last_played.left[0], 0.0f);
    event_set(event);
    heard.clear();
    EXPECT_EQ(take(3), (blocks{51, 52, 53}));
    EXPECT_EQ(heard, (std::vector<uint32_t>{50, 51, 52}));

    set_end_marker(play, 256);  // 25 <= 50: refused, the loop stays where it is
    EXPECT_EQ(play.end_marker_on, 0);
    EXPECT_EQ(play.end_block, 100u);
    set_end_marker(play, 768);
    EXPECT_EQ(play.end_block, 75u);
    EXPECT_EQ(play.current_block, 50u);
    std::vector<float> got = take(30);
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], float(51 + i % 25)) << i;
    set_start_marker(play, 0);  // second press: marker off, the loop starts at 0 again
    EXPECT_EQ(play.start_marker_on, 0);
    EXPECT_EQ(play.start_block, 0u);
    EXPECT_EQ(take(2), (blocks{1, 2}));
    clear_markers(play);
    EXPECT_EQ(play.end_block, 100u);
}

// Cut off while recording: the header says more than the file holds, or nothing at all.
TEST_F(Player, AShortFileLoopsOverWhatItHolds) {
    make_file(3, 0, 10 * 16384);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    EXPECT_TRUE(play.size_from_length);
    EXPECT_EQ(play.total_blocks, 3u);
    begin_playback(play);
    EXPECT_EQ(take(8), (blocks{1, 2, 3, 1, 2, 3, 1, 2}));
    stop_playback(play);

    make_file(5, 200 + 3, 0);  // sizes 0; the tail ends in part of a frame
    ASSERT_TRUE(open_playback(play, name.c_str()));
    EXPECT_TRUE(play.size_from_length);
    EXPECT_EQ(play.total_blocks, 5u);
    EXPECT_EQ(play.tail_count, 202u) << "whole frames only";
    begin_playback(play);
    EXPECT_EQ(take(7), (blocks{1, 2, 3, 4, 5, 1000, 1}));
}

TEST_F(Player, AFileThatShrinksWhilePlayingNeverReplaysOldBlocks) {
    make_file(10);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    take(2);
    ASSERT_EQ(::truncate(name.c_str(), 44 + 3 * 16384), 0);
    // Up to a ring of blocks was read before the cut; after it, where a block is missing
    // the loop starts again with a block of silence: only blocks the file holds follow.
    std::vector<float> got = take(30);
    auto cut = std::find(got.begin(), got.end(), 0.0f);
    ASSERT_NE(cut, got.end());
    for (auto it = got.begin(); it != cut; ++it) EXPECT_LE(*it, 10.0f);
    for (auto it = cut; it != got.end(); ++it) EXPECT_TRUE(*it >= 0 && *it <= 3) << *it;
}

TEST_F(Player, AFileWithoutDataPlaysSilenceWithoutSpinning) {
    make_file(0);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    EXPECT_EQ(take(20), blocks(20, 0.0f));
}

TEST_F(Player, ANewPlaybackStartsFreshAndRefusesOtherFiles) {
    make_file(10);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    take(2);
    stop_playback(play);
    ASSERT_TRUE(open_playback(play, name.c_str()));
    begin_playback(play);
    EXPECT_EQ(take(2), (blocks{1, 2}));  // nothing left over from the first playback
    stop_playback(play);
    const std::string text = (dir / "notes.txt").string();
    std::FILE* f = std::fopen(text.c_str(), "wb");
    std::fputs("not a wave file at all, but long enough to hold a header or two", f);
    std::fclose(f);
    EXPECT_FALSE(open_playback(play, text.c_str()));
    EXPECT_FALSE(open_playback(play, (dir / "missing.wav").c_str()));
}

}  // namespace
