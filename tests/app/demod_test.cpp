// tolvan-demod: the option parser directly, and the real executable on recordings made here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/demod/demod_options.h"
#include "record/wave_file.h"
#include "tests/app/demod_exe.h"

namespace fs = std::filesystem;

namespace {

// ---- option parser ----

demod_parse_result parse(std::vector<std::string> a) {
    return parse_demod_options(a);
}

TEST(DemodOptions, DefaultsAreTheReceiverStartValues) {
    demod_parse_result r = parse({"in.wav", "out.wav"});
    ASSERT_EQ(r.outcome, demod_parse_result::run);
    const demod_options& o = r.options;
    EXPECT_EQ(o.mode, demod_mode::usb);
    EXPECT_EQ(o.tuned_bin, 2048);
    EXPECT_EQ(effective_band_width(o), 2700);
    EXPECT_EQ(o.low_cutoff_hz, 50);
    EXPECT_EQ(o.pitch_hz, 800);
    EXPECT_EQ(o.func, 1);
    EXPECT_TRUE(o.agc_on);
    EXPECT_EQ(o.agc_gain_limit, 70.0f);
    EXPECT_FALSE(o.notch_on);
    EXPECT_EQ(o.rf_gain, 1);
    EXPECT_EQ(o.iq_gain, 10000);
    EXPECT_EQ(o.iq_phase, 0);
    EXPECT_FALSE(o.reverse_input);
    EXPECT_EQ(o.input, "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_EQ(effective_band_width(parse({"--mode", "cwl", "a", "b"}).options), 500);
}

TEST(DemodOptions, ValuesInBothFormsAndOddBinsRaised) {
    demod_parse_result r = parse({"--mode=lsb",
                                  "--tuned-bin",
                                  "1001",
                                  "--bandwidth=2400",
                                  "--low-cut",
                                  "200",
                                  "--pitch",
                                  "600",
                                  "--window",
                                  "3",
                                  "--agc",
                                  "off",
                                  "--gain-limit",
                                  "12.5",
                                  "--notch",
                                  "400:16",
                                  "--rf-gain",
                                  "3",
                                  "--iq-gain",
                                  "-500",
                                  "--iq-phase=1200",
                                  "--reverse",
                                  "--quiet",
                                  "in.wav",
                                  "--",
                                  "-out.wav"});
    ASSERT_EQ(r.outcome, demod_parse_result::run) << r.message;
    const demod_options& o = r.options;
    EXPECT_EQ(o.mode, demod_mode::lsb);
    EXPECT_EQ(o.tuned_bin, 1002);
    EXPECT_EQ(o.band_width, 2400);
    EXPECT_EQ(o.low_cutoff_hz, 200);
    EXPECT_EQ(o.pitch_hz, 600);
    EXPECT_EQ(o.func, 3);
    EXPECT_FALSE(o.agc_on);
    EXPECT_EQ(o.agc_gain_limit, 12.5f);
    EXPECT_TRUE(o.notch_on);
    EXPECT_EQ(o.notch_position, 400);
    EXPECT_EQ(o.notch_span, 16);
    EXPECT_EQ(o.rf_gain, 3);
    EXPECT_EQ(o.iq_gain, -500);
    EXPECT_EQ(o.iq_phase, 1200);
    EXPECT_TRUE(o.reverse_input && o.quiet);
    EXPECT_EQ(o.output, "-out.wav");
    EXPECT_EQ(parse({"--tuned-bin", "4095", "a", "b"}).options.tuned_bin, 4096);
    EXPECT_EQ(parse({"--help"}).outcome, demod_parse_result::help);
}

TEST(DemodOptions, BadArgumentsAreErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"in.wav"},
        {"a", "b", "c"},
        {"--mode", "am", "a", "b"},
        {"--frobnicate", "a", "b"},
        {"a", "b", "--tuned-bin"},
        {"--tuned-bin", "4096", "a", "b"},
        {"--tuned-bin", "-2", "a", "b"},
        {"--tuned-bin", "12x", "a", "b"},
        {"--bandwidth", "0", "a", "b"},
        {"--window", "5", "a", "b"},
        {"--agc", "yes", "a", "b"},
        {"--gain-limit", "nan", "a", "b"},
        {"--notch", "400", "a", "b"},
        {"--notch", "220:16", "a", "b"},
        {"--notch", "400:141", "a", "b"},
        {"--rf-gain", "11", "a", "b"},
        {"--iq-gain", "19001", "a", "b"},
        {"--iq-phase", "-28001", "a", "b"},
    };
    for (const auto& args : bad) {
        demod_parse_result r = parse(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.outcome, demod_parse_result::error) << joined;
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(r.message.find('\n'), std::string::npos);
    }
}

