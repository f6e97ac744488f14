#include "app/demod/demod_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

const char* const demod_help_text =
    R"(Usage: tolvan-demod [options] INPUT.wav OUTPUT.wav

Demodulates an I/Q recording (32-bit float stereo wave file, left = I, right = Q, at
48000 or 96000 Hz, as the receiver's Rec button writes it) with the receiver's own signal
path and writes the audio that the sound card would play: a 32-bit float stereo wave file
at the input's rate with the same audio on both channels.

The input is processed in whole blocks of 2048 frames; a final partial block is padded
with zeros. Output block k is the finished audio of input block k times that block's gain.

Options:
  --mode lsb|usb|cwl|cwu  receive mode (default usb); cwl and cwu need 96 kHz input
  --tuned-bin N           tuned bin of the 4096-bin spectrum, 0..4095 (default 2048 = the
                          centre); an odd N is raised by 1. USB audio at f Hz comes from
                          the tuned frequency + f, LSB from the tuned frequency - f
  --bandwidth HZ          pass-band width, 1..20000 (default 2700 in SSB, 500 in CW)
  --low-cut HZ            low edge of the SSB pass band, 0..20000 (default 50)
  --pitch HZ              CW offset: the pass band is centred this far from the tuned
                          frequency, 0..20000 (default 800)
  --window 0..4           window type: 0 Rectangular, 1 Hanning (default), 2 Hamming,
                          3 Blackman, 4 Blackman Harris
  --agc on|off            automatic gain control (default on)
  --gain-limit X          AGC gain ceiling, and the fixed gain with --agc off (x3 in CW),
                          0..10000 (default 70)
  --notch POS:SPAN        notch on at position POS (221..500, 500 = the tuned frequency,
                          each step 11.71875 Hz higher) and SPAN (1..140, in 23.4375 Hz)
  --rf-gain N             integer input gain, 0..10 (default 1)
  --iq-gain V             I/Q gain slider value, -19000..19000 (default 10000, factor 1)
  --iq-phase V            I/Q phase slider value, -28000..28000 (default 0; radians x 10000)
  --reverse               swap I and Q
  --quiet                 no progress output
  --help                  this text

Exit status: 0 done; 1 the output could not be written (no file is left under the
output name); 2 bad arguments or an input that is not a 32-bit float stereo wave file at
48000 or 96000 Hz (RIFF/WAVE, format tag 3, the data chunk right after the format chunk);
130 interrupted (no output is written).
)";

namespace {

bool parse_int(const std::string& s, long lo, long hi, int32_t& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = int32_t(v);
    return true;
}

bool parse_float(const std::string& s, double lo, double hi, float& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    out = float(v);
    return true;
}

demod_parse_result fail(std::string message) {
    demod_parse_result r;
    r.outcome = demod_parse_result::error;
    r.message = std::move(message);
    return r;
}

}  // namespace

demod_parse_result parse_demod_options(const std::vector<std::string>& args) {
    demod_parse_result r;
    demod_options& o = r.options;
    std::vector<std::string> files;
    bool options_end = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_end || a.size() < 2 || a[0] != '-' || a == "-") {
            files.push_back(a);
            continue;
        }
        if (a == "--") {
            options_end = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            r.outcome = demod_parse_result::help;
            return r;
        }
        if (a == "--reverse") {
            o.reverse_input = true;
            continue;
        }
        if (a == "--quiet") {
            o.quiet = true;
            continue;
        }
        // Every other option takes a value, as "--name value" or "--name=value".
        std::string name = a, value;
        bool has_value = false;
        if (size_t eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            has_value = true;
        }
        static const char* const valued[] = {
            "--mode", "--tuned-bin",  "--bandwidth", "--low-cut", "--pitch",   "--window",
            "--agc",  "--gain-limit", "--notch",     "--rf-gain", "--iq-gain", "--iq-phase"};
        bool known = false;
        for (const char* v : valued) known = known || name == v;
        if (!known) return fail("unknown option " + name + " (see --help)");
        if (!has_value) {
            if (i + 1 >= args.size()) return fail(name + " needs a value");
            value = args[++i];
        }
        const std::string bad = "bad value for " + name + ": \"" + value + "\"";
        if (name == "--mode") {
            if (value == "lsb")
                o.mode = demod_mode::lsb;
            else if (value == "usb")
                o.mode = demod_mode::usb;
            else if (value == "cwl")
                o.mode = demod_mode::cwl;
            else if (value == "cwu")
                o.mode = demod_mode::cwu;
            else
                return fail(bad + " (lsb, usb, cwl or cwu)");
        } else if (name == "--tuned-bin") {
            if (!parse_int(value, 0, 4095, o.tuned_bin)) return fail(bad + " (0..4095)");
            o.tuned_bin += o.tuned_bin % 2;  // the tuning controls keep it even
        } else if (name == "--bandwidth") {
            if (!parse_int(value, 1, 20000, o.band_width)) return fail(bad + " (1..20000 Hz)");
        } else if (name == "--low-cut") {
            if (!parse_int(value, 0, 20000, o.low_cutoff_hz)) return fail(bad + " (0..20000 Hz)");
        } else if (name == "--pitch") {
            if (!parse_int(value, 0, 20000, o.pitch_hz)) return fail(bad + " (0..20000 Hz)");
        } else if (name == "--window") {
            if (!parse_int(value, 0, 4, o.func)) return fail(bad + " (0..4)");
        } else if (name == "--agc") {
            if (value == "on")
                o.agc_on = true;
            else if (value == "off")
                o.agc_on = false;
            else
                return fail(bad + " (on or off)");
        } else if (name == "--gain-limit") {
            if (!parse_float(value, 0.0, 10000.0, o.agc_gain_limit))
                return fail(bad + " (0..10000)");
        } else if (name == "--notch") {
            size_t colon = value.find(':');
            if (colon == std::string::npos ||
                !parse_int(value.substr(0, colon), 221, 500, o.notch_position) ||
                !parse_int(value.substr(colon + 1), 1, 140, o.notch_span))
                return fail(bad + " (POS:SPAN, POS 221..500, SPAN 1..140)");
            o.notch_on = true;
        } else if (name == "--rf-gain") {
            if (!parse_int(value, 0, 10, o.rf_gain)) return fail(bad + " (0..10)");
        } else if (name == "--iq-gain") {
            if (!parse_int(value, -19000, 19000, o.iq_gain)) return fail(bad + " (-19000..19000)");
        } else if (name == "--iq-phase") {
            if (!parse_int(value, -28000, 28000, o.iq_phase)) return fail(bad + " (-28000..28000)");
        }
    }
    if (files.size() != 2)
        return fail(files.size() < 2 ? "needs INPUT.wav and OUTPUT.wav (see --help)"
                                     : "too many file names: \"" + files[2] + "\"");
    o.input = files[0];
    o.output = files[1];
    return r;
}
