// A recording whose process is killed (SIGKILL: no chance to finish anything) plays back up
// to its last whole second, through the wave player and through tolvan-demod.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "record/player.h"
#include "tests/app/demod_exe.h"
#include "tests/record/wave_bytes.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t second_bytes = 96000 / 2048 * 16384;  // [bytes] the sizes' step at 96 kHz

// Starts the recording process; `blocks` < 0 records until killed.
pid_t start_recording_process(const std::string& file, long blocks) {
    const std::string count = std::to_string(blocks);
    const pid_t pid = fork();
    if (pid == 0) {
        ::execl(RECORD_UNTIL_KILLED_EXE, RECORD_UNTIL_KILLED_EXE, file.c_str(), "96000",
                count.c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

// Waits up to 30 s until `ready` holds for the file's bytes, then kills the process.
template <class F>
bool kill_when(pid_t pid, const std::string& file, F ready) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool seen = false;
    while (!(seen = ready(read_bytes(file))) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    return seen;
}

// The block numbers (left sample 0) of the first `n` blocks the player plays from `file`.
std::vector<int> play(const std::string& file, int n, bool* size_from_length) {
    auto handoff = std::make_unique<wave_handoff>();
    manual_event event;
    worker_thread thread;
    player p;
    p.handoff = handoff.get();
    p.play_event = &event;
    p.thread = &thread;
    thread_create(thread, player_thread, &p);
    std::vector<int> got;
    if (open_playback(p, file.c_str())) {
        *size_from_length = p.size_from_length;
        begin_playback(p);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (int(got.size()) < n && std::chrono::steady_clock::now() < until) {
            if (take_played_block(*handoff))
                got.push_back(int(handoff->last_played.left[0]));
            else
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            event_set(event);
        }
        stop_playback(p);
    }
    thread_stop(
        thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
    return got;
}

// 0, 1, ..., count - 1, 0, 1, ...: the first n blocks of a loop over `count` blocks.
std::vector<int> loop_of(int count, int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(i % count);
    return v;
}

TEST(CutOffRecording, KilledMidWayItPlaysUpToItsLastSecond) {
    temp_dir d;
    const std::string file = d.file("temp.wav"), out = d.file("audio.wav");
    const pid_t pid = start_recording_process(file, -1);
    ASSERT_TRUE(kill_when(pid, file, [](const std::vector<uint8_t>& b) {
        return u32_at(b, 40) >= 2 * second_bytes;
    })) << "the header never held two seconds";
    const std::vector<uint8_t> b = read_bytes(file);
    const uint32_t data = u32_at(b, 40);
    EXPECT_EQ(data % second_bytes, 0u) << "sizes for whole seconds only";
    EXPECT_EQ(u32_at(b, 4), data + 36);
    ASSERT_GE(b.size() - 44, data);
    EXPECT_LT(b.size() - 44 - data, second_bytes + 16384u) << "more than a second unsized";

    const int blocks = int(data / 16384);
    bool size_from_length = true;
    EXPECT_EQ(play(file, blocks + 3, &size_from_length), loop_of(blocks, blocks + 3));
    EXPECT_FALSE(size_from_length);

    const run_result r = run_demod_exe({"--quiet", file, out}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(u32_at(read_bytes(out), 40), data);  // one audio block per I/Q block
}

TEST(CutOffRecording, KilledInItsFirstSecondItPlaysToTheEndOfTheFile) {
    temp_dir d;
    const std::string file = d.file("temp.wav"), out = d.file("audio.wav");
    const pid_t pid = start_recording_process(file, 10);
    ASSERT_TRUE(kill_when(
        pid, file, [](const std::vector<uint8_t>& b) { return b.size() >= 44 + 10 * 16384; }));
    const std::vector<uint8_t> b = read_bytes(file);
    ASSERT_EQ(b.size(), 44u + 10 * 16384);
    EXPECT_EQ(u32_at(b, 40), 0u);
    EXPECT_EQ(u32_at(b, 4), 0u);

    bool size_from_length = false;
    EXPECT_EQ(play(file, 13, &size_from_length), loop_of(10, 13));
    EXPECT_TRUE(size_from_length);

    const run_result r = run_demod_exe({"--quiet", file, out}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cut off"), std::string::npos) << r.err;
    EXPECT_EQ(u32_at(read_bytes(out), 40), 10u * 16384);
}

}  // namespace