// ---- the executable ----

// A recording of complex tones: each (offset [Hz] from the local oscillator, amplitude)
// appears as I = A sin, Q = A cos on the left and right channels, so the complex sample
// Q + i I is A exp(+2 pi i f t).
struct tone {
    double hz;
    double amplitude;
};

void write_recording(const std::string& name, int rate, int frames, std::vector<tone> tones) {
    std::optional<wave_file> f = create_wave_file(name.c_str(), rate == 96000);
    ASSERT_TRUE(f);
    float l[block_size], r[block_size];
    for (int start = 0; start < frames; start += block_size) {
        for (int k = 0; k < block_size; ++k) {
            double i = 0, q = 0;
            for (const tone& t : tones) {
                const double ph = 2 * M_PI * t.hz * double(start + k) / rate;
                i += t.amplitude * std::sin(ph);
                q += t.amplitude * std::cos(ph);
            }
            l[k] = float(i);
            r[k] = float(q);
        }
        const int n = std::min(block_size, frames - start);
        if (n == block_size) {
            ASSERT_TRUE(write_wave_block(*f, l, r));
        } else {
            for (int k = 0; k < n; ++k) {
                ASSERT_EQ(std::fwrite(&l[k], 4, 1, f->stream), 1u);
                ASSERT_EQ(std::fwrite(&r[k], 4, 1, f->stream), 1u);
            }
        }
    }
    ASSERT_TRUE(finish_wave_file(*f));
}

struct demod_output {
    wave_info info;
    std::vector<float> audio;  // left channel
    bool channels_identical = true;
    uint32_t riff_size = 0;
    uint64_t file_size = 0;
};

demod_output read_output(const std::string& name) {
    demod_output o;
    std::optional<opened_wave> w = open_wave_file(name.c_str());
    EXPECT_TRUE(w);
    if (!w) return o;
    o.info = w->info;
    float l[block_size], r[block_size];
    for (uint32_t b = 0; b < w->info.total_blocks; ++b) {
        EXPECT_TRUE(read_wave_block(w->file, l, r));
        o.audio.insert(o.audio.end(), l, l + block_size);
        o.channels_identical = o.channels_identical && std::equal(l, l + block_size, r);
    }
    o.file_size = fs::file_size(name);
    std::ifstream in(name, std::ios::binary);
    uint8_t h[8];
    in.read(reinterpret_cast<char*>(h), 8);
    o.riff_size =
        uint32_t(h[4]) | uint32_t(h[5]) << 8 | uint32_t(h[6]) << 16 | uint32_t(h[7]) << 24;
    return o;
}

// Share of the signal's energy in a tone at hz (1 for a pure tone at hz), over whole
// seconds of audio after a settling time.
double tone_share(const std::vector<float>& x, int rate, double hz, int skip) {
    std::complex<double> acc = 0;
    double energy = 0;
    const int n = int(x.size()) - skip;
    for (int i = 0; i < n; ++i) {
        const double v = x[size_t(skip + i)];
        acc += v * std::polar(1.0, -2 * M_PI * hz * i / rate);
        energy += v * v;
    }
    return energy > 0 ? 2 * std::norm(acc) / (double(n) * energy) : 0;
}

double rms(const std::vector<float>& x, int skip) {
    double e = 0;
    for (size_t i = size_t(skip); i < x.size(); ++i) e += double(x[i]) * x[i];
    return std::sqrt(e / double(x.size() - size_t(skip)));
}

struct Demod : ::testing::Test {
    temp_dir d;
    std::string in = d.file("in.wav"), out = d.file("out.wav");

