#include "dsp/band_filter.h"

#include <cmath>
#include <numbers>

#include "dsp/fft.h"
#include "dsp/window.h"

band_filter make_band_filter(int32_t window_type) {
    return {window_type, fft_size};
}

double transition_factor(int32_t window_type) {
    switch (window_type) {
        case 0:
            return 0.9;
        case 1:
            return 3.1;
        case 3:
            return 5.5;
        default:
            return 3.3;
    }
}

double half_transition_width(const band_filter& f, int32_t n, int32_t fs) {
    return (transition_factor(f.window_type) / n) * fs * 0.5;
}

void design_taps(const band_filter& f, int32_t fs, double* taps, int32_t n, int32_t low,
                 int32_t high) {
    const double h = half_transition_width(f, n, fs);  // [Hz]
    const double f_hi = (high + h) / fs;
    const double f_lo = (low - h >= 0) ? (low - h) / fs : h / fs;
    constexpr double pi = std::numbers::pi;
    for (int32_t k = 0; k < n; ++k) {
        const int32_t i = k - n / 2;
        taps[k] = (i == 0)
                      ? 2.0 * (f_hi - f_lo)
                      : (std::sin(2.0 * pi * i * f_hi) - std::sin(2.0 * pi * i * f_lo)) / (pi * i);
    }
}

void compute_response(const band_filter& f, double* taps, int32_t n, double* response,
                      int32_t* fft_ip, double* fft_w) {
    // The response array holds fft_size points; any other size that is not a power of two
    // up to that is taken as fft_size.
    const int32_t t = f.transform_size;
    const int32_t size = (t >= 2 && t <= fft_size && (t & (t - 1)) == 0) ? t : fft_size;
    if (n > size) n = size;
    apply_window(f.window_type, n, taps, taps);
    for (int32_t k = 0; k < size; ++k) {
        response[2 * k] = k < n ? taps[k] : 0.0;
        response[2 * k + 1] = 0.0;
    }
    complex_fft(2 * size, -1, response, fft_ip, fft_w);
}
