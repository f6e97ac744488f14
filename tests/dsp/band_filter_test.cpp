#include "dsp/band_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "dsp/rebuild_filter.h"
#include "dsp_harness.h"

namespace {

// The response that the DSP cycle would use next.
const double* published_response(signal_state& s) {
    tb_take(s.filter_response);
    return tb_front(s.filter_response).h;
}

double magnitude_at(const double* h, int32_t bin) {
    return std::hypot(h[2 * bin], h[2 * bin + 1]);
}

}  // namespace

TEST(BandFilter, HalfTransitionWidthsAtBothRates) {
    struct row {
        int32_t type;
        double h48, h96;
    };
    const row rows[] = {{0, 10.546875, 21.09375}, {1, 36.328125, 72.65625},
                        {2, 38.671875, 77.34375}, {3, 64.453125, 128.90625},
                        {4, 38.671875, 77.34375}, {7, 38.671875, 77.34375}};
    for (const row& r : rows) {
        const band_filter f = make_band_filter(r.type);
        EXPECT_NEAR(half_transition_width(f, 2048, 48000), r.h48, 1e-9) << "type " << r.type;
        EXPECT_NEAR(half_transition_width(f, 2048, 96000), r.h96, 1e-9) << "type " << r.type;
    }
}

TEST(BandFilter, UpperSidebandWorkedExampleAt96k) {
    // band_width 2700, low cut-off 50, Hanning: low - h < 0, so the low edge is h.
    std::vector<double> taps(2048);
    design_taps(make_band_filter(1), 96000, taps.data(), 2048, 50, 2700);
    const double f_lo = 72.65625 / 96000, f_hi = (2700 + 72.65625) / 96000;
    EXPECT_DOUBLE_EQ(taps[1024], 2.0 * (f_hi - f_lo));
    const double pi = std::numbers::pi;
    EXPECT_NEAR(taps[1025], (std::sin(2 * pi * f_hi) - std::sin(2 * pi * f_lo)) / pi, 1e-15);
    EXPECT_NEAR(taps[0],
                (std::sin(2 * pi * -1024 * f_hi) - std::sin(2 * pi * -1024 * f_lo)) / (pi * -1024),
                1e-15);
}

TEST(BandFilter, LowCutoff200KeepsItsEdgeMinusH) {
    std::vector<double> taps(2048);
    design_taps(make_band_filter(1), 96000, taps.data(), 2048, 200, 2700);
    EXPECT_DOUBLE_EQ(taps[1024], 2.0 * ((2700 + 72.65625) - 127.34375) / 96000);
}

TEST(BandFilter, CwWorkedExampleThroughRebuild) {
    auto r = make_rig(3);  // CWU, 500 Hz at pitch 800, 96 kHz, Hanning
    EXPECT_EQ(r->signal->passband_low_hz, 550);
    EXPECT_EQ(r->signal->passband_high_hz, 1050);
    std::vector<double> taps(2048);
    design_taps(make_band_filter(1), 96000, taps.data(), 2048, 550, 1050);
    EXPECT_DOUBLE_EQ(taps[1024], 2.0 * ((1050 + 72.65625) - (550 - 72.65625)) / 96000);
    // The centre of a window is 1, so windowing keeps the centre tap.
    EXPECT_DOUBLE_EQ(r->signal->filter_taps[1024], taps[1024]);
}

TEST(BandFilter, OddCwBandwidthHalvesTruncating) {
    auto r = make_rig(3);
    r->modes->mode_table[3].band_width = 501;
    rebuild_filter(*r->signal, *r->modes);
    EXPECT_EQ(r->signal->passband_low_hz, 550);
    EXPECT_EQ(r->signal->passband_high_hz, 1050);
}

TEST(BandFilter, LowCutoffHasNoEffectInCw) {
    auto r = make_rig(3);
    std::vector<double> before(fft_doubles);
    std::memcpy(before.data(), published_response(*r->signal), sizeof(double) * fft_doubles);
    r->signal->low_cutoff_hz = 300;
    rebuild_filter(*r->signal, *r->modes);
    EXPECT_EQ(
        std::memcmp(before.data(), published_response(*r->signal), sizeof(double) * fft_doubles),
        0);
    EXPECT_EQ(r->signal->passband_low_hz, 550);
}

TEST(BandFilter, RebuildIsDeterministic) {
    auto r = make_rig(5);
    std::vector<double> first(fft_doubles);
    std::memcpy(first.data(), published_response(*r->signal), sizeof(double) * fft_doubles);
    rebuild_filter(*r->signal, *r->modes);
    EXPECT_EQ(
        std::memcmp(first.data(), published_response(*r->signal), sizeof(double) * fft_doubles), 0);
}

TEST(BandFilter, ResponsePassesTheBandAndNotZeroHz) {
    auto r = make_rig(5);  // USB 2700 Hz at 96 kHz: 23.4375 Hz per bin
    const double* h = published_response(*r->signal);
    EXPECT_LT(magnitude_at(h, 0), 0.02);
    EXPECT_NEAR(magnitude_at(h, 43), 1.0, 0.01);   // 1008 Hz
    EXPECT_NEAR(magnitude_at(h, 110), 1.0, 0.01);  // 2578 Hz
    EXPECT_LT(magnitude_at(h, 140), 1e-4);         // 3281 Hz
    // Linear phase with the centre tap at 1024: bin j is turned by -j pi / 2.
    EXPECT_NEAR(h[2 * 44] / magnitude_at(h, 44), 1.0, 1e-3);
    EXPECT_NEAR(h[2 * 45 + 1] / magnitude_at(h, 45), -1.0, 1e-3);
}

TEST(BandFilter, LowCutoffMovesTheLowerEdge) {
    auto r = make_rig(5);
    const double at_150hz = magnitude_at(published_response(*r->signal), 6);  // 140.6 Hz
    r->signal->low_cutoff_hz = 300;
    rebuild_filter(*r->signal, *r->modes);
    EXPECT_EQ(r->signal->passband_low_hz, 300);
    EXPECT_GT(at_150hz, 0.9);
    EXPECT_LT(magnitude_at(published_response(*r->signal), 6), 0.05);
}

TEST(BandFilter, RebuildLeavesTheCycleTransformTablesAlone) {
    auto r = make_rig(5);
    for (int32_t i = 0; i < fft_ip_size; ++i) r->signal->fft_ip[i] = 1000 + i;
    r->signal->fft_w[5] = 42.0;
    rebuild_filter(*r->signal, *r->modes);
    for (int32_t i = 0; i < fft_ip_size; ++i) ASSERT_EQ(r->signal->fft_ip[i], 1000 + i);
    EXPECT_EQ(r->signal->fft_w[5], 42.0);
}
