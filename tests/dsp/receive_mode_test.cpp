#include "dsp/receive_mode.h"

#include <gtest/gtest.h>

TEST(ReceiveMode, AssignAndSnapshotRoundTrip) {
    mode_entry e;
    const mode_values v{1, 0, 1, 2700, 0, 2048, 8, 16};
    assign_mode(e, v);
    const mode_values back = mode_snapshot(e);
    EXPECT_EQ(back.band_width, 2700);
    EXPECT_EQ(back.bandwidth_pos, 16);
    EXPECT_EQ(back.mode, 8);
}

TEST(ReceiveMode, OutOfRangeSelectedModeReadsEntryZero) {
    receive_mode_state s;
    s.mode_table[0].band_width = 111;
    s.selected_mode = 9;
    EXPECT_EQ(selected_entry(s).band_width, 111);
    s.selected_mode = -1;
    EXPECT_EQ(selected_entry(s).band_width, 111);
}
