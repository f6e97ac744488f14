#include "app/demo/demo_level.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "display/readouts.h"
#include "dsp/fft.h"
#include "dsp/receive_mode.h"
#include "dsp/window.h"

namespace {

constexpr int32_t demo_rate = 96000;
// The window every mode starts with.
const int32_t default_window = mode_table_defaults[0].func;

// power_db of a bin of power p: the receiver's scaling of bin power to dB.
double bin_power_db(double p) {
    const double bin[2] = {std::sqrt(p), 0.0};
    double db = 0;
    power_db(bin, demo_rate, &db, 1);
    return db;
}

}  // namespace

double block_peak_db(level_meter& m, const float* re, const float* im) {
    for (int32_t k = 0; k < block_size; ++k) {
        m.re[k] = re[k];
        m.im[k] = im[k];
    }
    apply_window(default_window, block_size, m.re, m.re);
    apply_window(default_window, block_size, m.im, m.im);
    for (int32_t k = 0; k < block_size; ++k) {
        m.spectrum[2 * k] = m.re[k];
        m.spectrum[2 * k + 1] = m.im[k];
    }
    std::fill(m.spectrum + 2 * block_size, m.spectrum + fft_doubles, 0.0);
    complex_fft(fft_doubles, -1, m.spectrum, m.fft_ip, m.fft_w);
    power_db(m.spectrum, demo_rate, m.db, fft_size);
    return *std::max_element(m.db, m.db + fft_size);
}

double spectrum_db_for_reading(double dbuemf) {
    return dbuemf - s_meter_offset_db;
}

double reading_for_spectrum_db(double db) {
    return db + s_meter_offset_db;
}

double tone_amplitude(level_meter& m, double dbuemf) {
    // A unit tone on bin 2048 + 100 (any whole bin gives the same level).
    std::vector<float> re(block_size), im(block_size);
    for (int32_t k = 0; k < block_size; ++k) {
        const double phase = 2.0 * std::numbers::pi * double((100 * k) % fft_size) / fft_size;
        re[k] = float(std::cos(phase));
        im[k] = float(std::sin(phase));
    }
    const double unit_db = block_peak_db(m, re.data(), im.data());
    return std::pow(10.0, (spectrum_db_for_reading(dbuemf) - unit_db) / 20.0);
}

double noise_sigma(double mean_db) {
    // Mean bin power of the windowed transform of white noise: variance x sum of w^2.
    double w2 = 0;
    for (int32_t k = 0; k < block_size; ++k)
        w2 += window_value(default_window, k) * window_value(default_window, k);
    const double variance = std::pow(10.0, (mean_db - bin_power_db(1.0)) / 10.0) / w2;
    return std::sqrt(variance / 2.0);
}
