#include "dsp_harness.h"

#include <cmath>
#include <numbers>

#include "dsp/dsp_cycle.h"
#include "dsp/fft.h"
#include "dsp/rebuild_filter.h"
#include "dsp/window.h"

std::unique_ptr<dsp_rig> make_rig(int32_t mode) {
    auto r = std::make_unique<dsp_rig>();
    signal_state& s = *r->signal;
    reset_signal_state(s);
    reset_mode_table(*r->modes);
    r->modes->selected_mode = mode;
    const mode_family family = family_of_mode(mode);
    set_processing_sizes(s, family.sampling_high != 0);
    s.cw_mode = family.cw_mode;
    s.tuned_bin = 2048;
    apply_filter(*r);
    return r;
}

void apply_filter(dsp_rig& r) {
    make_filter(*r.signal, selected_entry(*r.modes).func);
    rebuild_filter(*r.signal, *r.modes);
}

void fill_block(dsp_rig& r, const std::vector<tone>& tones) {
    for (int32_t k = 0; k < block_size; ++k) {
        const double n = double(r.next_sample + k);
        double re = 0.0, im = 0.0;
        for (const tone& t : tones) {
            const double a = 2.0 * std::numbers::pi * t.bin * n / fft_size + t.phase;
            re += t.amplitude * std::cos(a);
            im += t.amplitude * std::sin(a);
        }
        r.in->re[k] = re;
        r.in->im[k] = im;
    }
    r.next_sample += block_size;
}

std::vector<float> run_tones(dsp_rig& r, const std::vector<tone>& tones, int blocks) {
    std::vector<float> audio;
    for (int b = 0; b < blocks; ++b) {
        fill_block(r, tones);
        dsp_cycle(*r.signal, *r.modes, *r.in, *r.out);
        audio.insert(audio.end(), r.out->audio, r.out->audio + block_size);
    }
    return audio;
}

double rms(const std::vector<float>& audio, size_t from, size_t n) {
    double sum = 0.0;
    for (size_t i = from; i < from + n; ++i) sum += double(audio[i]) * audio[i];
    return std::sqrt(sum / double(n));
}

spectral_peak find_peak(const std::vector<float>& audio, size_t from) {
    std::vector<double> data(fft_doubles);
    for (int32_t k = 0; k < fft_size; ++k) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * k / fft_size);
        data[2 * k] = w * audio[from + k];
    }
    std::vector<int32_t> ip(fft_ip_size, 0);
    std::vector<double> w(fft_w_size);
    complex_fft(fft_doubles, -1, data.data(), ip.data(), w.data());
    spectral_peak best{0, 0.0};
    for (int32_t k = 0; k <= fft_size / 2; ++k) {
        const double m = std::hypot(data[2 * k], data[2 * k + 1]);
        if (m > best.magnitude) best = {k, m};
    }
    best.magnitude *= 4.0 / fft_size;  // a real cosine of amplitude A reads A
    return best;
}
