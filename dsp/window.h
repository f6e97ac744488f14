#pragma once
// The five window functions of length block_size (periodic forms: w(block_size) would equal
// w(0)) and the conversion of a complex spectrum to dB.
//   type 0 Rectangular, 1 Hanning, 2 Hamming, 3 Blackman, 4 Blackman Harris.
#include <cstdint>

constexpr int32_t window_type_count = 5;

// w(i) for i = 0..block_size-1 (0 for a type outside 0..4 or i outside the window).
double window_value(int32_t type, int32_t i);

// dst[i] = w(i) x src[i] for i = 0..block_size-1, in double precision. The count is ignored:
// always block_size elements. src and dst may be the same array. Type 0 copies; a type
// outside 0..4 writes nothing.
void apply_window(int32_t type, int32_t count, const double* src, double* dst);
// As apply_window, stored as float.
void apply_window_f(int32_t type, int32_t count, const float* src, float* dst);

// out[i] = 10 log10(s (re_i^2 + im_i^2)) for i = 0..count-1, with s = sample_rate / fft_size
// (integer division: 23 at 96 kHz, 11 at 48 kHz). A bin of zero power gives -infinity.
void power_db(const double* spectrum, int32_t sample_rate, double* out, int32_t count);
