// Placeholder radix-2 transform with the final contract; replaced by the fast engine.
#include "dsp/fft.h"

#include <cmath>
#include <utility>

void complex_fft(int32_t n, int32_t sign, double* a, int32_t* fft_ip, double* fft_w) {
    if (n > 4 * fft_ip[0]) fft_ip[0] = n / 4;
    const int32_t N = n / 2;
    for (int32_t i = 1, j = 0; i < N; ++i) {
        int32_t bit = N >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(a[2 * i], a[2 * j]);
            std::swap(a[2 * i + 1], a[2 * j + 1]);
        }
    }
    const double s = sign >= 0 ? 1.0 : -1.0;
    for (int32_t len = 2; len <= N; len <<= 1) {
        for (int32_t i = 0; i < N; i += len) {
            for (int32_t k = 0; k < len / 2; ++k) {
                const double ang = s * 2.0 * M_PI * k / len;
                const double wr = std::cos(ang), wi = std::sin(ang);
                double* u = a + 2 * (i + k);
                double* v = a + 2 * (i + k + len / 2);
                const double tr = v[0] * wr - v[1] * wi, ti = v[0] * wi + v[1] * wr;
                v[0] = u[0] - tr;
                v[1] = u[1] - ti;
                u[0] += tr;
                u[1] += ti;
            }
        }
    }
}
