#pragma once
// What the demo recording holds: its length and rate, the band noise, and the stations,
// each with where the receiver finds it (tuning position, readout, mode, bandwidth) and how
// strong its S-meter reads it.
#include <cstdint>
#include <span>
#include <string>

constexpr int32_t demo_rate = 96000;     // [Hz] the file's sample rate
constexpr int32_t demo_blocks = 2813;    // whole blocks of 2048 frames: 60.01 s
constexpr double demo_noise_db = -44.0;  // [dB] mean band-noise level per spectrum bin
constexpr double keying_rise_s = 0.005;  // [s] raised-cosine key edges
constexpr int32_t demo_local_oscillator_hz = 7056212;  // the receiver's default centre

enum class station_kind { cw, carrier, usb, lsb };

struct demo_station {
    const char* name;  // for the command line and the tests
    station_kind kind;
    int32_t bin;          // centred-spectrum bin of the carrier (2048 = local oscillator)
    double level_dbuemf;  // S-meter reading: CW key down and carrier; speech at its peaks
    int32_t band_width;   // [Hz] bandwidth to receive it with
    int32_t wpm;          // CW speed
    const char* text;     // CW: the message; voices: what is said (for the listing)
    double start_s;       // [s] first transmission
    double period_s;      // [s] the transmission repeats this often while it fits
};

std::span<const demo_station> demo_stations();
// The station called `name`, or null.
const demo_station* find_station(const std::string& name);

// Mode and tuning as the receiver's controls give them.
const char* mode_caption(station_kind k);  // "CWL", "LSB", "USB"
// The tuning position [bins] that puts the station into the pass band: in CWL the CW
// signal sits under the tuning marker; in SSB the tuning is the suppressed carrier.
int32_t tuning_position(const demo_station& s);
// The tuned bin of the signal path at that position (tolvan-demod --tuned-bin): in CWL the
// pitch (800 Hz) above the marker, made even as the tuning does.
int32_t tuned_bin(const demo_station& s);
// The frequency readout at that position, at the default centre and corrections ("7 015 240
// Hz"), and its value [Hz].
std::string readout_text(const demo_station& s);
double readout_hz(const demo_station& s);
// The S-meter reading as text: "S3", "S9", "S9+20" (6 dB per S unit, S9 = 40 dBuEMF), with
// the reading in dBm (-73 dBm at S9).
std::string s_unit_text(double dbuemf);
