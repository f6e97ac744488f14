#include "dsp/fast_convolution.h"

#include <algorithm>

#include "dsp/sideband.h"
#include "dsp/sizes.h"

void apply_response(const double* response, const double* passband, int32_t n, double* filtered) {
    n = bin_count_in_range(n);
    for (int32_t j = 0; j < n; ++j) {
        const double hr = response[2 * j], hi = response[2 * j + 1];
        const double fr = passband[2 * j], fi = passband[2 * j + 1];
        filtered[2 * j] = hr * fr - hi * fi;
        filtered[2 * j + 1] = hr * fi + hi * fr;
    }
    std::fill(filtered + 2 * n, filtered + fft_doubles, 0.0);
}

void overlap_add(const double* time_domain, float* audio_block, float* audio_overlap) {
    constexpr double scale = 1.0 / fft_size;
    for (int32_t i = 0; i < fft_size; ++i)
        audio_block[i] = static_cast<float>(time_domain[2 * i] * scale);
    for (int32_t i = 0; i < block_size; ++i) {
        audio_block[i] += audio_overlap[i];
        audio_overlap[i] = audio_block[block_size + i];
    }
}
