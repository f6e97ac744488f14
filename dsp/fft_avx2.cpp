// Transform kernels for AVX2 with FMA: two complex values per 256-bit vector. Compiled with
// -mavx2 -mfma and only called after the CPU was found to support both.
#include <immintrin.h>

#include "dsp/fft_isa.h"

namespace {

using V = __m256d;
constexpr int32_t W = 2;

[[gnu::always_inline]] inline V load(const double* p) {
    return _mm256_loadu_pd(p);
}
[[gnu::always_inline]] inline void store(double* p, V v) {
    _mm256_storeu_pd(p, v);
}
[[gnu::always_inline]] inline V add(V a, V b) {
    return _mm256_add_pd(a, b);
}
[[gnu::always_inline]] inline V sub(V a, V b) {
    return _mm256_sub_pd(a, b);
}

template <bool fwd>
[[gnu::always_inline]] inline V mul(V a, const double* w) {
    const V wr = _mm256_loadu_pd(w), wi = _mm256_loadu_pd(w + 8);
    const V s = _mm256_mul_pd(_mm256_permute_pd(a, 0x5), wi);  // (a.i wi, a.r wi)
    return fwd ? _mm256_fmaddsub_pd(a, wr, s) : _mm256_fmsubadd_pd(a, wr, s);
}

template <bool fwd>
[[gnu::always_inline]] inline void rot_pm(V a, V d, V& p, V& m) {
    const V s = _mm256_permute_pd(d, 0x5);  // (d.i, d.r)
    const V one = _mm256_set1_pd(1.0);
    const V minus_i = _mm256_fmsubadd_pd(a, one, s);  // a - i d = (a.r + d.i, a.i - d.r)
    const V plus_i = _mm256_addsub_pd(a, s);          // a + i d = (a.r - d.i, a.i + d.r)
    p = fwd ? minus_i : plus_i;
    m = fwd ? plus_i : minus_i;
}

// v[r][g] holds columns 2g, 2g + 1 of row r; 2 x 2 sub-blocks are transposed and mirrored.
[[gnu::always_inline]] inline void transpose4(V (&v)[4][2]) {
    V t[4][2];
#pragma GCC unroll 4
    for (int32_t R = 0; R < 2; ++R)
#pragma GCC unroll 4
        for (int32_t C = 0; C < 2; ++C) {
            const V x = v[2 * R][C], y = v[2 * R + 1][C];
            t[2 * C][R] = _mm256_permute2f128_pd(x, y, 0x20);
            t[2 * C + 1][R] = _mm256_permute2f128_pd(x, y, 0x31);
        }
#pragma GCC unroll 4
    for (int32_t r = 0; r < 4; ++r)
#pragma GCC unroll 4
        for (int32_t g = 0; g < 2; ++g) v[r][g] = t[r][g];
}

#include "dsp/fft_kernels.h"

}  // namespace

void fft_run_avx2(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip) {
    run(a, N, fwd, w, ip);
}
