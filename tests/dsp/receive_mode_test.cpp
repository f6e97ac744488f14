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

TEST(ReceiveMode, DefaultsMatchTheModeFamilies) {
    receive_mode_state s;
    reset_mode_table(s);
    EXPECT_EQ(s.mode_table[2].offset, 800);
    EXPECT_EQ(s.mode_table[3].slider_pos, 512);
    EXPECT_EQ(s.mode_table[5].mode, 9);
    // Entry 0 equals entry 4: the first run receives LSB 2700 Hz Hanning.
    const mode_values a = mode_snapshot(s.mode_table[0]), b = mode_snapshot(s.mode_table[4]);
    EXPECT_EQ(a.func, b.func);
    EXPECT_EQ(a.band_width, b.band_width);
    EXPECT_EQ(a.bandwidth_pos, b.bandwidth_pos);
    for (int m = 0; m < mode_count; ++m) {
        const mode_family f = family_of_mode(m);
        EXPECT_EQ(f.sampling_high, m >= 2) << m;
        EXPECT_EQ(f.cw_mode, m == 2 || m == 3) << m;
        EXPECT_EQ(mode_table_defaults[m].carrier, f.cw_mode ? 0 : 1) << m;
    }
}
