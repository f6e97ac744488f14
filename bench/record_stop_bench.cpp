// How long the Rec button's stop takes while the disk hangs (a FIFO whose reader reads
// nothing) and on a real file, and what bringing the header's sizes up to date costs each
// second. The stop is timed alone (manual time); setting up and finishing each recording
// are not.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "record/recorder.h"

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

namespace {

struct rig {
    fs::path dir;
    std::unique_ptr<wave_handoff> handoff = std::make_unique<wave_handoff>();
    manual_event event;
    worker_thread thread;
    recorder rec;
    std::vector<float> card = std::vector<float>(2 * block_size, 0.25f);

    rig() {
        std::string tmpl = (fs::temp_directory_path() / "tolvan_bench_XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        rec.handoff = handoff.get();
        rec.record_event = &event;
        rec.thread = &thread;
        thread_create(thread, recorder_thread, &rec);
    }
    ~rig() {
        thread_stop(
            thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
        fs::remove_all(dir);
    }
    void hand_over(int blocks) {
        for (int i = 0; i < blocks; ++i) {
            hand_to_recorder(*handoff, card.data());
            event_set(event);
        }
    }
};

// Blocks handed over before the stop: 20 blocks wait behind a hung disk (0.4 s at 96 kHz).
void BM_stop_with_hung_disk(benchmark::State& state) {
    rig r;
    const std::string fifo = (r.dir / "temp.wav").string();
    ::mkfifo(fifo.c_str(), 0600);
    for (auto _ : state) {
        const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        if (!start_recording(r.rec, fifo.c_str(), true)) {
            state.SkipWithError("cannot record into the FIFO");
            break;
        }
        r.hand_over(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the recorder is stuck
        const auto t0 = clock_type::now();
        benchmark::DoNotOptimize(stop_recording(r.rec));
        const auto t1 = clock_type::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        // The disk comes back: the background finish drains the FIFO.
        ::fcntl(fd, F_SETFL, 0);
        std::thread drain([fd] {
            char buf[65536];
            while (::read(fd, buf, sizeof buf) > 0) {
            }
        });
        wait_recording_finished(r.rec, -1);
        drain.join();
        ::close(fd);
        take_recording_outcome(r.rec);
    }
}
BENCHMARK(BM_stop_with_hung_disk)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

// The same stop on a real file with 20 blocks still waiting, and the whole finish after it.
void BM_stop_on_a_file(benchmark::State& state) {
    rig r;
    const std::string name = (r.dir / "temp.wav").string();
    double finish_s = 0;
    for (auto _ : state) {
        start_recording(r.rec, name.c_str(), true);
        r.hand_over(20);
        const auto t0 = clock_type::now();
        benchmark::DoNotOptimize(stop_recording(r.rec));
        const auto t1 = clock_type::now();
        wait_recording_finished(r.rec, -1);
        finish_s += std::chrono::duration<double>(clock_type::now() - t0).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        take_recording_outcome(r.rec);
    }
    state.counters["finish_ms"] = 1000 * finish_s / double(state.iterations());
}
BENCHMARK(BM_stop_on_a_file)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

// The once-a-second header update: both sizes in place and the data to the disk.
void BM_sizes_up_to_date(benchmark::State& state) {
    rig r;
    const std::string name = (r.dir / "sizes.wav").string();
    std::optional<wave_file> f = create_wave_file(name.c_str(), true);
    const std::vector<float> l(block_size, 0.5f), rr(block_size, -0.5f);
    uint64_t blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 46; ++i) write_wave_block(*f, l.data(), rr.data());  // one second
        blocks += 46;
        state.ResumeTiming();
        benchmark::DoNotOptimize(write_wave_sizes(*f, blocks * wave_block_bytes) &&
                                 sync_wave_file(*f));
    }
    state.counters["ring_blocks"] = double(recorder_ring_blocks);
    state.counters["ring_s_at_96k"] = double(recorder_ring_blocks) * block_size / 96000;
}
BENCHMARK(BM_sizes_up_to_date)->Unit(benchmark::kMicrosecond)->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
