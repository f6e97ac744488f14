// Transform kernels for AVX-512F: four complex values per 512-bit vector. Compiled with
// -mavx512f and only called after the CPU (and the OS) were found to support it.
// GCC 12 reports its own _mm512_undefined_pd placeholders as maybe uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "dsp/fft_isa.h"

namespace {

using V = __m512d;
constexpr int32_t W = 4;

[[gnu::always_inline]] inline V load(const double* p) {
    return _mm512_loadu_pd(p);
}
[[gnu::always_inline]] inline void store(double* p, V v) {
    _mm512_storeu_pd(p, v);
}
[[gnu::always_inline]] inline V add(V a, V b) {
    return _mm512_add_pd(a, b);
}
[[gnu::always_inline]] inline V sub(V a, V b) {
    return _mm512_sub_pd(a, b);
}

template <bool fwd>
[[gnu::always_inline]] inline V mul(V a, const double* w) {
    const V wr = _mm512_loadu_pd(w), wi = _mm512_loadu_pd(w + 8);
    const V s = _mm512_mul_pd(_mm512_permute_pd(a, 0x55), wi);  // (a.i wi, a.r wi)
    return fwd ? _mm512_fmaddsub_pd(a, wr, s) : _mm512_fmsubadd_pd(a, wr, s);
}

template <bool fwd>
[[gnu::always_inline]] inline void rot_pm(V a, V d, V& p, V& m) {
    const V s = _mm512_permute_pd(d, 0x55);  // (d.i, d.r)
    const V one = _mm512_set1_pd(1.0);
    const V minus_i = _mm512_fmsubadd_pd(a, one, s);  // a - i d = (a.r + d.i, a.i - d.r)
    const V plus_i = _mm512_fmaddsub_pd(a, one, s);   // a + i d = (a.r - d.i, a.i + d.r)
    p = fwd ? minus_i : plus_i;
    m = fwd ? plus_i : minus_i;
}

// v[r][0] holds row r (four 128-bit complex values); transposed in two shuffle rounds.
[[gnu::always_inline]] inline void transpose4(V (&v)[4][1]) {
    const V t0 = _mm512_shuffle_f64x2(v[0][0], v[1][0], _MM_SHUFFLE(1, 0, 1, 0));
    const V t1 = _mm512_shuffle_f64x2(v[0][0], v[1][0], _MM_SHUFFLE(3, 2, 3, 2));
    const V t2 = _mm512_shuffle_f64x2(v[2][0], v[3][0], _MM_SHUFFLE(1, 0, 1, 0));
    const V t3 = _mm512_shuffle_f64x2(v[2][0], v[3][0], _MM_SHUFFLE(3, 2, 3, 2));
    v[0][0] = _mm512_shuffle_f64x2(t0, t2, _MM_SHUFFLE(2, 0, 2, 0));
    v[1][0] = _mm512_shuffle_f64x2(t0, t2, _MM_SHUFFLE(3, 1, 3, 1));
    v[2][0] = _mm512_shuffle_f64x2(t1, t3, _MM_SHUFFLE(2, 0, 2, 0));
    v[3][0] = _mm512_shuffle_f64x2(t1, t3, _MM_SHUFFLE(3, 1, 3, 1));
}

#include "dsp/fft_kernels.h"

}  // namespace

void fft_run_avx512(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip) {
    run(a, N, fwd, w, ip);
}
