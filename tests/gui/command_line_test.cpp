// The framework's command-line options.
#include <gtest/gtest.h>

#include "gui/framework.h"

namespace {

std::vector<std::string> traces;
void record_trace(const char* text) {
    traces.emplace_back(text);
}

class CommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        traces.clear();
        previous = gui::set_debug_trace_handler(record_trace);
    }
    void TearDown() override { gui::set_debug_trace_handler(previous); }
    gui::DebugTraceHandler previous = nullptr;
};

TEST_F(CommandLineTest, NamesIgnoreCaseAndTakeValuesAfterAColon) {
    auto o = gui::parse_command_line({"-WIDTH:800", "/height:600", "-StartX:10", "-starty:20",
                                      "-forcevsync:0", "-quitafterframe:5", "-windowed", "/NoStats",
                                      "-noerrormsgboxes", "-adapter:1"});
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_EQ(o.start_x, 10);
    EXPECT_EQ(o.start_y, 20);
    EXPECT_EQ(o.force_vsync, 0);
    EXPECT_EQ(o.quit_after_frame, 5);
    EXPECT_TRUE(o.windowed);
    EXPECT_TRUE(o.no_stats);
    EXPECT_TRUE(o.no_error_message_boxes);
    EXPECT_EQ(o.adapter, 1);
    EXPECT_TRUE(traces.empty());
}

TEST_F(CommandLineTest, ValuesEndAtTheFirstBlankOrControlCharacter) {
    auto o = gui::parse_command_line({"-width:640 x", "-height:48\t0", "-forcevsync:7"});
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 48);
    EXPECT_EQ(o.force_vsync, 1);
}

TEST_F(CommandLineTest, ConstantFrameTimeHasAnOptionalValue) {
    auto a = gui::parse_command_line({"-constantframetime"});
    EXPECT_TRUE(a.constant_frame_time);
    EXPECT_DOUBLE_EQ(a.frame_time_s, 0.0333);
    auto b = gui::parse_command_line({"-constantframetime:0.05"});
    EXPECT_TRUE(b.constant_frame_time);
    EXPECT_DOUBLE_EQ(b.frame_time_s, 0.05);
}

TEST_F(CommandLineTest, UnusableArgumentsAreTracedAndIgnored) {
    auto o =
        gui::parse_command_line({"-widthx:5", "-width", "-width:", "-height:abc", "plain", "-bogus",
                                 "-fullscreen", "-forceref", "-forcehal", "-forceswvp",
                                 "-forcehwvp", "-forcepurehwvp", "-relaunchmce", "-automation"});
    EXPECT_EQ(o.width, 0);
    EXPECT_EQ(o.height, 0);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_TRUE(o.force_ref);
    EXPECT_TRUE(o.force_hal);
    EXPECT_TRUE(o.force_sw_vp && o.force_hw_vp && o.force_pure_hw_vp);
    EXPECT_TRUE(o.relaunch_mce && o.automation);
    ASSERT_EQ(traces.size(), 6u);
    EXPECT_EQ(traces[0], "Unrecognized flag: -widthx:5");
    EXPECT_EQ(traces[1], "Unrecognized flag: -width");
    EXPECT_EQ(traces[2], "Unrecognized flag: -width:");
    EXPECT_EQ(traces[3], "Unrecognized flag: -height:abc");
    EXPECT_EQ(traces[4], "Unrecognized flag: plain");
    EXPECT_EQ(traces[5], "Unrecognized flag: -bogus");
}

}  // namespace
