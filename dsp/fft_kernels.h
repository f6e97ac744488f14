// Transform kernels, written once over a small vector interface and compiled once per
// instruction set (fft_scalar.cpp, fft_avx2.cpp, fft_avx512.cpp). Each of those files defines,
// inside an anonymous namespace, before including this file:
//   V, W                   a vector of W interleaved complex values
//   load(p), store(p, v)   unaligned access to W complex values at p
//   add(a, b), sub(a, b)
//   mul<fwd>(a, w)         a * w (fwd) or a * conj(w); w points at the W twiddles' duplicated
//                          real parts, their duplicated imaginary parts follow 8 doubles on
//   rot_pm<fwd>(a, d, p, m) p = a + r d and m = a - r d, r = -i (fwd) or +i
//   transpose4(v)          transposes a 4 x 4 block of complex values, v[row][row / W]
// No include guard: included once per translation unit, inside its anonymous namespace.
//
// Algorithm: decimation in frequency. Radix-4 stages (and one radix-2 stage at the top when
// log2 N is odd) leave the spectrum in bit-reversed order; the last radix-4 stage is fused with
// the bit-reversal permutation, which moves 4 x 4 blocks of points between mirrored positions.

constexpr int32_t block_points = 1024;  // blocks up to this size [points] are done stage by stage

// One radix-4 stage over L = 4m points at a. Row 1 gets X2 w^2k, row 2 X1 w^k, row 3 X3 w^3k,
// which is what two radix-2 stages would leave (bit-reversed order throughout). M, when not 0,
// fixes m at compile time so that short stages unroll completely.
template <bool fwd, int32_t M = 0>
[[gnu::always_inline]] inline void radix4(double* a, int32_t m_arg, const double* tw) {
    const int32_t m = M ? M : m_arg;
    const double* t1 = tw;
    const double* t2 = tw + 4 * m;
    const double* t3 = tw + 8 * m;
    double* p0 = a;
    double* p1 = a + 2 * m;
    double* p2 = a + 4 * m;
    double* p3 = a + 6 * m;
    for (int32_t k = 0; k < m; k += W) {
        const int32_t j = 2 * k, t = fft_twiddle(k);
        const V x0 = load(p0 + j), x1 = load(p1 + j), x2 = load(p2 + j), x3 = load(p3 + j);
        const V u0 = add(x0, x2), u1 = add(x1, x3), v0 = sub(x0, x2), d = sub(x1, x3);
        V y2, y3;
        rot_pm<fwd>(v0, d, y2, y3);
        store(p0 + j, add(u0, u1));
        store(p1 + j, mul<fwd>(sub(u0, u1), t2 + t));
        store(p2 + j, mul<fwd>(y2, t1 + t));
        store(p3 + j, mul<fwd>(y3, t3 + t));
    }
}

// Radix-2 stage over 2h points at a with twiddles exp(-2 pi i k / 2h) at tw.
template <bool fwd>
[[gnu::always_inline]] inline void radix2(double* a, int32_t h, const double* tw) {
    double* p1 = a + 2 * h;
    for (int32_t k = 0; k < h; k += W) {
        const int32_t j = 2 * k;
        const V x0 = load(a + j), x1 = load(p1 + j);
        store(a + j, add(x0, x1));
        store(p1 + j, mul<fwd>(sub(x0, x1), tw + fft_twiddle(k)));
    }
}

// All radix-4 stages of sizes L, L/4, ..., 16 on the L points at a, stage by stage.
template <bool fwd>
[[gnu::always_inline]] inline void stages_in_block(double* a, int32_t L, const double* w) {
    for (int32_t s = L; s > 16; s /= 4) {
        const double* tw = w + fft_stage_offset(s);
        for (int32_t b = 0; b < L; b += s) radix4<fwd>(a + 2 * b, s / 4, tw);
    }
    const double* tw = w + fft_stage_offset(16);
    for (int32_t b = 0; b < L; b += 16) radix4<fwd, 4>(a + 2 * b, 4, tw);
}

// The radix-4 stages of sizes L down to 16 (L a power of four), depth first so that the
// small stages run on blocks that stay in the first-level cache.
template <bool fwd>
void stages(double* a, int32_t L, const double* w) {
    if (L <= block_points) {
        stages_in_block<fwd>(a, L, w);
        return;
    }
    const int32_t m = L / 4;
    radix4<fwd>(a, m, w + fft_stage_offset(L));
    for (int32_t q = 0; q < 4; ++q) stages<fwd>(a + 2 * q * m, m, w);
}

