// The demo recording: Morse timing, the voice reader, and the stations as the receiver's
// own signal path, tuning and S-meter see them (levels, tuning, opposite sideband).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "app/demo/demo_level.h"
#include "app/demo/demo_plan.h"
#include "app/demo/demo_signal.h"
#include "app/demo/morse.h"
#include "app/demo/pcm_wave.h"
#include "app/demod/demod_engine.h"
#include "display/display_state.h"
#include "display/readouts.h"
#include "display/spectrum_trace.h"
#include "dsp/rebuild_filter.h"
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"
#include "panel/panel_context.h"
#include "panel/retune.h"

namespace {

// ---- Morse ----

TEST(DemoMorse, ParisTakesFiftyUnitsAndElementsHaveStandardLengths) {
    std::vector<key_interval> keys;
    const double unit = morse_unit_s(20);
    const double next = key_text("PARIS", 20, 1.0, keys);
    EXPECT_NEAR(next - 1.0, 50 * unit, 1e-9);  // the word that defines the speed
    // P = .--. : dot, dash, dash, dot with one unit between; then A after three units.
    ASSERT_EQ(keys.size(), 14u);
    const double lengths[] = {1, 3, 3, 1, 1, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(keys[i].end_s - keys[i].start_s, lengths[i] * unit, 1e-9) << i;
    }
    EXPECT_NEAR(keys[1].start_s - keys[0].end_s, unit, 1e-9);
    EXPECT_NEAR(keys[4].start_s - keys[3].end_s, 3 * unit, 1e-9);
    // A word gap is seven units, however many blanks stand between the words.
    std::vector<key_interval> two;
    key_text("E  E", 12, 0.0, two);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NEAR(two[1].start_s - two[0].end_s, 7 * morse_unit_s(12), 1e-9);
}

TEST(DemoMorse, UnknownCharacterKeysNothing) {
    std::vector<key_interval> keys;
    EXPECT_LT(key_text("CQ DE @", 20, 0.0, keys), 0.0);
    EXPECT_TRUE(keys.empty());
    EXPECT_STREQ(morse_code('q'), "--.-");
    EXPECT_EQ(morse_code('#'), nullptr);
}

TEST(DemoMorse, KeyingHasRaisedCosineEdgesAndSilenceBetween) {
    const int32_t rate = 1000;
    const std::vector<key_interval> keys = {{0.100, 0.200}, {0.300, 0.400}};
    std::vector<float> env(500);
    render_keying(keys, rate, 0.010, 0, env.data(), env.size());
    EXPECT_EQ(env[99], 0.0f);
    EXPECT_NEAR(env[105], 0.5f, 1e-6);  // half way up the 10 ms edge
    EXPECT_EQ(env[150], 1.0f);
    EXPECT_NEAR(env[205], 0.5f, 1e-6);  // the fall starts at key-up
    EXPECT_EQ(env[250], 0.0f);
    EXPECT_EQ(env[350], 1.0f);
    // Any stretch of the file gives the same samples as the whole.
    std::vector<float> part(50);
    render_keying(keys, rate, 0.010, 280, part.data(), part.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), env.begin() + 280));
}

// ---- voice files ----

std::vector<uint8_t> wave_bytes(uint16_t format, uint16_t channels, uint16_t bits,
                                const std::vector<int16_t>& samples, bool extra_chunk,
                                uint32_t data_size_field) {
    std::vector<uint8_t> b;
    auto put = [&](const void* p, size_t n) {
        b.insert(b.end(), (const uint8_t*)p, (const uint8_t*)p + n);
    };
    auto u32 = [&](uint32_t v) { put(&v, 4); };
    auto u16 = [&](uint16_t v) { put(&v, 2); };
    put("RIFF", 4);
    u32(0);
    put("WAVE", 4);
    put("fmt ", 4);
    u32(16);
    u16(format);
    u16(channels);
    u32(96000);
    u32(96000 * 2);
    u16(2);
    u16(bits);
    if (extra_chunk) {
        put("LIST", 4);
        u32(3);
        put("abc\0", 4);  // odd size, padded
    }
    put("data", 4);
    u32(data_size_field);
    put(samples.data(), samples.size() * 2);
    return b;
}

TEST(DemoVoiceFile, ReadsMono16BitPastOtherChunksAndToTheEndOfAShortFile) {
    const std::vector<int16_t> s = {0, 16384, -32768, 32767};
    std::string why;
    auto sound = parse_pcm_wave(wave_bytes(1, 1, 16, s, true, 8).data(),
                                wave_bytes(1, 1, 16, s, true, 8).size(), why);
    ASSERT_TRUE(sound) << why;
    EXPECT_EQ(sound->sample_rate, 96000);
    ASSERT_EQ(sound->samples.size(), 4u);
    EXPECT_FLOAT_EQ(sound->samples[1], 0.5f);
    EXPECT_FLOAT_EQ(sound->samples[2], -1.0f);
    // Size 0 (a stream written to a pipe) or too large: everything up to the end.
    for (uint32_t field : {0u, 1000u}) {
        const auto bytes = wave_bytes(1, 1, 16, s, false, field);
        auto all = parse_pcm_wave(bytes.data(), bytes.size(), why);
        ASSERT_TRUE(all) << why;
        EXPECT_EQ(all->samples.size(), 4u);
    }
}

