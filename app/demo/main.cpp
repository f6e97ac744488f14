// tolvan-demo: writes the demo recording, an I/Q wave file with CW stations, two voices on
// single sideband, a carrier and band noise, for the receiver's "Play wave".
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/demo/demo_level.h"
#include "app/demo/demo_plan.h"
#include "app/demo/demo_signal.h"
#include "app/demo/pcm_wave.h"

namespace {

const char* const help_text =
    R"(Usage: tolvan-demo [options] OUTPUT.wav
       tolvan-demo --list [--usb-voice FILE] [--lsb-voice FILE]

Writes the demo recording: 60 s of I/Q at 96000 Hz, 32-bit float stereo (left = imaginary,
right = real part), the layout of the receiver's Rec button, with CW stations, a carrier,
a voice on each sideband and band noise. Put it into the receiver's folder as temp.wav and
press "Play wave". scripts/make-demo makes the voices with espeak-ng and calls this.

Options:
  --usb-voice FILE   speech for the upper-sideband station: mono 16-bit PCM wave at 96000 Hz
  --lsb-voice FILE   speech for the lower-sideband station (same format)
  --only A,B,...     only these stations (names as --list shows them)
  --no-noise         without band noise
  --list             print the stations, one per line, tab-separated: name, mode, tuning
                     position, tolvan-demod --tuned-bin, readout, bandwidth [Hz], S-meter
                     reading [dBuEMF], speed [wpm], period [s], the start times [s] of the
                     transmissions ("-" for the carrier and for a voice not given), text
  --help             this text

Exit status: 0 done, 1 the output could not be written, 2 bad arguments or voices.
)";

constexpr int exit_output = 1;
constexpr int exit_usage = 2;

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(',', start);
        if (comma == std::string::npos) comma = s.size();
        if (comma > start) parts.push_back(s.substr(start, comma - start));
        start = comma + 1;
    }
    return parts;
}

void list_stations(const demo_voices& voices) {
    for (const demo_station& s : demo_stations()) {
        std::string starts;
        const double length = transmission_length(s, voices);
        for (double t : length < 0 ? std::vector<double>{} : transmission_starts(s, length)) {
            char text[24];
            std::snprintf(text, sizeof text, "%s%.2f", starts.empty() ? "" : ",", t);
            starts += text;
        }
        if (starts.empty()) starts.push_back('-');
        std::printf("%s\t%s\t%d\t%d\t%s\t%d\t%.1f\t%d\t%.2f\t%s\t%s\n", s.name,
                    mode_caption(s.kind), tuning_position(s), tuned_bin(s), readout_text(s).c_str(),
                    s.band_width, s.level_dbuemf, s.wpm, s.period_s, starts.c_str(), s.text);
    }
}

bool load_voice(const std::string& name, std::vector<float>& out) {
    std::string why;
    std::optional<pcm_sound> sound = read_pcm_wave(name.c_str(), why);
    if (!sound) {
        std::fprintf(stderr, "tolvan-demo: %s: %s\n", name.c_str(), why.c_str());
        return false;
    }
    if (sound->sample_rate != demo_rate) {
        std::fprintf(stderr, "tolvan-demo: %s is at %d Hz; it must be at %d Hz\n", name.c_str(),
                     sound->sample_rate, demo_rate);
        return false;
    }
    out = std::move(sound->samples);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string usb_voice, lsb_voice, output;
    demo_choice choice;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& to) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tolvan-demo: %s needs a value\n", a.c_str());
                return false;
            }
            to = argv[++i];
            return true;
        };
        std::string only;
        if (a == "--help" || a == "-h") {
            std::fputs(help_text, stdout);
            return 0;
        } else if (a == "--list") {
            list = true;
        } else if (a == "--usb-voice") {
            if (!value(usb_voice)) return exit_usage;
        } else if (a == "--lsb-voice") {
            if (!value(lsb_voice)) return exit_usage;
        } else if (a == "--only") {
            if (!value(only)) return exit_usage;
            choice.only = split(only);
        } else if (a == "--no-noise") {
            choice.noise = false;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "tolvan-demo: unknown option %s (see --help)\n", a.c_str());
            return exit_usage;
        } else if (output.empty()) {
            output = a;
        } else {
            std::fprintf(stderr, "tolvan-demo: one output file only (see --help)\n");
            return exit_usage;
        }
    }
    demo_voices voices;
    if (!usb_voice.empty() && !load_voice(usb_voice, voices.usb)) return exit_usage;
    if (!lsb_voice.empty() && !load_voice(lsb_voice, voices.lsb)) return exit_usage;
    if (list) {
        list_stations(voices);
        return std::fflush(stdout) == 0 ? 0 : exit_output;
    }
    if (output.empty()) {
        std::fprintf(stderr, "tolvan-demo: needs OUTPUT.wav (see --help)\n");
        return exit_usage;
    }

    demo_signal signal;
    std::string why;
    if (!make_demo_signal(voices, choice, signal, why)) {
        std::fprintf(stderr, "tolvan-demo: %s\n", why.c_str());
        return exit_usage;
    }
    if (!write_demo_file(signal, output, why)) {
        std::fprintf(stderr, "tolvan-demo: %s\n", why.c_str());
        return exit_output;
    }
    return 0;
}
