// voice_match: how well demodulated speech matches the spoken source.
//
//   voice_match DEMOD.f32 SOURCE.f32 RATE START PERIOD COUNT [MIN]
//
// Both files are raw 32-bit float mono at RATE [Hz], band-limited alike (the test makes them
// with sox). The source is one utterance; the demodulated audio holds it COUNT times, from
// START [s] every PERIOD [s], give or take half a second of delay. Single sideband returns
// speech up to a constant phase rotation, so the two are compared as analytic signals: for
// each utterance the correlation |sum a(t + lag) conj(s(t))| / sqrt(sum |a|^2 sum |s|^2) at
// the lag that maximises it. Prints one line per utterance; exit status 1 when any
// correlation is below MIN (default 0.85), 2 on bad input.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dsp/fft.h"

namespace {

using cplx = std::complex<double>;
constexpr double search_s = 0.5;  // [s] delay searched on either side of the start

bool read_floats(const char* name, std::vector<float>& out) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    float buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, sizeof(float), 4096, f)) > 0)
        out.insert(out.end(), buffer, buffer + got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok && !out.empty();
}

struct transform {
    int32_t points;
    std::vector<int32_t> ip;
    std::vector<double> w;
    explicit transform(int32_t p)
        : points(p), ip(size_t(2 + std::sqrt(double(p)) + 2), 0), w(size_t(fft_w_needed(2 * p))) {}
    void run(std::vector<cplx>& x, int sign) {
        complex_fft(2 * points, sign, reinterpret_cast<double*>(x.data()), ip.data(), w.data());
    }
};

// The spectrum of the analytic signal of x[0 .. n-1], zero-padded to t.points.
std::vector<cplx> analytic_spectrum(transform& t, const float* x, size_t n) {
    std::vector<cplx> s(size_t(t.points), 0.0);
    for (size_t k = 0; k < n; ++k) s[k] = x[k];
    t.run(s, -1);
    for (int32_t k = 1; k < t.points / 2; ++k) s[size_t(k)] *= 2.0;
    for (int32_t k = t.points / 2 + 1; k < t.points; ++k) s[size_t(k)] = 0.0;
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7 || argc > 8) {
        std::fprintf(stderr,
                     "usage: voice_match DEMOD.f32 SOURCE.f32 RATE START PERIOD COUNT [MIN]\n");
        return 2;
    }
    std::vector<float> demod, source;
    if (!read_floats(argv[1], demod) || !read_floats(argv[2], source)) {
        std::fprintf(stderr, "voice_match: cannot read the input files\n");
        return 2;
    }
    const double rate = std::atof(argv[3]), start = std::atof(argv[4]), period = std::atof(argv[5]);
    const int count = std::atoi(argv[6]);
    const double minimum = argc == 8 ? std::atof(argv[7]) : 0.85;
    if (rate <= 0 || count <= 0) return 2;

    const size_t n = source.size();
    const size_t search = size_t(search_s * rate);
    int32_t points = 1;
    while (size_t(points) < n + 2 * search + n) points *= 2;
    transform t(points);
    const std::vector<cplx> s = analytic_spectrum(t, source.data(), n);
    // The source's analytic signal itself, for its energy.
    std::vector<cplx> s_time = s;
    t.run(s_time, +1);
    double source_energy = 0;
    for (size_t k = 0; k < n; ++k) source_energy += std::norm(s_time[k] / double(points));

    bool all_good = true;
    for (int u = 0; u < count; ++u) {
        const double at = start + u * period;
        const int64_t first = std::max<int64_t>(0, int64_t((at - search_s) * rate));
        const int64_t last =
            std::min<int64_t>(int64_t(demod.size()), first + int64_t(n + 2 * search));
        if (last - first < int64_t(n)) {
            std::fprintf(stderr, "voice_match: utterance %d lies beyond the demodulated audio\n",
                         u);
            return 2;
        }
        std::vector<cplx> a = analytic_spectrum(t, demod.data() + first, size_t(last - first));
        std::vector<cplx> a_time = a;
        t.run(a_time, +1);
        // Cross-correlation c(lag) = sum a(t + lag) conj(s(t)).
        for (int32_t k = 0; k < points; ++k) a[size_t(k)] *= std::conj(s[size_t(k)]);
        t.run(a, +1);
        double best = -1;
        int64_t best_lag = 0;
        for (int64_t lag = 0; lag + int64_t(n) <= last - first; ++lag) {
            const double v = std::abs(a[size_t(lag)]);
            if (v > best) {
                best = v;
                best_lag = lag;
            }
        }
        double demod_energy = 0;
        for (size_t k = 0; k < n; ++k)
            demod_energy += std::norm(a_time[size_t(best_lag) + k] / double(points));
        // The unnormalised inverse transform carries a factor points.
        const double c = best / double(points) / std::sqrt(source_energy * demod_energy);
        const double phase = std::arg(a[size_t(best_lag)]);
        std::printf("utterance %d at %.3f s: correlation %.4f, phase %.2f rad\n", u,
                    double(first + best_lag) / rate, c, phase);
        if (!(c >= minimum)) all_good = false;
    }
    return all_good ? 0 : 1;
}
