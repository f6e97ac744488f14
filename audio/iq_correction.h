#pragma once
// Gain and phase correction of one block of stereo card input (left = I, right = Q).
// The receiver's audio callback and the offline demodulator share this arithmetic, so
// both turn the same card samples into the same complex block.
//
// For each frame, in double precision:
//   a = g x L                                   (g = rf_gain x iq_gain_factor)
//   b = (rf_gain x R + phase_sin x a) x phase_sec
// and the complex sample is b + i a; with `reverse` it is a + i b. The phase correction
// always adds a multiple of the left sample to the right one, whichever way `reverse` is set.
#include <cstddef>
#include <cstdint>

#include "dsp/handoff.h"
#include "dsp/sizes.h"

// The left-channel gain: the integer RF gain times the I/Q amplitude balance.
inline double iq_left_gain(int32_t rf_gain, double iq_gain_factor) {
    return double(rf_gain) * iq_gain_factor;
}

// block_size frames; left[k * stride] and right[k * stride] are the samples of frame k.
inline void correct_iq_strided(const float* left, const float* right, size_t stride, double g,
                               int32_t rf_gain, double phase_sin, double phase_sec, bool reverse,
                               iq_block& out) {
    const double rf = double(rf_gain);
    double* a_out = reverse ? out.re : out.im;
    double* b_out = reverse ? out.im : out.re;
    for (int32_t k = 0; k < block_size; ++k) {
        const double a = g * double(left[k * stride]);
        const double b = (rf * double(right[k * stride]) + phase_sin * a) * phase_sec;
        a_out[k] = a;
        b_out[k] = b;
    }
}

// Interleaved input: block_size frames of (left, right).
inline void correct_iq(const float* interleaved, double g, int32_t rf_gain, double phase_sin,
                       double phase_sec, bool reverse, iq_block& out) {
    correct_iq_strided(interleaved, interleaved + 1, 2, g, rf_gain, phase_sin, phase_sec, reverse,
                       out);
}

// Separate channels: block_size samples each.
inline void correct_iq_planar(const float* left, const float* right, double g, int32_t rf_gain,
                              double phase_sin, double phase_sec, bool reverse, iq_block& out) {
    correct_iq_strided(left, right, 1, g, rf_gain, phase_sin, phase_sec, reverse, out);
}
