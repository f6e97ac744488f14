#include "dsp/gain.h"

float find_audio_peak(const float* audio, int32_t n) {
    float peak = 0.0f;
    for (int32_t i = 0; i < n; ++i)
        if (audio[i] > peak) peak = audio[i];
    return peak;
}

float compute_output_gain(float audio_peak, bool agc_on, float agc_gain_limit, bool cw_mode) {
    if (!agc_on) return cw_mode ? static_cast<float>(agc_gain_limit * 3.0) : agc_gain_limit;
    float gain = audio_peak == 0.0f ? 1.0f : static_cast<float>(0.36 / audio_peak);
    if (gain > agc_gain_limit) gain = agc_gain_limit;
    return gain;
}
