#pragma once
// In-place complex FFT on interleaved doubles, natural order, unnormalised.
//   n     number of doubles (2 x points), a power of two >= 4
//   sign  >= 0: X[k] = sum x[j] exp(+2 pi i jk/N);  < 0: exp(-2 pi i jk/N)
//   fft_ip work area; fft_ip[0] = table size in units of n/4 (0: no table yet). When
//          n > 4 fft_ip[0] the table is rebuilt for n/4 before transforming. Elements 1 and
//          up hold the bit-reversal table: at least 2 + sqrt(n/2) ints.
//   fft_w  twiddle table, fft_w_needed(n) doubles (2n - 16 or 4n - 16, see below).
// Any other n (not a power of two, or below 4) leaves data and the work areas untouched.
// No allocation. Not thread-safe across a table rebuild on the same fft_ip/fft_w; calls with
// an already built table only read fft_ip and fft_w.
#include <cstdint>

void complex_fft(int32_t n, int32_t sign, double* data, int32_t* fft_ip, double* fft_w);

// Doubles of fft_w that a table built for n doubles occupies. The table holds three twiddle
// rows per radix-4 stage up to the smallest power of four >= n/2 points, each twiddle's real
// and imaginary part stored twice so that the vector kernels load them ready to use:
// 2n - 16 doubles when log2(n) is odd (n = 8192: 16368), 4n - 16 when it is even, none for
// n <= 8.
constexpr int32_t fft_w_needed(int32_t n) {
    if (n <= 8) return 0;
    int32_t log2n = 0;
    while ((int32_t{1} << log2n) < n) ++log2n;
    return (log2n & 1) ? 2 * n - 16 : 4 * n - 16;
}

// Work-area sizes that serve every transform up to n = 8192 doubles.
constexpr int32_t fft_ip_size = 128;
constexpr int32_t fft_w_size = 16384;
static_assert(fft_w_needed(8192) <= fft_w_size && fft_w_needed(4096) <= fft_w_size);
