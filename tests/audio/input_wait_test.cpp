// When the stream thread looks for the next input block.
#include "audio/input_wait.h"

#include <gtest/gtest.h>

TEST(InputWait, ABlockThatIsLateIsLookedForEveryMillisecond) {
    const int32_t rate = 96000;
    const int64_t block_us = frames_us(block_size, rate);  // 21333
    // Read at 1 s with nothing of the next block in: due a block later; with half of it
    // in, half a block later.
    const int64_t due = next_input_due_us(1000000, 0, rate);
    EXPECT_EQ(due, 1000000 + block_us);
    EXPECT_EQ(next_input_due_us(1000000, block_size / 2, rate), 1000000 + block_us / 2);
    EXPECT_EQ(input_wait_us(due, 1000000, rate), block_us);  // not rounded up to the ms
    // Due, and not there yet (a server's chunk comes a little after): looked for again
    // within a millisecond, not a block later.
    EXPECT_EQ(input_wait_us(due, due, rate), input_poll_us);
    EXPECT_EQ(input_wait_us(due, due + block_us - 1, rate), input_poll_us);
    // A block overdue (a stalled server): less often, still well within a block.
    EXPECT_EQ(input_wait_us(due, due + block_us, rate), input_slow_poll_us);
    EXPECT_LT(input_slow_poll_us, block_us / 4);
}
