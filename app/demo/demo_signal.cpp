#include "app/demo/demo_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <random>

#include "app/demo/demo_level.h"
#include "dsp/sizes.h"
#include "record/wave_file.h"

namespace {

constexpr int64_t demo_frames = int64_t(demo_blocks) * block_size;
constexpr double demo_seconds = double(demo_frames) / demo_rate;
// [s] left free at the end of the file, so that the loop of the playback joins silence to
// silence.
constexpr double end_margin_s = 0.5;

// exp(2 pi i k / fft_size): a whole bin's rotation per sample, looked up by (bin x n) mod
// fft_size so that it never drifts.
struct rotation_table {
    iq_sample r[fft_size];
    rotation_table() {
        for (int32_t k = 0; k < fft_size; ++k) {
            const double a = 2.0 * std::numbers::pi * k / fft_size;
            r[k] = iq_sample(float(std::cos(a)), float(std::sin(a)));
        }
    }
};

const rotation_table& rotations() {
    static const rotation_table t;
    return t;
}

iq_sample rotation(int32_t bin, int64_t n) {
    const int64_t k = (int64_t(bin - fft_size / 2) * n) % fft_size;
    return rotations().r[k < 0 ? k + fft_size : k];
}

bool chosen(const demo_choice& c, const demo_station& s) {
    return c.only.empty() || std::find(c.only.begin(), c.only.end(), s.name) != c.only.end();
}

bool is_voice(const demo_station& s) {
    return s.kind == station_kind::usb || s.kind == station_kind::lsb;
}

// The speech repeated at the station's transmission times, as an analytic signal scaled so
// that the loudest block shows the station's level on the receiver's spectrum.
bool voice_track(const demo_station& s, const std::vector<float>& speech, level_meter& meter,
                 station_track& t, std::string& why) {
    if (speech.empty()) {
        why = std::string("no voice for station ") + s.name;
        return false;
    }
    const double duration = double(speech.size()) / demo_rate;  // as transmission_length
    const std::vector<double> starts = transmission_starts(s, duration);
    if (starts.empty()) {
        char text[160];
        std::snprintf(text, sizeof text, "the voice for %s lasts %.1f s; at most %.1f s fit",
                      s.name, duration, s.period_s - 1.0);
        why = text;
        return false;
    }
    std::vector<float> placed(size_t(demo_frames), 0.0f);
    for (double start : starts) {
        const size_t at = size_t(std::llround(start * demo_rate));
        std::copy(speech.begin(), speech.end(), placed.begin() + at);
    }
    t.baseband = analytic_speech(placed, demo_rate);
    if (s.kind == station_kind::lsb) {
        for (iq_sample& v : t.baseband) v = std::conj(v);
    }
    // The level the receiver shows for each block as the file is played.
    std::vector<float> re(block_size), im(block_size);
    double peak = -1000.0;
    for (int64_t b = 0; b < demo_blocks; ++b) {
        for (int32_t k = 0; k < block_size; ++k) {
            const iq_sample v = t.baseband[size_t(b * block_size + k)];
            re[k] = v.real();
            im[k] = v.imag();
        }
        peak = std::max(peak, block_peak_db(meter, re.data(), im.data()));
    }
    const float gain =
        float(std::pow(10.0, (spectrum_db_for_reading(s.level_dbuemf) - peak) / 20.0));
    for (iq_sample& v : t.baseband) v *= gain;
    return true;
}

bool cw_track(const demo_station& s, station_track& t, std::string& why) {
    const double duration = transmission_length(s, {});
    if (duration < 0) {
        why = std::string("station ") + s.name + " sends a character without a Morse code";
        return false;
    }
    const std::vector<double> starts = transmission_starts(s, duration);
    if (starts.empty()) {
        why = std::string("the message of ") + s.name + " is longer than its period";
        return false;
    }
    for (double start : starts) key_text(s.text, s.wpm, start, t.keys);
    return true;
}

}  // namespace

