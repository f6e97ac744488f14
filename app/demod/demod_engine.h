#pragma once
// The receiver's signal path run synchronously, one block at a time: the audio callback's
// I/Q correction of a played file's block, then one DSP cycle, then the callback's output
// scaling. No threads, no sound card.
#include <memory>

#include "app/demod/demod_options.h"
#include "dsp/sizes.h"

struct demod_engine;

struct demod_engine_deleter {
    void operator()(demod_engine* e) const;
};
using demod_engine_ptr = std::unique_ptr<demod_engine, demod_engine_deleter>;

// Sets the path up as the receiver stands right after switching to the mode and rate:
// buffers clear, filter built, passband_bin_count at its value after a mode change.
// sample_rate is 48000 or 96000.
demod_engine_ptr make_demod_engine(const demod_options& o, int32_t sample_rate);

// One block: left/right are block_size raw samples of the file; out receives block_size
// samples of what the sound card would play (finished audio x output gain).
void demod_block(demod_engine& e, const float* left, const float* right, float* out);

// The display spectrum of the last block (fft_size levels [dB], index 2048 = the local
// oscillator), as the receiver's display would draw it.
const double* demod_display_db(demod_engine& e);
