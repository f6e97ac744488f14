#pragma once
// The demo recording's samples: each station's signal, precomputed for the whole file, and
// band noise, summed block by block in the layout the receiver records (left channel the
// imaginary part, right channel the real part).
#include <cstdint>
#include <string>
#include <vector>

#include "app/demo/demo_plan.h"
#include "app/demo/morse.h"
#include "app/demo/voice_ssb.h"

struct demo_voices {
    std::vector<float> usb;  // speech at demo_rate, full scale 1.0
    std::vector<float> lsb;
};

struct demo_choice {
    std::vector<std::string> only;  // station names to include; empty: all
    bool noise = true;
    uint32_t noise_seed = 12;
};

struct station_track {
    const demo_station* station = nullptr;
    double amplitude = 0;             // CW and carrier: of the key-down tone
    std::vector<key_interval> keys;   // CW: the keying of the whole file
    std::vector<iq_sample> baseband;  // speech: the whole file at 0 Hz, level included
};

struct demo_signal {
    std::vector<station_track> tracks;
    double noise_sigma = 0;  // per part; 0 without noise
    uint32_t noise_seed = 0;
};

// Builds the tracks of the chosen stations. False, with the reason in `why`, when a chosen
// voice is missing or too long for its period, or a name is unknown.
bool make_demo_signal(const demo_voices& voices, const demo_choice& choice, demo_signal& out,
                      std::string& why);

// The start times [s] of a station's transmissions within the file, for a transmission of
// `duration_s`.
std::vector<double> transmission_starts(const demo_station& s, double duration_s);
// The length [s] of one transmission of a CW or voice station (its message keyed, its voice
// spoken); negative when it cannot be sent (no voice, a character without a code).
double transmission_length(const demo_station& s, const demo_voices& voices);

// Block b of the file (2048 frames): left = imaginary part, right = real part.
void demo_block(const demo_signal& signal, int64_t b, float* left, float* right);

// Writes the whole file to `path` (through a temporary name beside it, so that a file under
// `path` is always complete). False with the reason in `why`.
bool write_demo_file(const demo_signal& signal, const std::string& path, std::string& why);
