// The sound's hiccups reach the terminal once, with what rose since they were last told.
#include "panel/sound_hiccups.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundHiccups, TheReportNamesWhatRoseSinceItWasLastTold) {
    EXPECT_EQ(hiccup_report({}, {}), "");
    EXPECT_EQ(hiccup_report({2, 5, 1}, {2, 5, 1}), "");
    EXPECT_EQ(hiccup_report({0, 0, 0}, {1, 0, 0}), "the sound output ran dry 1 time (1 in all)");
    EXPECT_EQ(hiccup_report({1, 2, 0}, {1, 16, 3}),
              "a late block was replaced by the last one 14 times (16 in all); "
              "card input was lost 3 times (3 in all)");
}

TEST(SoundHiccups, EachIsToldOnceAndNotMoreThanOnceASecond) {
    audio_context audio;
    panel_state controls;
    panel_context c;
    c.audio = &audio;
    c.controls = &controls;
    report_sound_hiccups(c);
    EXPECT_EQ(controls.hiccups_told_ms, 0);  // nothing to tell

    ++audio.counters.output_underflows;
    report_sound_hiccups(c);
    EXPECT_EQ(controls.hiccups_told.ran_dry, 1u);
    const int64_t told_at = controls.hiccups_told_ms;
    EXPECT_GT(told_at, 0);

    ++audio.counters.output_repeats;  // within the second: kept for the next report
    report_sound_hiccups(c);
    EXPECT_EQ(controls.hiccups_told.late, 0u);
    EXPECT_EQ(controls.hiccups_told_ms, told_at);

    controls.hiccups_told_ms -= hiccup_report_interval_ms;
    report_sound_hiccups(c);
    EXPECT_EQ(controls.hiccups_told.late, 1u);
    EXPECT_GT(controls.hiccups_told_ms, told_at - hiccup_report_interval_ms);
}

}  // namespace
