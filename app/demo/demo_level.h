#pragma once
// Signal levels in the receiver's own terms: what its spectrum shows for a block of I/Q
// samples, and what its S-meter reads for a level, with the window of the default modes and
// the default calibration (0 dB).
#include <cstdint>

#include "dsp/fft.h"
#include "dsp/sizes.h"

// Work areas of the receiver's transform for block_size-sample blocks.
struct level_meter {
    double re[block_size];
    double im[block_size];
    double spectrum[fft_doubles];
    double db[fft_size];
    int32_t fft_ip[fft_ip_size] = {};  // [0] = 0: the table is built on first use
    double fft_w[fft_w_size];
};

// The highest level [dB] the receiver's spectrum shows for one block of block_size complex
// samples (re + i im) at 96 kHz.
double block_peak_db(level_meter& m, const float* re, const float* im);

// The spectrum level [dB] at which the S-meter reads `dbuemf`, and back.
double spectrum_db_for_reading(double dbuemf);
double reading_for_spectrum_db(double db);

// The amplitude of a complex tone centred on a spectrum bin that the S-meter reads as
// `dbuemf` during a whole block.
double tone_amplitude(level_meter& m, double dbuemf);

// The standard deviation of each part (re, im) of complex white noise whose mean power per
// spectrum bin shows as `mean_db` [dB] on the receiver's spectrum.
double noise_sigma(double mean_db);