    // Demodulates a recording of one tone and returns the output.
    demod_output demod(int rate, tone t, std::vector<std::string> args, int seconds = 1) {
        write_recording(in, rate, rate * seconds + block_size * 4, {t});
        args.push_back(in);
        args.push_back(out);
        run_result r = run_demod_exe(args, d);
        EXPECT_EQ(r.status, 0) << r.err;
        return read_output(out);
    }
};

constexpr int settle = 4 * block_size;  // [samples] left out of the measurements

TEST_F(Demod, UpperSidebandToneComesOutAtItsAudioFrequency) {
    for (int rate : {96000, 48000}) {
        const double bin = rate / 4096.0;
        // Tuned 52 bins above the centre; the tone 1000 Hz above the tuned frequency.
        demod_output o = demod(rate, {52 * bin + 1000, 0.1}, {"--tuned-bin", "2100"});
        EXPECT_GT(tone_share(o.audio, rate, 1000, settle), 0.95) << rate;
        EXPECT_EQ(o.info.sample_rate, rate);
    }
}

TEST_F(Demod, LowerSidebandToneComesOutAtItsAudioFrequency) {
    for (int rate : {96000, 48000}) {
        const double bin = rate / 4096.0;
        demod_output o =
            demod(rate, {-100 * bin - 1500, 0.1}, {"--mode", "lsb", "--tuned-bin", "1948"});
        EXPECT_GT(tone_share(o.audio, rate, 1500, settle), 0.95) << rate;
    }
}

TEST_F(Demod, CwToneAtThePitchIsHeardAtThePitch) {
    const double bin = 96000 / 4096.0;
    demod_output o = demod(96000, {-512 * bin + 700, 0.1},
                           {"--mode", "cwu", "--tuned-bin", "1536", "--pitch", "700"});
    EXPECT_GT(tone_share(o.audio, 96000, 700, settle), 0.95);
    o = demod(96000, {-512 * bin - 800, 0.1}, {"--mode", "cwl", "--tuned-bin", "1536"});
    EXPECT_GT(tone_share(o.audio, 96000, 800, settle), 0.95);
}

TEST_F(Demod, OppositeSidebandIsStronglyRejected) {
    for (int rate : {96000, 48000}) {
        const std::vector<std::string> fixed_gain = {"--agc", "off", "--gain-limit", "10"};
        const double wanted = rms(demod(rate, {1200, 0.1}, fixed_gain).audio, settle);
        const double image = rms(demod(rate, {-1200, 0.1}, fixed_gain).audio, settle);
        EXPECT_GT(wanted, 0.3) << rate;
        EXPECT_LT(image, wanted * 0.01) << rate << ": at least 40 dB down";
        std::vector<std::string> lsb = fixed_gain;
        lsb.insert(lsb.end(), {"--mode", "lsb"});
        EXPECT_LT(rms(demod(rate, {1200, 0.1}, lsb).audio, settle),
                  rms(demod(rate, {-1200, 0.1}, lsb).audio, settle) * 0.01);
    }
}

TEST_F(Demod, NotchReverseAndRfGainReachTheSignalPath) {
    const std::vector<std::string> fixed = {"--agc", "off", "--gain-limit", "10"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.end(), fixed.begin(), fixed.end());
        return rms(demod(96000, {1000, 0.1}, extra).audio, settle);
    };
    const double plain = with({});
    // 1000 Hz is bin 42.7 above the tuned one; position 436 blanks bins 32..51.
    const double notched = with({"--notch", "436:20"});
    EXPECT_LT(notched, plain * 0.1);
    EXPECT_GT(with({"--notch", "300:20"}), plain * 0.9) << "a notch elsewhere leaves the tone";
    EXPECT_LT(with({"--reverse"}), plain * 0.01) << "swapped I and Q: the other sideband";
    EXPECT_EQ(with({"--rf-gain", "0"}), 0.0);
    EXPECT_NEAR(with({"--rf-gain", "2"}), 2 * plain, 0.01 * plain);
}

