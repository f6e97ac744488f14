#include "dsp/sideband.h"

#include <cstring>

#include "dsp/sizes.h"

void rotate_spectrum(const double* src, double* dst) {
    constexpr size_t half = sizeof(double) * fft_size;  // 2048 complex values
    std::memcpy(dst, src + fft_size, half);
    std::memcpy(dst + fft_size, src, half);
}

void take_sideband(const double* centred, int32_t t, int32_t n, bool usb, double* passband) {
    n = bin_count_in_range(n);
    for (int32_t j = 0; j < n; ++j) {
        const int64_t m = usb ? int64_t(t) + j : int64_t(t) - j;
        double re = 0.0, im = 0.0;
        if (m >= 0 && m < fft_size) {
            re = centred[2 * m];
            im = centred[2 * m + 1];
        }
        passband[2 * j] = usb ? re : im;
        passband[2 * j + 1] = usb ? im : re;
    }
}

int32_t compute_passband_bin_count(bool cw, int32_t band_width, int32_t sample_rate) {
    if (sample_rate <= 0) return 0;
    const int64_t n = (cw ? 40 : 20) + (int64_t(band_width) * fft_size) / sample_rate;
    return n < 0 ? 0 : (n > fft_size ? fft_size : int32_t(n));
}
