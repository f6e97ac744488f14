#pragma once
// In-place complex FFT on interleaved doubles, natural order, unnormalised.
//   n     number of doubles (2 x points), a power of two >= 4
//   sign  >= 0: X[k] = sum x[j] exp(+2 pi i jk/N);  < 0: exp(-2 pi i jk/N)
//   fft_ip work area; fft_ip[0] = table size in units of n/4 (0: no table yet). When
//          n > 4 fft_ip[0] the table is rebuilt for n/4 before transforming.
//   fft_w  table of at least n/4 doubles.
// No allocation. Not thread-safe across a table rebuild on the same fft_ip/fft_w.
#include <cstdint>

void complex_fft(int32_t n, int32_t sign, double* data, int32_t* fft_ip, double* fft_w);

// Work-area sizes that serve every transform up to n = 8192 doubles.
constexpr int32_t fft_ip_size = 128;
constexpr int32_t fft_w_size = 2048;
