#include "dsp/dsp_cycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "dsp/rebuild_filter.h"
#include "dsp/sideband.h"
#include "dsp_harness.h"

namespace {

constexpr size_t settled = 4 * block_size;  // audio after the first blocks have filled in

double settled_rms(const std::vector<float>& audio) {
    return rms(audio, settled, audio.size() - settled);
}

}  // namespace

TEST(DspCycle, UpperSidebandToneComesOutAtItsOffset) {
    for (int32_t mode : {5, 1}) {  // USB at 96 and 48 kHz
        for (double k : {40.0, 40.3, 100.0}) {
            auto r = make_rig(mode);
            const auto audio = run_tones(*r, {{k, 1.0, 0.3}}, 8);
            const spectral_peak p = find_peak(audio, settled);
            EXPECT_EQ(p.bin, int32_t(std::lround(k))) << "mode " << mode << " tone " << k;
            EXPECT_NEAR(settled_rms(audio), std::sqrt(0.5), 0.01);  // unit gain in the band
        }
    }
}

TEST(DspCycle, LowerSidebandRejectsTheUpperTone) {
    struct tone_case {
        int32_t mode;
        double bin;
    };
    // On-grid tones at both rates, an off-grid one at 96 kHz.
    for (tone_case c : {tone_case{4, 40.3}, tone_case{4, 64.0}, tone_case{0, 80.0}}) {
        auto usb = make_rig(c.mode + 1);
        auto lsb = make_rig(c.mode);
        const double wanted = settled_rms(run_tones(*usb, {{c.bin, 1.0, 0.3}}, 8));
        const double unwanted = settled_rms(run_tones(*lsb, {{c.bin, 1.0, 0.3}}, 8));
        EXPECT_GT(db(wanted / unwanted), 70.0) << "mode " << c.mode << " tone " << c.bin;
    }
}

TEST(DspCycle, LowerSidebandToneBelowTheTunedBinComesOutAtItsOffset) {
    auto r = make_rig(4);
    const auto audio = run_tones(*r, {{-40.3, 1.0, 0.0}}, 8);
    EXPECT_EQ(find_peak(audio, settled).bin, 40);
    EXPECT_NEAR(settled_rms(audio), std::sqrt(0.5), 0.01);
}

TEST(DspCycle, TuningShiftsThePassBand) {
    auto r = make_rig(5);
    r->signal->tuned_bin = 2048 + 300;
    const auto audio = run_tones(*r, {{340.0, 1.0, 0.0}}, 8);
    EXPECT_EQ(find_peak(audio, settled).bin, 40);
}

TEST(DspCycle, ToneAtTheTunedBinIsRemoved) {
    for (int32_t mode : {5, 4, 1}) {
        auto r = make_rig(mode);
        r->signal->tuned_bin = 2048 + 200;
        const auto audio = run_tones(*r, {{200.0, 1.0, 0.7}}, 8);
        EXPECT_LT(settled_rms(audio), 1e-9) << "mode " << mode;
    }
}

TEST(DspCycle, TuningAtTheEdgesReadsNothingOutsideTheSpectrum) {
    for (int32_t tuned : {0, 4094, 4096 + 100, -300}) {
        for (int32_t mode : {4, 5}) {
            auto r = make_rig(mode);
            r->signal->tuned_bin = tuned;
            const auto audio = run_tones(*r, {{-2000.0, 1.0, 0.0}, {2040.0, 1.0, 0.0}}, 4);
            for (float v : audio) ASSERT_TRUE(std::isfinite(v));
        }
    }
}

TEST(DspCycle, SilenceGivesZeroPeakUnitGainAndMinusInfinity) {
    auto r = make_rig(5);
    run_tones(*r, {}, 3);
    EXPECT_EQ(r->signal->audio_peak, 0.0f);
    EXPECT_EQ(r->signal->output_gain, 1.0f);
    EXPECT_EQ(r->out->gain, 1.0f);
    tb_take(r->signal->spectra);
    const spectrum_block& sp = tb_front(r->signal->spectra);
    const double minus_inf = -std::numeric_limits<double>::infinity();
    for (int32_t m = 0; m < fft_size; ++m) ASSERT_EQ(sp.display_db[m], minus_inf);
    for (int32_t j = 0; j < sp.passband_bin_count; ++j) ASSERT_EQ(sp.audio_db[j], minus_inf);
}

TEST(DspCycle, AgcBringsThePlayedPeakTo036) {
    auto r = make_rig(5);
    run_tones(*r, {{50.0, 0.02, 0.0}}, 6);
    EXPECT_NEAR(r->signal->audio_peak, 0.02, 0.001);
    EXPECT_NEAR(r->out->gain * r->signal->audio_peak, 0.36, 1e-5);
    float played = 0.0f;
    for (float v : r->out->audio) played = std::max(played, v * r->out->gain);
    EXPECT_NEAR(played, 0.36, 1e-5);
}

