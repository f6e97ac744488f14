#include "dsp/dsp_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/fast_convolution.h"
#include "dsp/fft.h"
#include "dsp/gain.h"
#include "dsp/notch.h"
#include "dsp/sideband.h"
#include "dsp/window.h"

namespace {

// Complex array from block_size real and imaginary parts, zero-padded to fft_size points.
void load_block(const double* re, const double* im, double* dst) {
    for (int32_t k = 0; k < block_size; ++k) {
        dst[2 * k] = re[k];
        dst[2 * k + 1] = im[k];
    }
    std::fill(dst + 2 * block_size, dst + fft_doubles, 0.0);
}

void load_real_block(const float* re, double* dst) {
    for (int32_t k = 0; k < block_size; ++k) {
        dst[2 * k] = re[k];
        dst[2 * k + 1] = 0.0;
    }
    std::fill(dst + 2 * block_size, dst + fft_doubles, 0.0);
}

// The input block and its copy for the display. A sample that is no number (a corrupt
// file played back) counts as 0: the transform would spread it over the whole block.
void take_input(const double* in, double* block, double* view) {
    for (int32_t k = 0; k < block_size; ++k) {
        const double v = std::isfinite(in[k]) ? in[k] : 0.0;
        block[k] = v;
        view[k] = v;
    }
}

bool all_finite(const float* a, int32_t n) {
    for (int32_t i = 0; i < n; ++i)
        if (!std::isfinite(a[i])) return false;
    return true;
}

void forward(signal_state& s, double* data) {
    complex_fft(fft_doubles, -1, data, s.fft_ip, s.fft_w);
}

}  // namespace

void dsp_cycle(signal_state& s, const receive_mode_state& modes, const iq_block& in,
               audio_out_block& out) {
    // The settings of this block, each read once: a change made during the block takes
    // effect with the next one.
    const mode_entry& mode = selected_entry(modes);
    const int32_t func = mode.func;
    const bool usb = mode.usb != 0;
    const int32_t band_width = mode.band_width;
    const bool agc_on = modes.agc_on != 0;
    const int32_t sample_rate = s.sample_rate;
    const bool cw = s.cw_mode != 0;
    const int32_t tuned = s.tuned_bin;
    const int32_t count = bin_count_in_range(s.passband_bin_count);
    const bool notch_on = s.notch_on != 0;
    const notch_bins notch =
        compute_notch_bins(s.sampling_high != 0, s.notch_position, s.notch_span);
    const float gain_limit = s.agc_gain_limit;

    tb_take(s.filter_response);  // a rebuild published since the last block applies from here
    const double* response = tb_front(s.filter_response).h;
    spectrum_block& spectra = tb_back(s.spectra);

    take_input(in.re, s.block_re, s.view_re);
    take_input(in.im, s.block_im, s.view_im);

    // Transform of the block, centred so that index 2048 is the local oscillator.
    load_block(s.block_re, s.block_im, s.input_spectrum);
    forward(s, s.input_spectrum);
    rotate_spectrum(s.input_spectrum, s.centred_spectrum);

    // Display spectrum of the windowed block.
    apply_window(func, block_size, s.view_im, s.view_im);
    apply_window(func, block_size, s.view_re, s.view_re);
    load_block(s.view_re, s.view_im, s.display_spectrum);
    forward(s, s.display_spectrum);
    rotate_spectrum(s.display_spectrum, s.display_centred);
    power_db(s.display_centred, sample_rate, spectra.display_db, fft_size);

    // Wanted sideband, notch, and the tuned frequency itself (audio 0 Hz) removed.
    take_sideband(s.centred_spectrum, tuned, count, usb, s.passband_bins);
    if (notch_on) apply_notch(notch, count, s.passband_bins);
    s.passband_bins[0] = 0.0;
    s.passband_bins[1] = 0.0;

    // Filter. The new pass-band limit governs this block's zeroing and audio spectrum and the
    // next block's sideband. Bins between the old and a larger new limit were not taken from
    // this block's spectrum, so they count as zero.
    const int32_t next_count = compute_passband_bin_count(cw, band_width, sample_rate);
    s.passband_bin_count = next_count;
    apply_response(response, s.passband_bins, std::min(count, next_count), s.filtered_bins);

    // Back to the time domain and overlap-add with the tail of the previous block.
    complex_fft(fft_doubles, +1, s.filtered_bins, s.fft_ip, s.fft_w);
    overlap_add(s.filtered_bins, s.audio_block, s.audio_overlap);
    // Audio beyond the float range (an input near the float limit) is no sound: the block
    // plays as silence and leaves nothing to the next one.
    if (!all_finite(s.audio_block, fft_size)) {
        std::fill(s.audio_block, s.audio_block + fft_size, 0.0f);
        std::fill(s.audio_overlap, s.audio_overlap + block_size, 0.0f);
    }

    const float peak = find_audio_peak(s.audio_block, block_size);
    const float gain = compute_output_gain(peak, agc_on, gain_limit, cw);
    s.audio_peak = peak;
    s.output_gain = gain;

    // Audio spectrum of the windowed finished block.
    apply_window_f(func, block_size, s.audio_block, s.audio_view);
    load_real_block(s.audio_view, s.audio_spectrum);
    forward(s, s.audio_spectrum);
    power_db(s.audio_spectrum, sample_rate, spectra.audio_db, next_count);

    const uint32_t serial = s.blocks_done + 1;
    s.blocks_done = serial;
    spectra.passband_bin_count = next_count;
    spectra.serial = serial;
    tb_publish(s.spectra);

    std::memcpy(out.audio, s.audio_block, sizeof out.audio);
    out.gain = gain;
    out.serial = serial;
}