std::vector<double> transmission_starts(const demo_station& s, double duration_s) {
    std::vector<double> starts;
    if (s.period_s <= 0 || duration_s > s.period_s) return starts;
    for (double t = s.start_s; t + duration_s <= demo_seconds - end_margin_s; t += s.period_s) {
        starts.push_back(t);
    }
    return starts;
}

double transmission_length(const demo_station& s, const demo_voices& voices) {
    if (s.kind == station_kind::cw) {
        std::vector<key_interval> keys;
        return key_text(s.text, s.wpm, 0.0, keys);
    }
    const std::vector<float>* speech = s.kind == station_kind::usb   ? &voices.usb
                                       : s.kind == station_kind::lsb ? &voices.lsb
                                                                     : nullptr;
    if (!speech || speech->empty()) return -1.0;
    return double(speech->size()) / demo_rate;
}

bool make_demo_signal(const demo_voices& voices, const demo_choice& choice, demo_signal& out,
                      std::string& why) {
    for (const std::string& name : choice.only) {
        if (!find_station(name)) {
            why = "no station called " + name;
            return false;
        }
    }
    auto meter = std::make_unique<level_meter>();
    out = demo_signal{};
    for (const demo_station& s : demo_stations()) {
        if (!chosen(choice, s)) continue;
        station_track t;
        t.station = &s;
        bool ok = true;
        if (is_voice(s)) {
            ok = voice_track(s, s.kind == station_kind::usb ? voices.usb : voices.lsb, *meter, t,
                             why);
        } else {
            t.amplitude = tone_amplitude(*meter, s.level_dbuemf);
            if (s.kind == station_kind::cw) ok = cw_track(s, t, why);
        }
        if (!ok) return false;
        out.tracks.push_back(std::move(t));
    }
    out.noise_sigma = choice.noise ? noise_sigma(demo_noise_db) : 0.0;
    out.noise_seed = choice.noise_seed;
    return true;
}

void demo_block(const demo_signal& signal, int64_t b, float* left, float* right) {
    std::vector<iq_sample> sum(block_size, iq_sample(0.0f, 0.0f));
    std::vector<float> envelope(block_size);
    const int64_t first = b * block_size;
    for (const station_track& t : signal.tracks) {
        const demo_station& s = *t.station;
        if (s.kind == station_kind::cw) {
            render_keying(t.keys, demo_rate, keying_rise_s, first, envelope.data(), block_size);
        } else {
            std::fill(envelope.begin(), envelope.end(), 1.0f);
        }
        for (int32_t k = 0; k < block_size; ++k) {
            const int64_t n = first + k;
            const iq_sample base = t.baseband.empty()
                                       ? iq_sample(float(t.amplitude) * envelope[k], 0.0f)
                                       : t.baseband[size_t(n)];
            sum[k] += base * rotation(s.bin, n);
        }
    }
    if (signal.noise_sigma > 0) {
        // Seeded per block: any block can be made on its own, always the same.
        std::mt19937 gen(signal.noise_seed * 7919u + uint32_t(b));
        std::normal_distribution<float> normal(0.0f, float(signal.noise_sigma));
        for (int32_t k = 0; k < block_size; ++k) {
            const float re = normal(gen);
            const float im = normal(gen);
            sum[k] += iq_sample(re, im);
        }
    }
    for (int32_t k = 0; k < block_size; ++k) {
        left[k] = sum[k].imag();
        right[k] = sum[k].real();
    }
}

bool write_demo_file(const demo_signal& signal, const std::string& path, std::string& why) {
    const std::string temp = path + ".part";
    std::optional<wave_file> file = create_wave_file(temp.c_str(), true);
    if (!file) {
        why = "cannot create " + temp;
        return false;
    }
    std::vector<float> left(block_size), right(block_size);
    bool ok = true;
    for (int64_t b = 0; b < demo_blocks && ok; ++b) {
        demo_block(signal, b, left.data(), right.data());
        ok = write_wave_block(*file, left.data(), right.data());
    }
    ok = ok && finish_wave_file(*file);
    ok = close_wave_file(*file) && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(temp.c_str());
        why = "cannot write " + path;
        return false;
    }
    return true;
}
