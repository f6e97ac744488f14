// The S-meter and the text readouts.
#include "display/readouts.h"

#include <cmath>

#include "display_fixture.h"

using namespace gui;

namespace {

TEST(SMeter, NeedlePositionAroundS9AndAtTheEnds) {
    EXPECT_NEAR(needle_position(40.0), 957.336, 1e-3);
    EXPECT_NEAR(needle_position(40.01), 956.344, 1e-3);  // the two formulas do not meet
    EXPECT_NEAR(needle_position(0.0), 904.0, 1e-4);
    EXPECT_FLOAT_EQ(needle_position(-977.4), 894.0f);  // a pass band outside the display
    EXPECT_NEAR(needle_position(104.0), 1007.536, 1e-3);
    EXPECT_FLOAT_EQ(needle_position(106.0), 1009.0f);  // above 1008 the needle rests at 1009
}

TEST(SMeter, AveragingRingRisesOverTenFramesAndKeepsOldValues) {
    s_meter_state m;
    const double peak = 17.4;  // 40 dBuEMF with the 22.6 dB offset
    EXPECT_NEAR(s_meter_reading(m, peak, true, 0.0), 4.0, 1e-9);  // one value of ten
    for (int i = 2; i <= 10; ++i) EXPECT_NEAR(s_meter_reading(m, peak, true, 0.0), 4.0 * i, 1e-9);
    EXPECT_NEAR(s_meter_reading(m, peak, true, 1.5), 41.5, 1e-9);  // calibration added after

    // Direct readings leave the ring alone but the index still counts down.
    s_meter_state n;
    for (int i = 0; i < 3; ++i) s_meter_reading(n, peak, true, 0.0);  // slots 0, 9, 8
    EXPECT_EQ(n.history_index, 7);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(s_meter_reading(n, -1000.0, false, 0.0), -977.4, 1e-9);
    EXPECT_EQ(n.history_index, 2);
    // Back on: the three old values and the new one are averaged over ten slots.
    EXPECT_NEAR(s_meter_reading(n, -22.6, true, 0.0), 3 * 40.0 / 10, 1e-9);
    EXPECT_EQ(n.history_index, 1);
}

TEST(Readouts, FrequencyTextCutToTenHertz) {
    char text[64];
    format_frequency(7056212.4, text, sizeof text);
    EXPECT_STREQ(text, "7 056 210 Hz");
    format_frequency(14000009.0, text, sizeof text);
    EXPECT_STREQ(text, "14 000 000 Hz");
    EXPECT_NEAR(tuned_frequency(2048, 7056212, false, true, 0, 0, 0), 2048 * 23.4432 + 7008212,
                1e-6);
    EXPECT_NEAR(tuned_frequency(2048, 7056212, false, false, 5, 7, -3),
                2048 * 11.7216 + 7032212 - 3, 1e-6);
    EXPECT_NEAR(tuned_frequency(511, 7056212, true, true, 5, 7, -3), 511 * 23.4432 + 7008219, 1e-6);
}

using ReadoutScreenTest = DisplayTest;

TEST_F(ReadoutScreenTest, FrequencyModeAndBandwidthOfTheSelectedMode) {
    select_mode(4, 2048);
    update_frequency_readout();
    EXPECT_STREQ(text_of(65), "7 056 220 Hz");
    EXPECT_STREQ(text_of(66), "LSB");
    EXPECT_STREQ(text_of(67), "BW: 2700Hz");
    select_mode(3, 511);  // CWU
    selected_entry(*modes).band_width = 500;
    update_frequency_readout();
    EXPECT_STREQ(text_of(66), "CW");
    EXPECT_STREQ(text_of(67), "BW:  500Hz");
    EXPECT_NEAR(screen().tuned_frequency_hz, 511 * 23.4432 + 7008212, 1e-6);
}

TEST_F(ReadoutScreenTest, LevelTextNeedleAndDifference) {
    // 17.4 dB in the LSB pass band: 40 dBuEMF, -73 dBm.
    controls.passband_start_px = 480;
    controls.passband_width_px = 28;
    publish(-60, [](spectrum_block& b) {
        for (int bin = 480 * 4; bin < 508 * 4; ++bin) b.display_db[bin] = 17.4;
    });
    frame();
    EXPECT_STREQ(text_of(50), "");  // the level is shown only with the stream open
    sound.stream_open = 1;
    frame();
    save("s_meter");
    EXPECT_STREQ(text_of(50), " -73.0 dBm");
    EXPECT_NEAR(screen().meter.needle_x, 957.336, 1e-3);
    EXPECT_EQ(at(957, 46), 0xFFFFFFu);
    EXPECT_EQ(at(957, 58), 0u);  // the needle ends at y 56, inside the scale picture
    EXPECT_FALSE(p.main_dialog.get_static(102)->get_visible());
    values.show_dBm = 0;
    controls.marker_on = 1;
    controls.reference_level_db = 30.0f;
    frame();
    EXPECT_STREQ(text_of(50), " 40.0 dBuEMF");
    EXPECT_STREQ(text_of(102), "diff: 10.0 dB");
    EXPECT_TRUE(p.main_dialog.get_static(102)->get_visible());
    // A pass band starting left of column 1 in lower sideband finds nothing.
    controls.passband_start_px = 0;
    frame();
    EXPECT_STREQ(text_of(50), " -977.4 dBuEMF");
    EXPECT_FLOAT_EQ(screen().meter.needle_x, 894.0f);
}

TEST_F(ReadoutScreenTest, CpuAndRecordingTime) {
    cpu = 7;
    publish(-1000);
    frame();
    EXPECT_STREQ(text_of(24), "CPU: 07  %");
    EXPECT_STREQ(text_of(36), "");  // only while the Rec button is on
    record_button = 1;
    record_seconds = 3723;
    frame();
    EXPECT_STREQ(text_of(36), "REC 01:02:03");
}

}  // namespace
