#pragma once
// Sizes of the signal path.
#include <cstdint>

constexpr int32_t block_size = 2048;  // frames per audio buffer, samples per block, filter taps
constexpr int32_t fft_size = 4096;    // complex points per transform
constexpr int32_t fft_doubles = 2 * fft_size;
