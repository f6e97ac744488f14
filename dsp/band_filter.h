#pragma once
// The band-pass filter of the signal path: a linear-phase windowed-sinc FIR of block_size
// taps over positive audio frequencies, and its fft_size-point frequency response, which
// the DSP cycle multiplies with the pass-band bins.
#include <cstdint>

#include "dsp/sizes.h"

struct band_filter {
    int32_t window_type = 1;            // 0..4, the window of the mode it was made for
    int32_t transform_size = fft_size;  // [points] of the response
};

band_filter make_band_filter(int32_t window_type);

// Transition factor K of a window type (the filter's transition width is K / N x fs).
double transition_factor(int32_t window_type);

// Half the transition width h = (K / n) x fs x 0.5 [Hz] of n taps at fs [Hz].
double half_transition_width(const band_filter& f, int32_t n, int32_t fs);

// Writes n taps of a band-pass from low to high [Hz] at sample rate fs [Hz]. Tap k stands for
// the time offset k - n/2. The band is widened by half a transition width h on each side; a
// low edge closer to 0 Hz than h is replaced by h.
void design_taps(const band_filter& f, int32_t fs, double* taps, int32_t n, int32_t low,
                 int32_t high);

// Windows the taps in place (the window always spans block_size taps, so the array holds at
// least that many), zero-pads them to the transform size and transforms them
// (forward) into response (2 x transform_size doubles, interleaved complex).
void compute_response(const band_filter& f, double* taps, int32_t n, double* response,
                      int32_t* fft_ip, double* fft_w);