TEST_F(Demod, AgcBringsThePeakTo036) {
    demod_output o = demod(96000, {1000, 0.01}, {});
    float peak = 0;
    for (size_t i = settle; i < o.audio.size(); ++i) peak = std::max(peak, o.audio[i]);
    EXPECT_NEAR(peak, 0.36f, 0.01f);
}

TEST_F(Demod, OutputIsARecordingLayoutWithIdenticalChannels) {
    // 2.5 blocks of input: the last block is padded, so three blocks come out.
    write_recording(in, 48000, 2 * block_size + block_size / 2, {{1000, 0.1}});
    run_result r = run_demod_exe({in, out}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    demod_output o = read_output(out);
    EXPECT_EQ(o.info.total_blocks, 3u);
    EXPECT_EQ(o.info.tail_count, 0u);
    EXPECT_EQ(o.info.data_offset, 44);
    EXPECT_EQ(o.info.sample_rate, 48000);
    EXPECT_EQ(o.info.channels, 2);
    EXPECT_EQ(o.file_size, 44u + 3 * 16384u);
    EXPECT_EQ(o.info.data_size, o.file_size - 44);
    EXPECT_EQ(o.riff_size, o.file_size - 8);
    EXPECT_TRUE(o.channels_identical);
    EXPECT_TRUE(r.err.empty()) << r.err;
    // Nothing else is left in the folder (no temporary file).
    int entries = 0;
    for (auto& e : fs::directory_iterator(d.path)) entries += e.path().filename() != "stderr.txt";
    EXPECT_EQ(entries, 2);
}

TEST_F(Demod, ProgressUnlessQuiet) {
    write_recording(in, 48000, 48000 * 12, {{1000, 0.1}});
    run_result r = run_demod_exe({in, out}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
    r = run_demod_exe({"--quiet", in, out}, d);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(Demod, BadArgumentsAndInputsExitWith2) {
    write_recording(in, 48000, block_size, {{1000, 0.1}});
    auto expect_usage_error = [&](std::vector<std::string> args, const char* why) {
        run_result r = run_demod_exe(args, d);
        EXPECT_EQ(r.status, 2) << why << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << why << ": " << r.err;
        EXPECT_FALSE(fs::exists(out)) << why;
    };
    expect_usage_error({"--mode", "fm", in, out}, "unknown mode");
    expect_usage_error({in}, "no output name");
    expect_usage_error({"--mode", "cwl", in, out}, "cw at 48 kHz");
    expect_usage_error({d.file("missing.wav"), out}, "missing input");
    expect_usage_error({d.path.string(), out}, "a folder as input");

    std::ofstream(d.file("junk.wav")) << "this is not a wave file at all, just text";
    expect_usage_error({d.file("junk.wav"), out}, "not a wave file");

    // The same recording relabelled as 44100 Hz.
    std::fstream f(in, std::ios::in | std::ios::out | std::ios::binary);
    const uint8_t rate44[8] = {0x44, 0xac, 0, 0, 0x10, 0xb1, 0x02, 0};
    f.seekp(24);
    f.write(reinterpret_cast<const char*>(rate44), 8);
    f.close();
    expect_usage_error({in, out}, "44100 Hz input");
}

TEST_F(Demod, UnwritableOutputExitsWith1AndLeavesNoFile) {
    write_recording(in, 96000, 96000 * 2, {{1000, 0.1}});
    const std::string nowhere = d.file("missing/out.wav");
    run_result r = run_demod_exe({in, nowhere}, d);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(fs::exists(nowhere));

    // The disk fills up half-way: an older file under the output name stays as it was,
    // and no temporary file is left.
    std::ofstream(out) << "older";
    r = run_demod_exe({in, out}, d, 100000);
    EXPECT_EQ(r.status, 1) << r.err;
    std::ifstream older(out);
    std::string content;
    older >> content;
    EXPECT_EQ(content, "older");
    for (auto& e : fs::directory_iterator(d.path))
        EXPECT_EQ(e.path().filename().string().find(".out.wav"), std::string::npos) << e.path();

    // A folder under the output name cannot be replaced.
    fs::create_directory(d.file("dir.wav"));
    r = run_demod_exe({in, d.file("dir.wav")}, d);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(fs::is_directory(d.file("dir.wav")));
}

}  // namespace
