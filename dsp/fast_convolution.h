#pragma once
// The frequency-domain half of the fast convolution: the filter product on the pass-band
// bins, and the overlap-add of the back-transformed block.
#include <cstdint>

// P[j] = H[j] x F[j] (complex) for j < n, and P[j] = 0 for j = n..fft_size-1, so every
// entry of filtered is written.
void apply_response(const double* response, const double* passband, int32_t n, double* filtered);

// From the inverse transform (fft_size complex points, unscaled): audio_block[i] = real part
// / fft_size as float for all fft_size samples; then audio_block[0..block_size-1] +=
// audio_overlap, and audio_overlap takes audio_block[block_size..]. audio_block[0..
// block_size-1] is then the finished audio.
void overlap_add(const double* time_domain, float* audio_block, float* audio_overlap);
