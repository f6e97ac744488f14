// FFT engine entry: lazy table build, small sizes, and the choice of kernel variant.
#include "dsp/fft.h"

#include <cmath>

#include "dsp/fft_isa.h"

namespace {

int32_t log2_of(int32_t N) {
    int32_t B = 0;
    while ((int32_t{1} << B) < N) ++B;
    return B;
}

// exp(-2 pi i e / L), L a multiple of 8, stored as the pairs (re, re) at out and (im, im) at
// out + 8. The angle is folded into the first octant so that cos and sin only ever see
// arguments in [0, pi/4].
void unit_root(int32_t e, int32_t L, double* out) {
    const double quarter_pi = std::atan(1.0);
    e %= L;
    const int32_t e8 = L / 8, octant = e / e8, r = e % e8;
    const double f = quarter_pi * ((octant & 1) ? e8 - r : r) / e8;
    const double c = std::cos(f), s = std::sin(f);
    double re = 0, im = 0;  // exp(+i theta)
    switch (octant) {
        case 0:
            re = c, im = s;
            break;
        case 1:
            re = s, im = c;
            break;
        case 2:
            re = -s, im = c;
            break;
        case 3:
            re = -c, im = s;
            break;
        case 4:
            re = -c, im = -s;
            break;
        case 5:
            re = -s, im = -c;
            break;
        case 6:
            re = s, im = -c;
            break;
        default:
            re = c, im = -s;
            break;
    }
    out[0] = out[1] = re;
    out[8] = out[9] = -im;
}

// Builds the twiddle rows and the bit-reversal table for n doubles (N = n/2 >= 16).
void build_table(int32_t N, int32_t* ip, double* w) {
    const int32_t B = log2_of(N);
    const int32_t top = (B & 1) ? 2 * N : N;  // largest radix-4 stage [points]
    for (int32_t L = 16; L <= top; L *= 4) {
        double* t = w + fft_stage_offset(L);
        const int32_t m = L / 4;
        for (int32_t k = 0; k < m; ++k)
            for (int32_t e = 1; e <= 3; ++e)
                unit_root(e * k, L, t + 4 * (e - 1) * m + fft_twiddle(k));
    }
    const int32_t K = (B - 4 + 1) / 2;
    ip[1] = K;
    for (int32_t x = 0; x < (1 << K); ++x) {
        int32_t r = 0;
        for (int32_t b = 0; b < K; ++b) r |= ((x >> b) & 1) << (K - 1 - b);
        ip[2 + x] = r;
    }
}

struct cplx {
    double r, i;
};
cplx operator+(cplx a, cplx b) {
    return {a.r + b.r, a.i + b.i};
}
cplx operator-(cplx a, cplx b) {
    return {a.r - b.r, a.i - b.i};
}
cplx rot(cplx d, bool fwd) {
    return fwd ? cplx{d.i, -d.r} : cplx{-d.i, d.r};
}  // -i d or +i d

// 4-point transform of x[0], x[s], x[2s], x[3s] into y[0], y[t], y[2t], y[3t].
void dft4(const cplx* x, int32_t s, cplx* y, int32_t t, bool fwd) {
    const cplx u0 = x[0] + x[2 * s], u1 = x[s] + x[3 * s];
    const cplx v0 = x[0] - x[2 * s], d = rot(x[s] - x[3 * s], fwd);
    y[0] = u0 + u1;
    y[2 * t] = u0 - u1;
    y[t] = v0 + d;
    y[3 * t] = v0 - d;
}

// N = 2, 4, 8 points, straight-line, no table.
void small_fft(int32_t N, bool fwd, double* a) {
    cplx* x = reinterpret_cast<cplx*>(a);
    if (N == 2) {
        const cplx x0 = x[0], x1 = x[1];
        x[0] = x0 + x1;
        x[1] = x0 - x1;
    } else if (N == 4) {
        cplx y[4];
        dft4(x, 1, y, 1, fwd);
        for (int32_t k = 0; k < 4; ++k) x[k] = y[k];
    } else {
        // Even and odd outputs from the 4-point transforms of x[k] +- x[k+4] (times w8^k).
        constexpr double h = 0.70710678118654752440;  // sqrt(1/2)
        const double s = fwd ? -1.0 : 1.0;
        cplx e[4], o[4];
        for (int32_t k = 0; k < 4; ++k) {
            e[k] = x[k] + x[k + 4];
            o[k] = x[k] - x[k + 4];
        }
        o[1] = {h * (o[1].r - s * o[1].i), h * (o[1].i + s * o[1].r)};
        o[2] = rot(o[2], fwd);
        o[3] = {-h * (o[3].r + s * o[3].i), h * (s * o[3].r - o[3].i)};
        dft4(e, 1, x, 2, fwd);
        dft4(o, 1, x + 1, 2, fwd);
    }
}

bool cpu_has(fft_isa isa) {
    switch (isa) {
        case fft_isa::avx512:
            return __builtin_cpu_supports("avx512f");
        case fft_isa::avx2:
            return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        default:
            return true;
    }
}

}  // namespace

bool fft_isa_available(fft_isa isa) {
    static const bool has[3] = {true, cpu_has(fft_isa::avx2), cpu_has(fft_isa::avx512)};
    return has[static_cast<int32_t>(isa)];
}

fft_isa fft_isa_selected() {
    if (fft_isa_available(fft_isa::avx512)) return fft_isa::avx512;
    if (fft_isa_available(fft_isa::avx2)) return fft_isa::avx2;
    return fft_isa::scalar;
}

const char* fft_isa_name(fft_isa isa) {
    switch (isa) {
        case fft_isa::avx512:
            return "avx512";
        case fft_isa::avx2:
            return "avx2";
        default:
            return "scalar";
    }
}

void complex_fft_isa(fft_isa isa, int32_t n, int32_t sign, double* data, int32_t* fft_ip,
                     double* fft_w) {
    if (n < 4 || (n & (n - 1)) != 0) return;  // not a size this transform has
    const int32_t N = n / 2;
    if (n > 4 * fft_ip[0]) {
        if (N >= 16) build_table(N, fft_ip, fft_w);
        fft_ip[0] = n / 4;
    }
    const bool fwd = sign < 0;
    if (N < 16) {
        small_fft(N, fwd, data);
        return;
    }
    switch (isa) {
        case fft_isa::avx512:
            fft_run_avx512(data, N, fwd, fft_w, fft_ip);
            break;
        case fft_isa::avx2:
            fft_run_avx2(data, N, fwd, fft_w, fft_ip);
            break;
        default:
            fft_run_scalar(data, N, fwd, fft_w, fft_ip);
            break;
    }
}

void complex_fft(int32_t n, int32_t sign, double* data, int32_t* fft_ip, double* fft_w) {
    static const fft_isa isa = fft_isa_selected();
    complex_fft_isa(isa, n, sign, data, fft_ip, fft_w);
}
