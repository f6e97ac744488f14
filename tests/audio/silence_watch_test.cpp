// When digital silence on the input ends a stream: only after a signal, counted from the
// stream's own first block, at a limit that grows while the silence goes on.
#include "audio/silence_watch.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t rate = 96000;
constexpr uint64_t limit_blocks = 24;  // 500 ms at 96 kHz: 23.4 blocks of 2048 frames

// The audio side's counters after `blocks` input blocks, the last `silent` of them zeros.
void set_input(audio_counters& c, uint64_t blocks, uint64_t silent, uint64_t sounding) {
    c.blocks = blocks;
    c.silent_run = silent;
    c.sounding_blocks = sounding;
}

TEST(SilenceWatch, SilenceEndsTheStreamOnlyAfterASignalOnceItLastsTheLimit) {
    audio_counters c;
    silence_watch w;
    silence_watch_open(w, c);
    set_input(c, 1000, 1000, 0);  // silent from the start: left alone
    EXPECT_FALSE(input_went_silent(w, c, rate));
    set_input(c, 1050, 0, 50);
    EXPECT_FALSE(input_went_silent(w, c, rate));
    set_input(c, 1050 + limit_blocks - 1, limit_blocks - 1, 50);
    EXPECT_FALSE(input_went_silent(w, c, rate));
    set_input(c, 1050 + limit_blocks, limit_blocks, 50);
    EXPECT_TRUE(input_went_silent(w, c, rate));
    EXPECT_EQ(w.silent_reopens, 1);

    // The reopened stream's silence counts from its own first block, and it is reopened
    // again while the silence goes on: a stream that spanned a suspend can stay silent.
    silence_watch_open(w, c);
    set_input(c, c.blocks + limit_blocks - 1, c.silent_run + limit_blocks - 1, 50);
    EXPECT_FALSE(input_went_silent(w, c, rate));
    set_input(c, c.blocks + 1, c.silent_run + 1, 50);
    EXPECT_TRUE(input_went_silent(w, c, rate));
    EXPECT_EQ(w.silent_reopens, 2);
}

TEST(SilenceWatch, TheLimitGrowsWhileSilenceLastsAndResetsWhenTheSignalReturns) {
    for (int k = 0; k < quick_silence_reopens; ++k) EXPECT_EQ(silence_limit(k), silence_limit_ms);
    EXPECT_EQ(silence_limit(quick_silence_reopens), 2 * silence_limit_ms);
    EXPECT_EQ(silence_limit(quick_silence_reopens + 1), 4 * silence_limit_ms);
    EXPECT_EQ(silence_limit(quick_silence_reopens + 5), longest_silence_limit_ms);
    EXPECT_EQ(silence_limit(1000), longest_silence_limit_ms);

    audio_counters c;
    silence_watch w;
    silence_watch_open(w, c);
    set_input(c, 10, 0, 10);
    EXPECT_FALSE(input_went_silent(w, c, rate));
    w.silent_reopens = quick_silence_reopens;  // a muted card, tried ten times already
    silence_watch_open(w, c);
    set_input(c, 10 + limit_blocks, limit_blocks, 10);
    EXPECT_FALSE(input_went_silent(w, c, rate));  // now waits twice as long
    set_input(c, 10 + 2 * limit_blocks, 2 * limit_blocks, 10);
    EXPECT_TRUE(input_went_silent(w, c, rate));

    // A block with a signal: back to the short limit.
    silence_watch_open(w, c);
    set_input(c, c.blocks + 1, 0, 11);
    EXPECT_FALSE(input_went_silent(w, c, rate));
    EXPECT_EQ(w.silent_reopens, 0);
    set_input(c, c.blocks + limit_blocks, limit_blocks, 11);
    EXPECT_TRUE(input_went_silent(w, c, rate));
}

}  // namespace