TEST(DspCycle, DisplaySpectrumPutsTheToneAboveTheOscillator) {
    auto r = make_rig(5);
    r->modes->mode_table[5].func = 0;  // rectangular window on the display block
    run_tones(*r, {{100.0, 1.0, 0.0}}, 1);
    tb_take(r->signal->spectra);
    const spectrum_block& sp = tb_front(r->signal->spectra);
    // Unnormalised: 2048^2 x 23 at 96 kHz, 66.2 dB + 10 log10(23).
    EXPECT_NEAR(sp.display_db[2148], 10.0 * std::log10(2048.0 * 2048.0 * 23.0), 1e-6);
    EXPECT_LT(sp.display_db[1948], sp.display_db[2148] - 100.0);
}

TEST(DspCycle, AudioSpectrumPeaksAtTheAudioBin) {
    auto r = make_rig(5);
    run_tones(*r, {{60.0, 1.0, 0.0}}, 4);
    tb_take(r->signal->spectra);
    const spectrum_block& sp = tb_front(r->signal->spectra);
    ASSERT_EQ(sp.passband_bin_count, 135);
    int32_t best = 0;
    for (int32_t j = 1; j < sp.passband_bin_count; ++j)
        if (sp.audio_db[j] > sp.audio_db[best]) best = j;
    EXPECT_EQ(best, 60);
}

TEST(PassbandBins, WorkedFigures) {
    EXPECT_EQ(compute_passband_bin_count(false, 2700, 96000), 135);
    EXPECT_EQ(compute_passband_bin_count(false, 2700, 48000), 250);
    EXPECT_EQ(compute_passband_bin_count(true, 500, 96000), 61);
    EXPECT_EQ(compute_passband_bin_count(false, 3100, 48000), 284);
    EXPECT_EQ(compute_passband_bin_count(false, 2700, 0), 0);
    EXPECT_EQ(compute_passband_bin_count(false, 1000000, 48000), fft_size);
}

TEST(PassbandBins, CycleRecomputesTheCountFromTheSelectedMode) {
    struct expect_case {
        int32_t mode, count;
    };
    for (expect_case c : {expect_case{5, 135}, expect_case{0, 250}, expect_case{2, 61}}) {
        auto r = make_rig(c.mode);
        EXPECT_EQ(r->signal->passband_bin_count, c.mode == 0 ? 282 : 142);
        run_tones(*r, {}, 1);
        EXPECT_EQ(r->signal->passband_bin_count, c.count) << "mode " << c.mode;
    }
}

TEST(PassbandBins, BandwidthIncreaseDoesNotCarryStaleBins) {
    // After noise through a narrow band, widen the band and send silence: the first silent
    // block plays only the tail of the noise, the second one is exactly silent.
    auto r = make_rig(5);
    r->modes->mode_table[5].band_width = 500;
    apply_filter(*r);
    std::mt19937 g(3);
    std::normal_distribution<double> noise(0.0, 0.3);
    for (int b = 0; b < 3; ++b) {
        for (int32_t k = 0; k < block_size; ++k) {
            r->in->re[k] = noise(g);
            r->in->im[k] = noise(g);
        }
        dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
    }
    ASSERT_EQ(r->signal->passband_bin_count, 41);
    r->modes->mode_table[5].band_width = 3100;
    apply_filter(*r);
    *r->in = iq_block{};
    dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
    EXPECT_EQ(r->signal->passband_bin_count, 152);
    dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
    for (float v : r->out->audio) ASSERT_EQ(v, 0.0f);
}

TEST(FastConvolution, EqualsADirectFirInEverySideband) {
    // A sum of off-grid tones inside the pass band of one sideband: the output equals the
    // windowed taps convolved with one part of the input (the taps are real). The upper
    // sideband plays the real part; the lower one, mirrored with its real and imaginary
    // parts exchanged, plays the imaginary part.
    struct sideband_case {
        int32_t mode;
        double first_bin, spread;  // tones at sign x (first_bin + spread x u), u in [0, 1)
        double sign;               // +1 above the oscillator, -1 below
        bool imaginary;            // the part of the input that is heard
        double tolerance;
    };
    for (sideband_case c : {sideband_case{5, 8.0, 100.0, +1, false, 1e-3},     // USB 96 kHz
                            sideband_case{1, 8.0, 100.0, +1, false, 1e-2},     // USB 48 kHz
                            sideband_case{4, 8.0, 100.0, -1, true, 1e-3},      // LSB 96 kHz
                            sideband_case{0, 8.0, 100.0, -1, true, 1e-2},      // LSB 48 kHz
                            sideband_case{2, 27.0, 14.0, -1, true, 1e-3},      // CWL, 550..1050 Hz
                            sideband_case{3, 27.0, 14.0, +1, false, 1e-3}}) {  // CWU
        auto r = make_rig(c.mode);
        std::mt19937 g(5);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::vector<tone> tones;
        for (int i = 0; i < 12; ++i)
            tones.push_back({c.sign * (c.first_bin + c.spread * u(g)), 0.1 + u(g), 6.28 * u(g)});
        std::vector<double> x;
        std::vector<float> audio;
        for (int b = 0; b < 6; ++b) {
            fill_block(*r, tones);
            const double* part = c.imaginary ? r->in->im : r->in->re;
            x.insert(x.end(), part, part + block_size);
            dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
            audio.insert(audio.end(), r->out->audio, r->out->audio + block_size);
        }
        const double* taps = r->signal->filter_taps;  // windowed by the rebuild
        double err = 0.0, ref = 0.0;
        for (size_t n = 2 * block_size; n < x.size(); ++n) {
            double y = 0.0;
            for (int32_t k = 0; k < block_size; ++k) y += taps[k] * x[n - k];
            err += (y - audio[n]) * (y - audio[n]);
            ref += y * y;
        }
        EXPECT_LT(std::sqrt(err / ref), c.tolerance) << "mode " << c.mode;
    }
}

