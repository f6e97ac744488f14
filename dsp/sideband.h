#pragma once
// Sideband selection: the centred spectrum and the bins of the wanted sideband.
#include <cstdint>

#include "dsp/sizes.h"

// dst[m] = src[m + 2048] for m < 2048 and src[m - 2048] above (complex, fft_size points), so
// that index 2048 is the local-oscillator frequency.
void rotate_spectrum(const double* src, double* dst);

// The pass-band bins F[j], j = 0..n-1, from the centred spectrum S at tuned bin t:
// upper sideband F[j] = S[t + j]; lower sideband F[j] = (Im S[t - j], Re S[t - j]), the
// mirrored bin with its parts exchanged. Bins outside the spectrum count as zero; F[j] for
// j >= n is not written. n is limited to fft_size.
void take_sideband(const double* centred, int32_t t, int32_t n, bool usb, double* passband);

// The pass-band limit [bins]: (cw ? 40 : 20) + band_width x fft_size / sample_rate
// (truncating), kept within 0..fft_size.
int32_t compute_passband_bin_count(bool cw, int32_t band_width, int32_t sample_rate);

// Keeps a bin count within 0..fft_size.
inline int32_t bin_count_in_range(int32_t n) {
    return n < 0 ? 0 : (n > fft_size ? fft_size : n);
}
