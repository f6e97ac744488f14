#include "soak_signal.h"

#include <pthread.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <cmath>
#include <complex>

double steady_s() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double tone_window::magnitude() const {
    return std::hypot(re, im);
}
double tone_window::phase() const {
    return std::atan2(im, re);
}

namespace {

constexpr int chunk_ms = 5;  // [ms] per write and per read: low latency on both ends

pa_simple* connect(const std::string& device, pa_stream_direction_t dir, int rate) {
    pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, uint32_t(rate), 2};
    pa_buffer_attr attr{};
    const uint32_t chunk = uint32_t(rate / 1000 * chunk_ms * 8);  // [bytes]
    attr.maxlength = uint32_t(-1);
    // The generator keeps 100 ms queued: its own latency does not count (the delay is timed
    // from the input sink's monitor), a gap in it would.
    attr.tlength = dir == PA_STREAM_PLAYBACK ? 20 * chunk : uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    // Recorded in fragments of 5 ms, as the end-to-end test records. A monitor client sets
    // the sink's period: with 20 ms fragments a null sink takes the receiver's output in
    // 20 ms chunks, which eat most of its one-block margin, and the output underflows about
    // twice a minute (4 glitches in 120 s at 96 kHz on PulseAudio).
    attr.fragsize = dir == PA_STREAM_RECORD ? chunk : uint32_t(-1);
    int err = 0;
    return pa_simple_new(nullptr, "tolvan-soak", dir, device.c_str(), "soak", &spec, nullptr, &attr,
                         &err);
}

// The probe's threads run ahead of the receiver's, so what they measure is the receiver.
void raise_priority() {
    sched_param p{};
    p.sched_priority = 50;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &p);
}

void generate(generator* gp) {
    generator& g = *gp;
    raise_priority();
    const int frames = g.rate / 1000 * chunk_ms;
    std::vector<float> buf(2 * size_t(frames));
    const double w = 2 * M_PI * g.offset_hz / g.rate;
    const uint64_t half = uint64_t(g.half_period_s * g.rate);
    uint64_t n = 0;
    while (!g.stop) {
        pa_simple* s = connect(g.sink, PA_STREAM_PLAYBACK, g.rate);
        if (!s) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        while (!g.stop) {
            const bool keyed = g.keyed;
            for (int k = 0; k < frames; ++k, ++n) {
                const bool on = !keyed || (n / half) % 2 == 0;
                const double a = on ? g.amplitude : 0.0;
                buf[2 * k] = float(a * std::sin(w * double(n)));      // left: imaginary part
                buf[2 * k + 1] = float(a * std::cos(w * double(n)));  // right: real part
            }
            int err = 0;
            if (pa_simple_write(s, buf.data(), buf.size() * sizeof(float), &err) < 0) break;
        }
        pa_simple_free(s);
        if (!g.stop) ++g.reconnects;
    }
}

void record(recorder* rp) {
    recorder& r = *rp;
    raise_priority();
    const int frames = r.window_frames;
    std::vector<float> buf(2 * size_t(frames));
    const double w = 2 * M_PI * r.watch_hz / r.rate;
    while (!r.stop) {
        pa_simple* s = connect(r.source, PA_STREAM_RECORD, r.rate);
        if (!s) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        uint64_t n = 0;  // phase reference of this connection
        const uint64_t renewals = r.renewals;
        while (!r.stop && r.renewals == renewals) {
            int err = 0;
            if (pa_simple_read(s, buf.data(), buf.size() * sizeof(float), &err) < 0) break;
            const double now = steady_s();
            const pa_usec_t latency = pa_simple_get_latency(s, &err);
            std::complex<double> z = 0;
            for (int k = 0; k < frames; ++k, ++n) {
                const std::complex<double> x =
                    r.complex_iq ? std::complex<double>(buf[2 * k + 1], buf[2 * k])
                                 : std::complex<double>(buf[2 * k], 0.0);
                z += x * std::polar(1.0, -w * double(n));
            }
            z /= double(frames);
            const double t = now - double(latency) * 1e-6 - double(frames) / r.rate;
            std::lock_guard<std::mutex> hold(r.lock);
            r.windows.push_back({t, z.real(), z.imag()});
        }
        pa_simple_free(s);
        if (!r.stop && r.renewals == renewals) ++r.reconnects;
    }
}

}  // namespace

void start_generator(generator& g) {
    g.thread = std::thread(generate, &g);
}
void stop_generator(generator& g) {
    g.stop = true;
    if (g.thread.joinable()) g.thread.join();
}
void start_recorder(recorder& r) {
    r.thread = std::thread(record, &r);
}
void renew_recorder(recorder& r) {
    ++r.renewals;
}
void stop_recorder(recorder& r) {
    r.stop = true;
    if (r.thread.joinable()) r.thread.join();
}