TEST(DemoVoiceFile, RefusesOtherFormatsAndSurvivesEveryTruncation) {
    const std::vector<int16_t> s = {1, 2, 3, 4};
    std::string why;
    for (auto bytes : {wave_bytes(1, 2, 16, s, false, 8), wave_bytes(3, 1, 16, s, false, 8),
                       wave_bytes(1, 1, 8, s, false, 8)}) {
        EXPECT_FALSE(parse_pcm_wave(bytes.data(), bytes.size(), why));
    }
    const auto good = wave_bytes(1, 1, 16, s, true, 8);
    for (size_t n = 0; n < good.size(); ++n) {
        // Exactly-sized copies, so that reading past n is caught by AddressSanitizer.
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        auto r = parse_pcm_wave(cut.data(), cut.size(), why);
        if (r) {
            EXPECT_LE(r->samples.size(), 4u);
        }
    }
    EXPECT_FALSE(read_pcm_wave("/nonexistent/voice.wav", why));
}

// ---- the stations through the receiver ----

bool is_cw(const demo_station& s) {
    return s.kind == station_kind::cw || s.kind == station_kind::carrier;
}

// The tuning that the receiver's controls give for a station: its mode (CWL with the
// offset its radio sets, LSB or USB at 96 kHz), its bandwidth, the filter built, and the
// tuning position, through the panel's tuning relation.
struct receiver_tuning {
    int32_t tuned_bin;
    int32_t start_px;  // S-meter search range
    int32_t width_px;
    int32_t usb;
};

receiver_tuning tune_to(const demo_station& st) {
    auto modes = std::make_unique<receive_mode_state>();
    auto signal = std::make_unique<signal_state>();
    panel_state controls;
    reset_mode_table(*modes);
    const int32_t mode = is_cw(st) ? 2 : (st.kind == station_kind::usb ? 5 : 4);
    modes->selected_mode = mode;
    mode_entry& e = modes->mode_table[mode];
    e.band_width = st.band_width;
    e.slider_pos = tuning_position(st);
    signal->cw_mode = is_cw(st) ? 1 : 0;
    set_processing_sizes(*signal, true);
    make_filter(*signal, e.func);
    rebuild_filter(*signal, *modes);
    controls.cw_offset_bins = is_cw(st) ? e.offset * 1024 / 24000.0 : 0.0;
    panel_context c;
    c.modes = modes.get();
    c.signal = signal.get();
    c.controls = &controls;
    compute_tuning(c);
    return {signal->tuned_bin, controls.passband_start_px, controls.passband_width_px, e.usb};
}

demod_options options_for(const demo_station& st, const receiver_tuning& t) {
    demod_options o;
    o.mode = is_cw(st) ? demod_mode::cwl
                       : (st.kind == station_kind::usb ? demod_mode::usb : demod_mode::lsb);
    o.tuned_bin = t.tuned_bin;
    o.band_width = st.band_width;
    return o;
}

// The S-meter's direct ("peak") reading of one block, as the display makes it: the pass
// band's highest level in the CW spectrum or in the SSB display columns.
double meter_reading(const double* display_db, const demo_station& st, const receiver_tuning& t) {
    s_meter_state meter;
    double peak;
    if (is_cw(st)) {
        peak = passband_peak(display_db, fft_size, t.start_px, t.width_px, t.usb);
    } else {
        std::vector<double> columns(1024);
        fill_column_db(display_db, columns.data());
        peak = passband_peak(columns.data(), 1024, t.start_px, t.width_px, t.usb);
    }
    return s_meter_reading(meter, peak, false, 0.0);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1000.0 : v[v.size() / 2];
}

TEST(DemoStations, ListedTuningIsTheReceiversAndPutsTheSignalUnderTheMeter) {
    for (const demo_station& st : demo_stations()) {
        SCOPED_TRACE(st.name);
        const receiver_tuning t = tune_to(st);
        EXPECT_EQ(t.tuned_bin, tuned_bin(st));  // what tolvan-demod and the README use
        if (is_cw(st)) {
            // CW view: one column per bin; the signal lies inside the meter's range.
            EXPECT_GE(st.bin, t.start_px);
            EXPECT_LT(st.bin, t.start_px + t.width_px);
            EXPECT_LT(st.bin, 1024);  // inside the CW view
        }
    }
}

