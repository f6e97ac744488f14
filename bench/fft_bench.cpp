// complex_fft at 4096 points (n = 8192 doubles) in both directions, each kernel variant this CPU
// runs, against FFTW (measured plan, in place) in the same run. Prints the ratio of the medians
// (our time / FFTW time) at the end.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "dsp/fft.h"
#include "dsp/fft_isa.h"

namespace {

constexpr int32_t n = 8192;  // doubles
constexpr int32_t points = n / 2;
constexpr int32_t reset_every = 64;  // transforms between refills, so values stay far from overflow

std::vector<double> random_block() {
    std::mt19937_64 gen(42);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x) v = u(gen);
    return x;
}

// Runs step() in the timing loop and refills data from the pristine block outside the timer.
template <class Step>
void timed_loop(benchmark::State& state, double* data, const std::vector<double>& fresh,
                Step step) {
    int32_t count = 0;
    for (auto _ : state) {
        if (++count == reset_every) {
            state.PauseTiming();
            std::memcpy(data, fresh.data(), n * sizeof(double));
            count = 0;
            state.ResumeTiming();
        }
        step();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void bm_tolvan(benchmark::State& state, fft_isa isa, int32_t sign) {
    const std::vector<double> fresh = random_block();
    alignas(64) static double data[n];
    int32_t ip[fft_ip_size] = {};
    static double w[fft_w_size];
    std::memcpy(data, fresh.data(), sizeof data);
    complex_fft_isa(isa, n, sign, data, ip, w);  // builds the table outside the timing
    timed_loop(state, data, fresh, [&] { complex_fft_isa(isa, n, sign, data, ip, w); });
}

void bm_default(benchmark::State& state, int32_t sign) {
    const std::vector<double> fresh = random_block();
    alignas(64) static double data[n];
    int32_t ip[fft_ip_size] = {};
    static double w[fft_w_size];
    std::memcpy(data, fresh.data(), sizeof data);
    complex_fft(n, sign, data, ip, w);
    timed_loop(state, data, fresh, [&] { complex_fft(n, sign, data, ip, w); });
}

void bm_fftw(benchmark::State& state, int32_t sign) {
    const std::vector<double> fresh = random_block();
    fftw_complex* data = fftw_alloc_complex(points);
    fftw_plan plan =
        fftw_plan_dft_1d(points, data, data, sign < 0 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_MEASURE);
    std::memcpy(data, fresh.data(), n * sizeof(double));
    timed_loop(state, reinterpret_cast<double*>(data), fresh, [&] { fftw_execute(plan); });
    fftw_destroy_plan(plan);
    fftw_free(data);
}

// Console output as usual, and the median of every benchmark kept for the ratios. The ratios use
// CPU time: on a shared machine wall time also counts the time the thread was preempted.
class median_reporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> median_ns;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_ns[r.run_name.str()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

const char* direction(int32_t sign) {
    return sign < 0 ? "forward" : "inverse";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=15",
                interleave = "--benchmark_enable_random_interleaving=true";
    bool has_reps = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) has_reps = true;
    if (!has_reps) {
        args.push_back(reps.data());
        args.push_back(interleave.data());
    }
    int args_n = static_cast<int>(args.size());
    benchmark::Initialize(&args_n, args.data());

    for (int32_t sign : {-1, 1}) {
        const std::string dir = direction(sign);
        benchmark::RegisterBenchmark(("fftw/" + dir).c_str(), bm_fftw, sign);
        benchmark::RegisterBenchmark(("complex_fft/" + dir).c_str(), bm_default, sign);
        for (fft_isa isa : {fft_isa::scalar, fft_isa::avx2, fft_isa::avx512})
            if (fft_isa_available(isa))
                benchmark::RegisterBenchmark(
                    ("complex_fft_" + std::string(fft_isa_name(isa)) + "/" + dir).c_str(),
                    bm_tolvan, isa, sign);
    }

    median_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\n4096-point transform, ratio of CPU-time medians (ours / FFTW), variant in use: %s\n",
        fft_isa_name(fft_isa_selected()));
    for (int32_t sign : {-1, 1}) {
        const std::string dir = direction(sign);
        const auto ref = reporter.median_ns.find("fftw/" + dir);
        if (ref == reporter.median_ns.end()) continue;
        for (const auto& [name, ns] : reporter.median_ns)
            if (name != ref->first && name.size() > dir.size() &&
                name.compare(name.size() - dir.size(), dir.size(), dir) == 0)
                std::printf("  %-28s %9.1f ns   fftw %9.1f ns   ratio %.3f\n", name.c_str(), ns,
                            ref->second, ns / ref->second);
    }
    return 0;
}
