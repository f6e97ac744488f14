// Transform kernels for any CPU: one complex value per vector.
#include "dsp/fft_isa.h"

namespace {

struct V {
    double r, i;
};
constexpr int32_t W = 1;

[[gnu::always_inline]] inline V load(const double* p) {
    return {p[0], p[1]};
}
[[gnu::always_inline]] inline void store(double* p, V v) {
    p[0] = v.r;
    p[1] = v.i;
}
[[gnu::always_inline]] inline V add(V a, V b) {
    return {a.r + b.r, a.i + b.i};
}
[[gnu::always_inline]] inline V sub(V a, V b) {
    return {a.r - b.r, a.i - b.i};
}

template <bool fwd>
[[gnu::always_inline]] inline V mul(V a, const double* w) {
    const double wr = w[0], wi = w[8];
    if (fwd) return {a.r * wr - a.i * wi, a.r * wi + a.i * wr};
    return {a.r * wr + a.i * wi, a.i * wr - a.r * wi};
}

template <bool fwd>
[[gnu::always_inline]] inline void rot_pm(V a, V d, V& p, V& m) {
    // -i d = (d.i, -d.r); +i d = (-d.i, d.r)
    if (fwd) {
        p = {a.r + d.i, a.i - d.r};
        m = {a.r - d.i, a.i + d.r};
    } else {
        p = {a.r - d.i, a.i + d.r};
        m = {a.r + d.i, a.i - d.r};
    }
}

[[gnu::always_inline]] inline void transpose4(V (&v)[4][4]) {
#pragma GCC unroll 4
    for (int32_t r = 0; r < 4; ++r)
#pragma GCC unroll 4
        for (int32_t c = r + 1; c < 4; ++c) {
            const V t = v[r][c];
            v[r][c] = v[c][r];
            v[c][r] = t;
        }
}

#include "dsp/fft_kernels.h"

}  // namespace

void fft_run_scalar(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip) {
    run(a, N, fwd, w, ip);
}
