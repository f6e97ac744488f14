// The frame pipeline: levels and frequencies as pixels, boxes, bars and colours.
#include "display/spectrum_trace.h"
#include "display_fixture.h"

using namespace gui;

namespace {

TEST(LevelMapping, SpectrumAndAudioPanels) {
    EXPECT_FLOAT_EQ(spectrum_y(100, 0), 0);
    EXPECT_FLOAT_EQ(spectrum_y(-40, 0), 280);
    EXPECT_FLOAT_EQ(spectrum_y(-39, 0), 278);
    EXPECT_FLOAT_EQ(spectrum_y(-1000, 0), 280);  // silence on the bottom line
    EXPECT_FLOAT_EQ(spectrum_y(110, 0), -20);    // no upper limit
    EXPECT_FLOAT_EQ(spectrum_y(-35, -5), 280);   // the calibration counts
    EXPECT_FLOAT_EQ(audio_y(0, 0), 420);
    EXPECT_FLOAT_EQ(audio_y(60, 0), 330);
    EXPECT_FLOAT_EQ(audio_y(-30, 0), 460);
}

TEST(AudioTrace, LengthAndRoom) {
    double db[300];
    for (double& v : db) v = 0;
    PointF out[250];
    ASSERT_EQ(make_audio_trace(db, 142, true, 0, out, 250), 142);
    EXPECT_FLOAT_EQ(out[141].x, 218);  // 2 px per bin at 96 kHz
    EXPECT_FLOAT_EQ(out[0].x, 500);
    // At 48 kHz one pixel per bin; more bins than room keeps the first 250.
    ASSERT_EQ(make_audio_trace(db, 284, false, 0, out, 250), 250);
    EXPECT_FLOAT_EQ(out[249].x, 251);
    EXPECT_EQ(notch_left_edge(400, 16, 142, true), 368);
    EXPECT_EQ(notch_left_edge(240, 30, 142, true), 218);  // not left of the last bin
    EXPECT_EQ(notch_left_edge(240, 30, 284, false), 217);
}

TEST(PassbandPeak, SidebandRulesAndLimits) {
    double a[1024];
    for (int i = 0; i < 1024; ++i) a[i] = -0.1 * i;
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 10, 5, 0), -1.0);
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 0, 5, 0), -1000);  // start below 1: nothing
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 10, 5, 1), -1.0);
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 1020, 50, 1), -102.0);
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 10, 0, 1), -1000);  // empty range
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 10, 5, 2), -1000);  // neither sideband
    a[1023] = 50;
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 1000, 200, 1), 50);  // stops after column 1023
    EXPECT_DOUBLE_EQ(passband_peak(a, 1024, 1000, 200, 0), 50);  // never beyond the array
}

using FrameTest = DisplayTest;

TEST_F(FrameTest, TraceFollowsTheSpectrumOnlyWhileTheStreamIsOpen) {
    sound.stream_open = 1;
    publish(-1000, [](spectrum_block& b) {
        b.display_db[4 * 100 + 2] = 60.0;  // column 100 at y 80
        b.display_db[4 * 700] = 20.0;      // column 700 at y 160
    });
    frame();
    save("trace");
    EXPECT_EQ(at(100, 80), 0x8FD0EFu);
    EXPECT_EQ(at(700, 160), 0x8FD0EFu);
    EXPECT_FLOAT_EQ(screen().spectrum_vertices[300].y, 280);  // silence, under the slider
    EXPECT_FLOAT_EQ(screen().column_db[100], 60.0);
    // Stream closed: a new spectrum leaves the trace as it was.
    sound.stream_open = 0;
    publish(-1000, [](spectrum_block& b) { b.display_db[4 * 300] = 60.0; });
    frame();
    EXPECT_EQ(at(100, 80), 0x8FD0EFu);
    EXPECT_NE(at(300, 80), 0x8FD0EFu);
}

TEST_F(FrameTest, TraceColourByRateAndPlayback) {
    publish(-1000);
    frame();
    EXPECT_EQ(screen().trace_colour, 0xFF8FD0EFu);
    select_mode(0, 2048);
    frame();
    EXPECT_EQ(screen().trace_colour, 0xFFF9BFF0u);
    play.play_button_on = 1;
    frame();
    EXPECT_EQ(screen().trace_colour, 0xFFFCCA82u);
}

TEST_F(FrameTest, CpuBarSegments) {
    publish(-1000);
    struct expect_row {
        int usage;
        int green_end, yellow_end, red_end;  // exclusive ends; equal = segment absent
    };
    for (const expect_row e : {expect_row{40, 145, 145, 145},
                               {41, 145, 146, 146},
                               {70, 145, 175, 175},
                               {71, 155, 175, 176},
                               {100, 155, 175, 205},
                               {101, 105, 105, 105}}) {
        cpu = e.usage;
        frame();
        for (int x = 105; x < 205; ++x) {
            const Colour want = x < e.green_end    ? 0x79E0C8u
                                : x < e.yellow_end ? 0xFFFF00u
                                : x < e.red_end    ? 0xFF0000u
                                                   : 0u;
            ASSERT_EQ(at(x, 459), want) << "usage " << e.usage << " x " << x;
        }
    }
}

