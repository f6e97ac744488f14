#pragma once
// Shared pieces of the signal-path tests: a receiver with one mode applied, complex tone
// blocks, a run of blocks through the cycle, and measurements of the audio.
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/handoff.h"
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"

struct dsp_rig {
    std::unique_ptr<signal_state> signal = std::make_unique<signal_state>();
    std::unique_ptr<receive_mode_state> modes = std::make_unique<receive_mode_state>();
    std::unique_ptr<iq_block> in = std::make_unique<iq_block>();
    std::unique_ptr<audio_out_block> out = std::make_unique<audio_out_block>();
    int64_t next_sample = 0;  // absolute index of the next input sample
};

// A reset receiver with mode index `mode` applied (rate and CW family from the index), the
// filter built and the tuned bin at 2048 (the local oscillator).
std::unique_ptr<dsp_rig> make_rig(int32_t mode);
// Re-applies the selected mode's filter after a change of its values.
void apply_filter(dsp_rig& r);

// One complex tone exp(+2 pi i f n): f in bins of fft_size relative to the local oscillator.
struct tone {
    double bin = 0.0;
    double amplitude = 1.0;
    double phase = 0.0;  // [rad]
};

// Fills the next input block with the sum of the tones (continuous across blocks).
void fill_block(dsp_rig& r, const std::vector<tone>& tones);
// Runs `blocks` blocks of the tones through dsp_cycle and returns the finished audio.
std::vector<float> run_tones(dsp_rig& r, const std::vector<tone>& tones, int blocks);

// RMS of audio[from .. from + n - 1].
double rms(const std::vector<float>& audio, size_t from, size_t n);
// Frequency [bins of fft_size] of the strongest component of audio[from .. from + 4095]
// (Hann window) and its amplitude.
struct spectral_peak {
    int32_t bin;
    double magnitude;
};
spectral_peak find_peak(const std::vector<float>& audio, size_t from);

inline double db(double ratio) {
    return 20.0 * __builtin_log10(ratio);
}
