#pragma once
// Peak and gain of the finished audio block. The AGC has no attack or decay: every block
// gets the gain computed from its own peak.
#include <cstdint>

// The largest of 0 and audio[0..n-1] (signed: the largest positive sample).
float find_audio_peak(const float* audio, int32_t n);

// AGC on: 0.36 / peak (1 for a zero peak), at most agc_gain_limit, so the played peak is 0.36
// of full scale. AGC off: agc_gain_limit, three times that in CW.
float compute_output_gain(float audio_peak, bool agc_on, float agc_gain_limit, bool cw_mode);
