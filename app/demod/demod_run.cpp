#include "app/demod/demod_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/demod/demod_engine.h"
#include "record/wave_file.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;
void on_signal(int) {
    interrupted = 1;
}

const char* mode_name(demod_mode m) {
    switch (m) {
        case demod_mode::lsb:
            return "lsb";
        case demod_mode::usb:
            return "usb";
        case demod_mode::cwl:
            return "cwl";
        case demod_mode::cwu:
            return "cwu";
    }
    return "?";
}

// The output under construction: a temporary file beside the output name, removed unless
// it was renamed into place.
struct temp_output {
    std::string path;
    wave_file file;
    bool committed = false;
    ~temp_output() {
        close_wave_file(file);
        if (!path.empty() && !committed) ::unlink(path.c_str());
    }
};

bool open_temp_output(const std::string& output, temp_output& t, std::string& why) {
    namespace fs = std::filesystem;
    fs::path out(output);
    if (out.filename().empty()) {
        why = "no file name";
        return false;
    }
    fs::path dir = out.parent_path();
    std::string tmpl = (dir / ("." + out.filename().string() + ".tmp-XXXXXX")).string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    t.path = tmpl;
    // mkstemp makes the file private; give it the mode an ordinary create would.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::FILE* s = ::fdopen(fd, "wb");
    if (!s) {
        why = std::strerror(errno);
        ::close(fd);
        return false;
    }
    t.file = wave_file(s);
    return true;
}

struct progress_meter {
    std::FILE* err;
    bool on;
    bool tty;
    uint64_t total;
    double seconds_per_block;
    int last_step = -1;

    void show(uint64_t done) {
        if (!on) return;
        const int percent = int(done * 100 / total);
        const int step = tty ? percent : percent / 10 * 10;
        if (step == last_step) return;
        last_step = step;
        std::fprintf(err, "%stolvan-demod: %3d%% (%.0f of %.0f s)%s", tty ? "\r" : "", step,
                     double(done) * seconds_per_block, double(total) * seconds_per_block,
                     tty ? "" : "\n");
        if (tty && done == total) std::fputc('\n', err);
        std::fflush(err);
    }
};

}  // namespace

int run_demod(const demod_options& o, std::FILE* err) {
    const char* in_name = o.input.c_str();
    std::FILE* in_stream = std::fopen(in_name, "rb");
    if (!in_stream) {
        std::fprintf(err, "tolvan-demod: cannot open %s: %s\n", in_name, std::strerror(errno));
        return demod_exit_usage;
    }
    struct stat st {};
    if (::fstat(::fileno(in_stream), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(in_stream);
        std::fprintf(err, "tolvan-demod: %s is not a regular file\n", in_name);
        return demod_exit_usage;
    }
    std::optional<opened_wave> in = open_wave_stream(in_stream);
    if (!in) {
        std::fprintf(err,
                     "tolvan-demod: %s is not a 32-bit float wave file (RIFF/WAVE, format 3, "
                     "data right after the format chunk)\n",
                     in_name);
        return demod_exit_usage;
    }
    const wave_info& info = in->info;
    if (info.channels != 2 || info.bits_per_sample != 32) {
        std::fprintf(
            err, "tolvan-demod: %s has %u channels of %u bits; it must be stereo 32-bit float\n",
            in_name, unsigned(info.channels), unsigned(info.bits_per_sample));
        return demod_exit_usage;
    }
    const int32_t rate = info.sample_rate;
    if (rate != 48000 && rate != 96000) {
        std::fprintf(
            err,
            "tolvan-demod: %s has a sample rate of %u Hz; only 48000 and 96000 Hz are supported\n",
            in_name, unsigned(info.sample_rate));
        return demod_exit_usage;
    }
    if (is_cw(o.mode) && rate != 96000) {
        std::fprintf(err, "tolvan-demod: --mode %s needs a 96000 Hz input; %s is at %d Hz\n",
                     mode_name(o.mode), in_name, rate);
        return demod_exit_usage;
    }

    // A recording cut off (a crash, a power cut, a copy cut short) has a data size of 0 or
    // one beyond the end of the file: what the file holds is demodulated.
    const uint64_t data = info.data_size;
    if (info.size_from_length) {
        std::fprintf(err,
                     "tolvan-demod: warning: %s declares %llu bytes of samples but holds %llu; "
                     "demodulating those (a recording that was cut off)\n",
                     in_name, (unsigned long long)info.declared_data_size,
                     (unsigned long long)data);
    }
    const uint64_t floats = data / 4;
    const uint64_t whole_blocks = floats / wave_block_floats;
    const uint32_t tail = uint32_t(floats % wave_block_floats);
    const uint64_t total = whole_blocks + (tail ? 1 : 0);

    temp_output out;
    std::string why;
    if (!open_temp_output(o.output, out, why)) {
        std::fprintf(err, "tolvan-demod: cannot write %s: %s\n", o.output.c_str(), why.c_str());
        return demod_exit_output;
    }
    auto write_failed = [&]() {
        std::fprintf(err, "tolvan-demod: cannot write %s: %s\n", o.output.c_str(),
                     errno ? std::strerror(errno) : "write error");
        return demod_exit_output;
    };
    if (!write_wave_header(out.file.stream, rate == 96000)) return write_failed();

    struct sigaction sa {};
    sa.sa_handler = on_signal;
    struct sigaction old_int {
    }, old_term{};
    ::sigaction(SIGINT, &sa, &old_int);
    ::sigaction(SIGTERM, &sa, &old_term);
    struct restore_signals {
        struct sigaction i, t;
        ~restore_signals() {
            ::sigaction(SIGINT, &i, nullptr);
            ::sigaction(SIGTERM, &t, nullptr);
        }
    } restore{old_int, old_term};

    demod_engine_ptr engine = make_demod_engine(o, rate);
    const double seconds_per_block = double(block_size) / rate;
    progress_meter progress{err, !o.quiet && double(total) * seconds_per_block > 10.0,
                            ::isatty(::fileno(err)) != 0, total, seconds_per_block};

    static float left[block_size], right[block_size], audio[block_size];
    for (uint64_t b = 0; b < total; ++b) {
        if (interrupted) {
            std::fprintf(err, "\ntolvan-demod: interrupted; %s not written\n", o.output.c_str());
            return 130;
        }
        if (b < whole_blocks) {
            if (!read_wave_block(in->file, left, right)) {
                std::fprintf(err, "tolvan-demod: read error in %s at block %llu\n", in_name,
                             (unsigned long long)b);
                return demod_exit_usage;
            }
        } else {
            read_wave_tail(in->file, left, right, tail);
        }
        demod_block(*engine, left, right, audio);
        errno = 0;
        if (!write_wave_block(out.file, audio, audio)) return write_failed();
        progress.show(b + 1);
    }

    errno = 0;
    if (!finish_wave_file(out.file) || ::fsync(::fileno(out.file.stream)) != 0 ||
        !close_wave_file(out.file))
        return write_failed();
    if (std::rename(out.path.c_str(), o.output.c_str()) != 0) return write_failed();
    out.committed = true;
    return demod_exit_ok;
}
