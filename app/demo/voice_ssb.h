#pragma once
// Single sideband by the phasing method: the speech band-passed and, in quadrature, its
// Hilbert transform, made in one pass by a complex FIR filter whose real part is a
// linear-phase band-pass and whose imaginary part is the Hilbert transformer of that
// band-pass. The result is the analytic speech signal: its spectrum holds the speech band
// at positive frequencies only. Mixed up to a station's carrier it gives upper sideband;
// its complex conjugate, mixed up, gives lower sideband.
#include <complex>
#include <cstdint>
#include <vector>

using iq_sample = std::complex<float>;

// The filter's band edges [Hz] (half amplitude) for speech on the demo's stations.
constexpr double speech_low_hz = 300.0;
constexpr double speech_high_hz = 2700.0;

// 2048 complex taps for `rate`: 2 x the band between low_hz and high_hz, Blackman-Harris
// windowed; more than 90 dB down at every negative frequency and outside the band's
// transition width of about 4 x rate / 2048 Hz.
std::vector<iq_sample> analytic_band_pass(int32_t rate, double low_hz, double high_hz);

// The analytic signal of `speech` (same length, same timing: the filter's delay is taken
// out), by fast convolution with analytic_band_pass.
std::vector<iq_sample> analytic_speech(const std::vector<float>& speech, int32_t rate,
                                       double low_hz = speech_low_hz,
                                       double high_hz = speech_high_hz);
