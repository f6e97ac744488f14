#include "app/demo/voice_ssb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/fft.h"
#include "dsp/sizes.h"
#include "dsp/window.h"

namespace {

constexpr int32_t taps = block_size;        // 2048
constexpr int32_t points = fft_size;        // 4096: one block plus the filter's length
constexpr int32_t blackman_harris = 4;      // window type of the receiver's table
constexpr int32_t filter_delay = taps / 2;  // [samples] of the linear-phase filter

}  // namespace

std::vector<iq_sample> analytic_band_pass(int32_t rate, double low_hz, double high_hz) {
    const double lo = low_hz / rate, hi = high_hz / rate;  // [cycles per sample]
    std::vector<iq_sample> h(taps);
    for (int32_t k = 0; k < taps; ++k) {
        const int32_t i = k - taps / 2;
        std::complex<double> v;
        if (i == 0) {
            v = 2.0 * (hi - lo);
        } else {
            // 2 x the integral of exp(2 pi j f i) df over lo..hi.
            const double a = 2.0 * std::numbers::pi * i;
            v = {(std::sin(a * hi) - std::sin(a * lo)) / (std::numbers::pi * i),
                 (std::cos(a * lo) - std::cos(a * hi)) / (std::numbers::pi * i)};
        }
        h[k] = iq_sample(v * window_value(blackman_harris, k));
    }
    return h;
}

std::vector<iq_sample> analytic_speech(const std::vector<float>& speech, int32_t rate,
                                       double low_hz, double high_hz) {
    std::vector<int32_t> ip(fft_ip_size, 0);
    std::vector<double> w(fft_w_size);
    std::vector<double> response(fft_doubles, 0.0), work(fft_doubles);

    const std::vector<iq_sample> h = analytic_band_pass(rate, low_hz, high_hz);
    for (int32_t k = 0; k < taps; ++k) {
        response[2 * k] = h[k].real();
        response[2 * k + 1] = h[k].imag();
    }
    complex_fft(fft_doubles, -1, response.data(), ip.data(), w.data());

    // Overlap-add of blocks of `taps` samples: the first half of each block's result
    // completes output positions start .. start + taps - 1 (with the tail of the previous
    // block); the second half is the tail for the next. Convolution position m is written
    // to out[m - filter_delay].
    const int64_t n = int64_t(speech.size());
    std::vector<iq_sample> out(speech.size());
    std::vector<std::complex<double>> tail(taps, 0.0);
    auto put = [&](int64_t m, std::complex<double> v) {
        const int64_t k = m - filter_delay;
        if (k >= 0 && k < n) out[size_t(k)] = iq_sample(v);
    };
    for (int64_t start = 0; start < n + filter_delay; start += taps) {
        std::fill(work.begin(), work.end(), 0.0);
        for (int64_t k = 0; k < taps && start + k < n; ++k) work[2 * k] = speech[size_t(start + k)];
        complex_fft(fft_doubles, -1, work.data(), ip.data(), w.data());
        for (int32_t j = 0; j < points; ++j) {
            const std::complex<double> x(work[2 * j], work[2 * j + 1]);
            const std::complex<double> y =
                x * std::complex<double>(response[2 * j], response[2 * j + 1]) / double(points);
            work[2 * j] = y.real();
            work[2 * j + 1] = y.imag();
        }
        complex_fft(fft_doubles, +1, work.data(), ip.data(), w.data());
        for (int32_t j = 0; j < taps; ++j) {
            put(start + j, tail[size_t(j)] + std::complex<double>(work[2 * j], work[2 * j + 1]));
            tail[size_t(j)] = {work[2 * (j + taps)], work[2 * (j + taps) + 1]};
        }
    }
    return out;
}