TEST_F(FrameTest, PassbandBoxSideByMode) {
    publish(-1000);
    // Box columns lit at y 150, which lies between dB lines.
    auto box_at = [&](int x) { return at(x, 150) != 0 && at(x, 150) != 0x8FD0EFu; };
    select_mode(4, 2048);  // LSB: x 512 and 512 - 28
    frame();
    save("passband_lsb");
    EXPECT_TRUE(box_at(512));
    EXPECT_TRUE(box_at(484));
    EXPECT_FALSE(box_at(540));
    const Colour lsb = at(512, 150);
    EXPECT_NEAR(int(lsb & 0xFF), 0xA0, 2);  // translucent white over black
    select_mode(5, 2048);                   // USB: x 512 and 540
    frame();
    EXPECT_TRUE(box_at(512));
    EXPECT_TRUE(box_at(540));
    EXPECT_FALSE(box_at(484));
    select_mode(3, 511);  // CWU: one-pixel marker at 511..512, more transparent
    frame();
    save("passband_cw");
    EXPECT_TRUE(box_at(511));
    EXPECT_TRUE(box_at(512));
    EXPECT_FALSE(box_at(510));
    EXPECT_FALSE(box_at(513));
    EXPECT_NEAR(int(at(511, 150) & 0xFF), 0x6E, 2);
}

TEST_F(FrameTest, AudioTraceAndNotchBox) {
    sound.stream_open = 1;
    signal->notch_on = 1;
    signal->notch_position = 400;
    signal->notch_span = 16;
    publish(-1000, [](spectrum_block& b) {
        b.passband_bin_count = 142;
        for (int k = 0; k < 142; ++k) b.audio_db[k] = 0.0;  // y 420
    });
    frame();
    save("audio_notch");
    EXPECT_EQ(at(300, 420), 0x8FD0EFu);
    EXPECT_EQ(at(218, 420), 0x8FD0EFu);  // the last bin, left of the black panel
    EXPECT_EQ(at(368, 395), 0xFF0000u);  // notch box 368..400
    EXPECT_EQ(at(400, 395), 0xFF0000u);
    EXPECT_EQ(at(384, 330), 0xFF0000u);
    EXPECT_EQ(at(384, 395), 0u);
    signal->notch_on = 0;
    frame();
    EXPECT_EQ(at(368, 395), 0u);
}

TEST_F(FrameTest, PlaybackBarAndLoopMarks) {
    publish(-1000);
    frame();
    const std::vector<Colour> idle = pixels;  // the labels share the bar's rows
    auto idle_black = [&](int x, int y) { return (idle[size_t(y) * 1024 + x] & 0xFFFFFF) == 0; };
    player view;
    view.total_blocks = 100;
    view.current_block = 58;  // the reader is ahead of what is heard
    wave->heard_block = 50;
    view.start_marker_on = 1;
    view.start_block = 10;
    view.end_marker_on = 1;
    view.end_block = 90;
    view.handoff = wave.get();
    ctx.play = &view;
    wave->playing = 1;
    frame();
    save("playback");
    // Loop marks 2 px wide over y 283..310 (below the labels at y 308): start at
    // 10 x 1024 / 100 = 102 in yellow, end at 921 in red.
    EXPECT_EQ(at(101, 308), 0u);
    EXPECT_EQ(at(102, 308), 0xFFFF00u);
    EXPECT_EQ(at(103, 308), 0xFFFF00u);
    EXPECT_EQ(at(104, 308), 0u);
    EXPECT_EQ(at(921, 308), 0xFF0000u);
    EXPECT_EQ(at(922, 308), 0xFF0000u);
    EXPECT_EQ(at(923, 308), 0u);
    // The bar runs from 104 to the position 50 x 1024 / 100 = 512 on y 295..306.
    int bar = 0;
    for (int x = 0; x < 1024; ++x) {
        if (!idle_black(x, 300) || (x >= 102 && x < 104) || (x >= 921 && x < 923)) continue;
        const bool red = at(x, 300) == 0xFF0000u;
        EXPECT_EQ(red, x >= 104 && x < 512) << x;
        bar += red;
    }
    EXPECT_GT(bar, 200);
    // A file without whole blocks shows no bar and divides by nothing.
    view.total_blocks = 0;
    frame();
    EXPECT_EQ(at(102, 308), 0u);
    EXPECT_EQ(at(921, 308), 0u);
    // Without a player there is no bar either.
    view.total_blocks = 100;
    ctx.play = nullptr;
    frame();
    EXPECT_EQ(at(102, 308), 0u);
}

}  // namespace
