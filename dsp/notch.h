#pragma once
// The notch: a band of audio frequencies blanked in the pass-band bins, before the bin at
// the tuned frequency is cleared and the filter applied. Because the lower sideband is
// already mirrored, it acts on audio frequency in both sidebands.
#include <cstdint>

// Bins [start, start + length) of the pass band. The position is in audio-panel pixels
// (500 = the tuned frequency, one pixel = 11.71875 Hz); at 96 kHz start = (500 - position) / 2
// (truncating) and length = span, at 48 kHz start = 500 - position and length = 2 x span, so
// both rates blank the same audio band.
struct notch_bins {
    int32_t start;
    int32_t length;
};
notch_bins compute_notch_bins(bool sampling_high, int32_t notch_position, int32_t notch_span);

// Zeroes F[j] for start <= j < start + length and j < n (never below 0 or above fft_size).
void apply_notch(notch_bins notch, int32_t n, double* passband);
