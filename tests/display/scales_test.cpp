// Frequency scale geometry, labels and grid; the scale texts on the screen.
#include "display/scales.h"

#include <cmath>
#include <string>

#include "display_fixture.h"

using namespace gui;

namespace {

scale_geometry ssb_scale(int32_t rate, int32_t centre) {
    scale_geometry g;
    compute_scale_geometry(g, rate, centre, false);
    set_anchor_labels(g, centre);
    make_scale_labels(g, false);
    return g;
}

TEST(ScaleGeometry, AnchorOfTheDefaultCentreAt96kHz) {
    const scale_geometry g = ssb_scale(96000, 7056212);
    EXPECT_NEAR(g.ssb_tick_spacing_px, 53.28, 0.01);
    EXPECT_NEAR(g.cw_tick_spacing_px, 85.25, 0.01);
    EXPECT_NEAR(g.anchor_remainder_hz, 1188, 1);
    EXPECT_NEAR(g.scale_anchor_x, 498.3, 0.1);
    ASSERT_EQ(g.ssb_anchor_tick_index, 9);
    EXPECT_STREQ(g.scale_labels[9], " 7055");
    EXPECT_STREQ(g.scale_labels[0], " 7010");
    EXPECT_STREQ(g.scale_labels[19], " 7105");
    EXPECT_EQ(g.label_x[9], 498 - 15);
    // Labels 5 kHz apart, positions one spacing apart.
    for (int i = 1; i < 20; ++i) {
        EXPECT_EQ(std::stoi(g.scale_labels[i]) - std::stoi(g.scale_labels[i - 1]), 5);
        EXPECT_NEAR(g.label_x[i] - g.label_x[i - 1], 53.28, 1.0);
    }
}

TEST(ScaleGeometry, WholeMultipleOfFiveKilohertzAnchorsOneStepLower) {
    const scale_geometry g = ssb_scale(96000, 7055000);
    EXPECT_NEAR(g.scale_anchor_x, 511 - 53.0, 0.5);  // almost one spacing left of 511
    EXPECT_EQ(g.ssb_anchor_label_khz, 7050);
    EXPECT_STREQ(g.scale_labels[g.ssb_anchor_tick_index], " 7050");
}

TEST(ScaleGeometry, FortyEightKilohertzAndCw) {
    const scale_geometry g = ssb_scale(48000, 7056212);
    EXPECT_NEAR(g.ssb_tick_spacing_px, 106.56, 0.01);
    EXPECT_GE(g.scale_anchor_x, 404);
    EXPECT_LE(g.scale_anchor_x, 511);
    EXPECT_STREQ(g.scale_labels[g.ssb_anchor_tick_index], " 7055");
    scale_geometry c;
    compute_scale_geometry(c, 96000, 7056212, true);
    set_anchor_labels(c, 7056212);
    make_scale_labels(c, true);
    EXPECT_EQ(c.cw_anchor_label_khz, 7056 - 36);
    EXPECT_STREQ(c.scale_labels[c.cw_anchor_tick_index], " 7020");
    EXPECT_STREQ(c.scale_labels[c.cw_anchor_tick_index + 1], " 7022");
    set_anchor_labels(c, 7056000);  // whole 2 kHz: one step lower
    EXPECT_EQ(c.cw_anchor_label_khz, 7056 - 38);
}

class ScalesScreenTest : public DisplayTest {
  protected:
    // The x of every vertical tick of the spectrum grid, left to right.
    std::vector<float> spectrum_ticks() const {
        std::vector<float> xs;
        for (const line_record& r : screen().grid_lines.lines())
            if (r.points[0].x == r.points[1].x && r.points[1].y == 280) xs.push_back(r.points[0].x);
        std::sort(xs.begin(), xs.end());
        return xs;
    }
    int labels_drawn() const {
        int n = 0;
        for (int i = 0; i < 20; ++i) {
            const int x = screen().scales.label_x[i];
            if (x >= 0 && x < 1024 && lit(x, 295, std::min(x + 30, 1024), 308) > 5) ++n;
        }
        return n;
    }
};

TEST_F(ScalesScreenTest, GridAndLabelsFollowTheRate) {
    publish(-1000);
    frame();
    save("scales_96k");
    std::vector<float> ticks = spectrum_ticks();
    ASSERT_GE(ticks.size(), 18u);
    for (size_t i = 1; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i] - ticks[i - 1], 53.28, 0.01);
    EXPECT_EQ(labels_drawn(), 19);
    // Labels 10..18 are yellow, the others white.
    const int x10 = screen().scales.label_x[10], x9 = screen().scales.label_x[9];
    bool yellow10 = false, white9 = false;
    for (int y = 295; y < 308; ++y)
        for (int dx = 0; dx < 30; ++dx) {
            yellow10 |= at(x10 + dx, y) == 0xFFFF00u;
            white9 |= at(x9 + dx, y) == 0xFFFFFFu;
        }
    EXPECT_TRUE(yellow10);
    EXPECT_TRUE(white9);
    // Fourteen dB lines, the one at y 160 highlighted; six audio-panel ticks.
    int db_lines = 0, audio_ticks = 0;
    for (const line_record& r : screen().grid_lines.lines()) {
        if (r.points[0].y == r.points[1].y) {
            ++db_lines;
            EXPECT_EQ(r.colour, r.points[0].y == 160 ? 0xC87D6400u : 0x7D00FF00u);
        }
        if (r.points[0].y == 330) {
            ++audio_ticks;
            EXPECT_GE(r.points[0].x, 220);
        }
    }
    EXPECT_EQ(db_lines, 14);
    EXPECT_EQ(audio_ticks, 6);

    select_mode(0, 2048);  // LSB at 48 kHz
    publish(-1000);
    frame();
    save("scales_48k");
    ticks = spectrum_ticks();
    ASSERT_GE(ticks.size(), 8u);
    for (size_t i = 1; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i] - ticks[i - 1], 106.56, 0.01);
    EXPECT_EQ(labels_drawn(), 9);
    EXPECT_EQ(signal->sample_rate, 48000);
}

TEST_F(ScalesScreenTest, DbScaleInTheChosenUnit) {
    publish(-1000);
    frame();
    const int dbm_width = lit(15, 40, 80, 53);
    EXPECT_GT(dbm_width, 10);
    values.show_dBm = 0;
    frame();
    EXPECT_GT(lit(15, 40, 80, 53), dbm_width);  // "dBuEMF" is wider than "dBm"
    values.show_dBm = 1;
    frame();
    EXPECT_EQ(lit(15, 40, 80, 53), dbm_width);
}

}  // namespace