TEST(PassbandBins, TheFirstBlockAfterAWiderBandStillTakesTheOldCount) {
    // A tone at audio bin 100: outside a 500 Hz band (41 bins), inside 3100 Hz (152 bins).
    auto r = make_rig(5);
    r->modes->mode_table[5].band_width = 500;
    apply_filter(*r);
    run_tones(*r, {{100.0, 1.0, 0.0}}, 3);
    ASSERT_EQ(r->signal->passband_bin_count, 41);
    r->modes->mode_table[5].band_width = 3100;
    apply_filter(*r);
    // The sideband of this block was taken with 41 bins: the tone is not in it, only the
    // little that the block's edges spread into those bins.
    const std::vector<float> first = run_tones(*r, {{100.0, 1.0, 0.0}}, 1);
    EXPECT_EQ(r->signal->passband_bin_count, 152);
    EXPECT_LT(rms(first, 0, block_size), 0.05);
    const std::vector<float> next = run_tones(*r, {{100.0, 1.0, 0.0}}, 2);
    EXPECT_NEAR(rms(next, block_size, block_size), std::sqrt(0.5), 0.01);
}

// Power [dB] at bin `at` below the strongest bin of `db[from..to)`.
double leakage_db(const double* db, int32_t from, int32_t to, int32_t at) {
    double best = db[from];
    for (int32_t i = from; i < to; ++i) best = std::max(best, db[i]);
    return best - db[at];
}

TEST(Spectra, DisplayAndAudioSpectraAreWindowed) {
    // An off-grid tone: a window keeps its power near it, a rectangular block spreads it.
    double display_gap[2], audio_gap[2];
    for (int32_t func : {0, 1}) {
        auto r = make_rig(5);
        r->modes->mode_table[5].func = func;
        run_tones(*r, {{40.5, 1.0, 0.0}}, 6);
        tb_take(r->signal->spectra);
        const spectrum_block& sp = tb_front(r->signal->spectra);
        display_gap[func] = leakage_db(sp.display_db, 0, fft_size, 2048 + 40 + 400);
        audio_gap[func] = leakage_db(sp.audio_db, 1, sp.passband_bin_count, 120);
    }
    EXPECT_LT(display_gap[0], 70.0);  // rectangular: sidelobes fall 6 dB an octave
    EXPECT_LT(audio_gap[0], 70.0);
    EXPECT_GT(display_gap[1], 120.0);  // Hanning: 18 dB an octave
    EXPECT_GT(audio_gap[1], 90.0);
}

TEST(DspCycle, NonFiniteInputKeepsTheOutputFiniteAndRecoversWithinABlock) {
    auto clean = make_rig(5);
    auto hit = make_rig(5);
    const std::vector<tone> tones = {{50.3, 0.5, 0.2}};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int b = 0; b < 14; ++b) {
        fill_block(*clean, tones);
        fill_block(*hit, tones);
        if (b == 4) hit->in->re[1000] = nan;  // one corrupt sample of a played file
        if (b == 7) hit->in->im[5] = -inf;
        if (b == 10)  // finite, but its audio leaves the float range
            for (int32_t k = 0; k < block_size; ++k) hit->in->re[k] = hit->in->im[k] = 1e39;
        dsp_cycle(*clean->signal, *clean->modes, *clean->in, *clean->out);
        dsp_cycle(*hit->signal, *hit->modes, *hit->in, *hit->out);
        for (int32_t i = 0; i < block_size; ++i)
            ASSERT_TRUE(std::isfinite(hit->out->audio[i])) << "block " << b << " sample " << i;
        ASSERT_TRUE(std::isfinite(hit->out->gain)) << b;
        ASSERT_TRUE(std::isfinite(hit->signal->audio_peak.load())) << b;
        // After each fault the audio is the clean receiver's again: the one sample taken
        // as 0 leaves a trace far below the tone (0.35 rms) in the next block; after the
        // silenced block, the next one lacks only that block's tail, the one after it
        // nothing.
        if (b == 5 || b == 8 || b == 12) {
            double err = 0.0;
            for (int32_t i = 0; i < block_size; ++i)
                err = std::max(err, double(std::abs(hit->out->audio[i] - clean->out->audio[i])));
            EXPECT_LT(err, b == 12 ? 1e-6 : 0.02) << "block " << b;
        }
    }
}