// The 4-point transforms of the four columns of a transposed block, natural order.
template <bool fwd>
[[gnu::always_inline]] inline void dft4_columns(V (&x)[4][4 / W], V (&y)[4][4 / W]) {
#pragma GCC unroll 4
    for (int32_t g = 0; g < 4 / W; ++g) {
        const V u0 = add(x[0][g], x[2][g]), u1 = add(x[1][g], x[3][g]);
        const V v0 = sub(x[0][g], x[2][g]), d = sub(x[1][g], x[3][g]);
        y[0][g] = add(u0, u1);
        y[2][g] = sub(u0, u1);
        rot_pm<fwd>(v0, d, y[1][g], y[3][g]);
    }
}

// Loads the block at p (rows q points apart) with its rows in the order 0, 2, 1, 3, transposes
// it and applies the last radix-4 stage down its columns. Row t of the result holds output t of
// the four 4-point transforms, already in the column order of the mirrored block.
template <bool fwd>
[[gnu::always_inline]] inline void last_stage_block(const double* p, int32_t q, V (&y)[4][4 / W]) {
    V x[4][4 / W];
    constexpr int32_t row_of_slot[4] = {0, 2, 1, 3};
#pragma GCC unroll 4
    for (int32_t s = 0; s < 4; ++s)
#pragma GCC unroll 4
        for (int32_t g = 0; g < 4 / W; ++g) x[s][g] = load(p + 2 * row_of_slot[s] * q + 2 * W * g);
    transpose4(x);
    dft4_columns<fwd>(x, y);
}

[[gnu::always_inline]] inline void store_block(double* p, int32_t q, V (&y)[4][4 / W]) {
#pragma GCC unroll 4
    for (int32_t t = 0; t < 4; ++t)
#pragma GCC unroll 4
        for (int32_t g = 0; g < 4 / W; ++g) store(p + 2 * t * q + 2 * W * g, y[t][g]);
}

// Last radix-4 stage fused with the bit reversal. A point index is (a, mid, b): a the top two
// bits, b the bottom two, mid the B - 4 bits between. The 4 x 4 block at mid and the one at
// rev(mid) trade places, each transposed, with their rows and columns bit-reversed.
template <bool fwd>
void last_stage_and_reorder(double* a, int32_t N, int32_t B, const int32_t* ip) {
    const int32_t q = N / 4;  // row stride [points]
    const int32_t mb = B - 4, h = mb / 2, hh = mb - h, K = ip[1];
    const int32_t* rev = ip + 2;
    for (int32_t hi = 0; hi < (1 << hh); ++hi) {
        const int32_t rhi = rev[hi] >> (K - hh);
        for (int32_t lo = 0; lo < (1 << h); ++lo) {
            const int32_t mid = (hi << h) | lo;
            const int32_t rmid = ((rev[lo] >> (K - h)) << hh) | rhi;
            if (rmid < mid) continue;
            double* pm = a + 8 * mid;
            double* pr = a + 8 * rmid;
            V y[4][4 / W];
            last_stage_block<fwd>(pm, q, y);
            if (rmid == mid) {
                store_block(pm, q, y);
            } else {
                V z[4][4 / W];
                last_stage_block<fwd>(pr, q, z);
                store_block(pr, q, y);
                store_block(pm, q, z);
            }
        }
    }
}

template <bool fwd>
void transform(double* a, int32_t N, const double* w, const int32_t* ip) {
    int32_t B = 0;
    while ((int32_t{1} << B) < N) ++B;
    if (B & 1) {
        // Radix-2 top stage; its twiddles exp(-2 pi i k/N) are the e = 2 row of stage 2N.
        const int32_t h = N / 2;
        radix2<fwd>(a, h, w + fft_stage_offset(2 * N) + 4 * (2 * N / 4));
        stages<fwd>(a, h, w);
        stages<fwd>(a + 2 * h, h, w);
    } else {
        stages<fwd>(a, N, w);
    }
    last_stage_and_reorder<fwd>(a, N, B, ip);
}

[[gnu::always_inline]] inline void run(double* a, int32_t N, bool fwd, const double* w,
                                       const int32_t* ip) {
    if (fwd)
        transform<true>(a, N, w, ip);
    else
        transform<false>(a, N, w, ip);
}
