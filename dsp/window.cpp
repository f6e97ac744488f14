#include "dsp/window.h"

#include <cmath>
#include <numbers>

#include "dsp/sizes.h"

namespace {

double window_formula(int32_t type, int32_t i) {
    const double x = 2.0 * std::numbers::pi * i / block_size;
    switch (type) {
        case 0:
            return 1.0;
        case 1:
            return 0.5 - 0.5 * std::cos(x);
        case 2:
            return 0.54 - 0.46 * std::cos(x);
        case 3:
            return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x);
        case 4:
            return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2.0 * x) -
                   0.01168 * std::cos(3.0 * x);
        default:
            return 0.0;
    }
}

// The windows are tabulated once, so a block costs one multiplication per sample.
struct window_tables {
    double w[window_type_count][block_size];
    window_tables() {
        for (int32_t t = 0; t < window_type_count; ++t)
            for (int32_t i = 0; i < block_size; ++i) w[t][i] = window_formula(t, i);
    }
};

const window_tables& tables() {
    static const window_tables t;  // built on first use; no heap allocation
    return t;
}

bool valid_type(int32_t type) {
    return type >= 0 && type < window_type_count;
}

}  // namespace

double window_value(int32_t type, int32_t i) {
    if (!valid_type(type) || i < 0 || i >= block_size) return 0.0;
    return tables().w[type][i];
}

void apply_window(int32_t type, int32_t /*count*/, const double* src, double* dst) {
    if (!valid_type(type)) return;
    const double* w = tables().w[type];
    for (int32_t i = 0; i < block_size; ++i) dst[i] = w[i] * src[i];
}

void apply_window_f(int32_t type, int32_t /*count*/, const float* src, float* dst) {
    if (!valid_type(type)) return;
    const double* w = tables().w[type];
    for (int32_t i = 0; i < block_size; ++i) dst[i] = static_cast<float>(w[i] * src[i]);
}

void power_db(const double* spectrum, int32_t sample_rate, double* out, int32_t count) {
    const double s = sample_rate / fft_size;
    for (int32_t i = 0; i < count; ++i) {
        const double re = spectrum[2 * i], im = spectrum[2 * i + 1];
        out[i] = 10.0 * std::log10(s * (re * re + im * im));
    }
}
