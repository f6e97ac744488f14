// One whole DSP cycle (input copy to published audio and spectra), and its costliest parts.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include "dsp/dsp_cycle.h"
#include "dsp/rebuild_filter.h"
#include "dsp/window.h"

namespace {

struct bench_rig {
    std::unique_ptr<signal_state> signal = std::make_unique<signal_state>();
    std::unique_ptr<receive_mode_state> modes = std::make_unique<receive_mode_state>();
    std::unique_ptr<iq_block> in = std::make_unique<iq_block>();
    std::unique_ptr<audio_out_block> out = std::make_unique<audio_out_block>();
};

// Mode `mode` applied, tuned off-centre, notch on, a tone in noise as input.
std::unique_ptr<bench_rig> make_bench_rig(int32_t mode) {
    auto r = std::make_unique<bench_rig>();
    reset_signal_state(*r->signal);
    reset_mode_table(*r->modes);
    r->modes->selected_mode = mode;
    const mode_family family = family_of_mode(mode);
    set_processing_sizes(*r->signal, family.sampling_high != 0);
    r->signal->cw_mode = family.cw_mode;
    r->signal->tuned_bin = 1800;
    r->signal->notch_on = 1;
    make_filter(*r->signal, selected_entry(*r->modes).func);
    rebuild_filter(*r->signal, *r->modes);
    std::mt19937 g(1);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (int32_t k = 0; k < block_size; ++k) {
        const double a = 2.0 * std::numbers::pi * (-248.3) * k / fft_size;
        r->in->re[k] = 0.3 * std::cos(a) + noise(g);
        r->in->im[k] = 0.3 * std::sin(a) + noise(g);
    }
    return r;
}

void BM_dsp_cycle(benchmark::State& state) {
    auto r = make_bench_rig(int32_t(state.range(0)));
    for (auto _ : state) {
        dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
        benchmark::DoNotOptimize(r->out->audio[0]);
    }
    // The time one cycle may take at most: one block period at the mode's rate.
    state.SetLabel("block period " +
                   std::to_string(1000000 * int64_t(block_size) / r->signal->sample_rate) + " us");
}
BENCHMARK(BM_dsp_cycle)->Arg(5)->Arg(1)->Arg(3)->ArgName("mode")->Unit(benchmark::kMicrosecond);

void BM_power_db_4096(benchmark::State& state) {
    auto r = make_bench_rig(5);
    dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
    for (auto _ : state) {
        power_db(r->signal->display_centred, 96000, tb_back(r->signal->spectra).display_db,
                 fft_size);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_power_db_4096)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