TEST(DemoStations, CwAndCarrierReadTheirLevelsOnTheSMeter) {
    demo_signal signal;
    std::string why;
    demo_choice choice;
    choice.only = {"cw1", "cw2", "cw3", "carrier"};
    ASSERT_TRUE(make_demo_signal({}, choice, signal, why)) << why;
    constexpr int64_t blocks = 16 * demo_rate / block_size;  // each sends once in 16 s
    std::vector<float> left(block_size), right(block_size), audio(block_size), env(block_size);
    for (const station_track& track : signal.tracks) {
        const demo_station& st = *track.station;
        SCOPED_TRACE(st.name);
        const receiver_tuning t = tune_to(st);
        demod_engine_ptr engine = make_demod_engine(options_for(st, t), demo_rate);
        std::vector<double> down, up;
        bool was_up = false;
        for (int64_t b = 0; b < blocks; ++b) {
            demo_block(signal, b, left.data(), right.data());
            demod_block(*engine, left.data(), right.data(), audio.data());
            const double reading = meter_reading(demod_display_db(*engine), st, t);
            if (st.kind == station_kind::carrier) {
                down.push_back(reading);
                continue;
            }
            render_keying(track.keys, demo_rate, keying_rise_s, b * block_size, env.data(),
                          block_size);
            const auto [lo, hi] = std::minmax_element(env.begin(), env.end());
            if (*lo == 1.0f) down.push_back(reading);  // key down for the whole block
            // Key up for this block and the one before it (the spectrum's memory is one
            // block): band noise only.
            if (*hi == 0.0f && was_up) up.push_back(reading);
            was_up = *hi == 0.0f;
        }
        ASSERT_FALSE(down.empty());
        std::printf("%s: key down %.2f dBuEMF (%zu blocks), band noise %.2f dBuEMF\n", st.name,
                    median(down), down.size(), median(up));
        EXPECT_NEAR(median(down), st.level_dbuemf, 1.0);
        if (st.kind == station_kind::cw) {
            ASSERT_FALSE(up.empty());
            EXPECT_LT(median(up), -8.0);  // the band noise reads below S1
        }
        if (st.kind == station_kind::carrier) {
            EXPECT_NEAR(*std::min_element(down.begin(), down.end()), st.level_dbuemf, 0.5);
            EXPECT_NEAR(*std::max_element(down.begin(), down.end()), st.level_dbuemf, 0.5);
        }
    }
}

// A voice stand-in: a vowel-like tone of changing pitch, rising and falling, 4 s long.
std::vector<float> test_voice() {
    std::vector<float> v(size_t(4 * demo_rate));
    double phase = 0;
    for (size_t k = 0; k < v.size(); ++k) {
        const double t = double(k) / demo_rate;
        const double f0 = 110.0 + 40.0 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
        phase += 2.0 * std::numbers::pi * f0 / demo_rate;
        double s = 0;
        for (int h = 1; h <= 25; ++h) s += std::sin(h * phase) / h;
        v[k] = float(0.2 * s * std::sin(std::numbers::pi * t / 4.0));
    }
    return v;
}

TEST(DemoStations, VoicesPeakAtTheirLevelWithTheOppositeSidebandFiftyDbDown) {
    demo_voices voices;
    voices.usb = test_voice();
    voices.lsb = voices.usb;
    for (const char* name : {"usb", "lsb"}) {
        SCOPED_TRACE(name);
        const demo_station& st = *find_station(name);
        demo_signal signal;
        std::string why;
        demo_choice choice;
        choice.only = {name};
        choice.noise = false;
        ASSERT_TRUE(make_demo_signal(voices, choice, signal, why)) << why;
        const receiver_tuning t = tune_to(st);
        demod_options right = options_for(st, t);
        right.agc_on = false;  // a fixed gain: the two energies compare directly
        demod_options wrong = right;
        wrong.mode = right.mode == demod_mode::usb ? demod_mode::lsb : demod_mode::usb;
        demod_engine_ptr a = make_demod_engine(right, demo_rate);
        demod_engine_ptr b = make_demod_engine(wrong, demo_rate);
        // The first transmission, and a little after.
        const int64_t blocks = int64_t((st.start_s + 5.0) * demo_rate) / block_size;
        std::vector<float> left(block_size), rt(block_size), audio(block_size);
        double wanted = 0, opposite = 0, peak = -1000.0;
        for (int64_t k = 0; k < blocks; ++k) {
            demo_block(signal, k, left.data(), rt.data());
            demod_block(*a, left.data(), rt.data(), audio.data());
            for (float x : audio) wanted += double(x) * x;
            peak = std::max(peak, meter_reading(demod_display_db(*a), st, t));
            demod_block(*b, left.data(), rt.data(), audio.data());
            for (float x : audio) opposite += double(x) * x;
        }
        ASSERT_GT(wanted, 0.0);
        std::printf("%s: opposite sideband %.1f dB down, peak %.2f dBuEMF\n", name,
                    10.0 * std::log10(wanted / opposite), peak);
        EXPECT_GT(10.0 * std::log10(wanted / opposite), 50.0);
        EXPECT_NEAR(peak, st.level_dbuemf, 1.0);
    }
}

TEST(DemoStations, AVoiceLongerThanItsPeriodIsRefused) {
    demo_voices voices;
    voices.usb.assign(size_t(25 * demo_rate), 0.1f);
    demo_signal signal;
    std::string why;
    demo_choice choice;
    choice.only = {"usb"};
    EXPECT_FALSE(make_demo_signal(voices, choice, signal, why));
    EXPECT_NE(why.find("usb"), std::string::npos) << why;
    choice.only = {"nothing"};
    EXPECT_FALSE(make_demo_signal(voices, choice, signal, why));
}

}  // namespace
