#include "dsp/window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/sizes.h"

TEST(Window, EndAndCentreValuesOfAllFive) {
    const double w0[window_type_count] = {1.0, 0.0, 0.08, 0.0, 0.00006};
    for (int32_t t = 0; t < window_type_count; ++t) {
        EXPECT_NEAR(window_value(t, 0), w0[t], 1e-12) << "type " << t;
        EXPECT_NEAR(window_value(t, 1024), 1.0, 1e-12) << "type " << t;
    }
}

TEST(Window, PeriodicFormIsNotSymmetricAtTheLastSample) {
    // w(2047) equals w(1), not w(0).
    for (int32_t t = 1; t < window_type_count; ++t)
        EXPECT_NEAR(window_value(t, 2047), window_value(t, 1), 1e-12);
    EXPECT_NEAR(window_value(1, 2047), 0.5 - 0.5 * std::cos(2.0 * M_PI / 2048), 1e-15);
    EXPECT_GT(window_value(1, 2047), 2e-6);
}

TEST(Window, RectangularCopiesInPlaceAndOutOfPlace) {
    std::vector<double> src(block_size), dst(block_size, -7.0);
    for (int32_t i = 0; i < block_size; ++i) src[i] = 0.001 * i - 0.5;
    std::vector<double> in_place = src;
    apply_window(0, block_size, src.data(), dst.data());
    apply_window(0, block_size, in_place.data(), in_place.data());
    EXPECT_EQ(dst, src);
    EXPECT_EQ(in_place, src);
}

TEST(Window, TypeOutsideRangeWritesNothing) {
    std::vector<double> src(block_size, 1.0), dst(block_size, 3.0);
    std::vector<float> fsrc(block_size, 1.0f), fdst(block_size, 3.0f);
    for (int32_t t : {-1, 5, 99}) {
        apply_window(t, block_size, src.data(), dst.data());
        apply_window_f(t, block_size, fsrc.data(), fdst.data());
    }
    EXPECT_EQ(dst, std::vector<double>(block_size, 3.0));
    EXPECT_EQ(fdst, std::vector<float>(block_size, 3.0f));
}

TEST(Window, CountIsIgnoredAndFloatVariantMatches) {
    std::vector<double> src(block_size, 2.0), dst(block_size, 0.0);
    std::vector<float> fsrc(block_size, 2.0f), fdst(block_size, 0.0f);
    apply_window(1, 10, src.data(), dst.data());
    apply_window_f(1, 10, fsrc.data(), fdst.data());
    for (int32_t i : {0, 11, 512, 1024, 2047}) {
        EXPECT_DOUBLE_EQ(dst[i], 2.0 * window_value(1, i));
        EXPECT_EQ(fdst[i], static_cast<float>(2.0 * window_value(1, i)));
    }
}

TEST(PowerDb, ScaleIsTheIntegerBinWidth) {
    const double spectrum[4] = {3.0, 4.0, 0.0, 0.0};  // power 25, then a zero bin
    double out[2];
    power_db(spectrum, 96000, out, 2);
    EXPECT_NEAR(out[0], 10.0 * std::log10(23.0 * 25.0), 1e-12);
    EXPECT_EQ(out[1], -std::numeric_limits<double>::infinity());
    double out48[1];
    power_db(spectrum, 48000, out48, 1);
    EXPECT_NEAR(out[0] - out48[0], 10.0 * std::log10(23.0 / 11.0), 1e-12);
    EXPECT_NEAR(out[0] - out48[0], 3.2, 0.01);
}

TEST(PowerDb, WritesOnlyCountEntries) {
    const double spectrum[6] = {1.0, 0.0, 1.0, 0.0, 1.0, 0.0};
    double out[3] = {5.0, 5.0, 5.0};
    power_db(spectrum, 96000, out, 2);
    EXPECT_EQ(out[2], 5.0);
}
