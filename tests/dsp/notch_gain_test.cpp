#include <gtest/gtest.h>

#include <vector>

#include "dsp/gain.h"
#include "dsp/notch.h"
#include "dsp/sizes.h"
#include "dsp_harness.h"

namespace {

// Indices of the bins that a notch clears in an all-ones pass band of n bins.
std::vector<int32_t> cleared_bins(notch_bins notch, int32_t n) {
    std::vector<double> f(fft_doubles, 1.0);
    apply_notch(notch, n, f.data());
    std::vector<int32_t> cleared;
    for (int32_t j = 0; j < fft_size; ++j) {
        if (f[2 * j] == 0.0 && f[2 * j + 1] == 0.0)
            cleared.push_back(j);
        else if (f[2 * j] != 1.0 || f[2 * j + 1] != 1.0)
            ADD_FAILURE() << "bin " << j << " half cleared";
    }
    return cleared;
}

std::vector<int32_t> range(int32_t first, int32_t last) {
    std::vector<int32_t> v;
    for (int32_t j = first; j <= last; ++j) v.push_back(j);
    return v;
}

}  // namespace

TEST(Notch, BinsAtBothRatesCoverTheSameBand) {
    EXPECT_EQ(cleared_bins(compute_notch_bins(false, 400, 16), 282), range(100, 131));
    EXPECT_EQ(cleared_bins(compute_notch_bins(true, 400, 16), 142), range(50, 65));
    EXPECT_EQ(cleared_bins(compute_notch_bins(true, 401, 1), 142), range(49, 49));  // truncating
}

TEST(Notch, StopsAtThePassBandLimit) {
    EXPECT_TRUE(cleared_bins(compute_notch_bins(false, 221, 16), 250).empty());  // starts at 279
    EXPECT_EQ(cleared_bins(compute_notch_bins(false, 300, 140), 250), range(200, 249));
    EXPECT_TRUE(cleared_bins(compute_notch_bins(true, 400, 16), 50).empty());
}

TEST(Notch, PositionBeyondTheTunedFrequencyNeverWritesBelowBinZero) {
    EXPECT_EQ(cleared_bins(compute_notch_bins(true, 520, 16), 142), range(0, 5));
    EXPECT_TRUE(cleared_bins(compute_notch_bins(false, 900, 16), 282).empty());
}

TEST(Notch, RemovesATone) {
    struct tone_case {
        double bin;
        double min_db;
    };
    // On the bin grid the notch removes the tone entirely; between grid bins the blanked
    // bins leave some of the tone's leakage.
    for (tone_case c : {tone_case{58.0, 100.0}, tone_case{57.5, 25.0}, tone_case{60.8, 25.0}}) {
        auto plain = make_rig(5);
        auto notched = make_rig(5);
        notched->signal->notch_on = 1;
        notched->signal->notch_position = 400;  // bins 50..65 at 96 kHz
        notched->signal->notch_span = 16;
        const auto a = run_tones(*plain, {{c.bin, 1.0, 0.3}}, 8);
        const auto b = run_tones(*notched, {{c.bin, 1.0, 0.3}}, 8);
        const size_t from = 4 * block_size;
        EXPECT_GT(db(rms(a, from, 4 * block_size) / rms(b, from, 4 * block_size)), c.min_db)
            << "tone " << c.bin;
    }
}

TEST(Notch, LeavesAToneOutsideTheNotch) {
    auto plain = make_rig(5);
    auto notched = make_rig(5);
    notched->signal->notch_on = 1;
    notched->signal->notch_position = 400;
    const auto a = run_tones(*plain, {{90.0, 1.0, 0.3}}, 8);
    const auto b = run_tones(*notched, {{90.0, 1.0, 0.3}}, 8);
    EXPECT_NEAR(rms(b, 4 * block_size, 4 * block_size) / rms(a, 4 * block_size, 4 * block_size),
                1.0, 1e-3);
}

TEST(Gain, AgcFigures) {
    EXPECT_EQ(compute_output_gain(0.0036f, true, 70.0f, false), 70.0f);  // 100 limited
    EXPECT_EQ(compute_output_gain(0.5f, true, 70.0f, false), 0.72f);
    EXPECT_EQ(compute_output_gain(0.0f, true, 70.0f, false), 1.0f);
    EXPECT_EQ(compute_output_gain(0.0f, true, 0.5f, false), 0.5f);  // the limit caps even that
}

TEST(Gain, ManualGainIsTheLimitTripledInCw) {
    EXPECT_EQ(compute_output_gain(0.5f, false, 70.0f, true), 210.0f);
    EXPECT_EQ(compute_output_gain(0.5f, false, 70.0f, false), 70.0f);
    EXPECT_EQ(compute_output_gain(0.0f, false, 10.0f, false), 10.0f);
}

TEST(Gain, PeakIsTheLargestPositiveSample) {
    const float block[4] = {-0.9f, 0.2f, 0.1f, -0.3f};
    EXPECT_EQ(find_audio_peak(block, 4), 0.2f);
    const float negative[3] = {-0.9f, -0.2f, -0.1f};
    EXPECT_EQ(find_audio_peak(negative, 3), 0.0f);
}

TEST(Gain, CycleUsesTheManualGainWithAgcOff) {
    auto r = make_rig(3);
    r->modes->agc_on = 0;
    run_tones(*r, {{40.0, 0.5, 0.0}}, 2);
    EXPECT_EQ(r->out->gain, 210.0f);
    r->signal->agc_gain_limit = 100.0f;
    run_tones(*r, {{40.0, 0.5, 0.0}}, 1);
    EXPECT_EQ(r->out->gain, 300.0f);
}
