#pragma once
// The soak benchmark's view of the sound: a gapless I/Q tone written into the receiver's
// input sink, and two recordings (the input sink's monitor and the output sink's monitor)
// reduced on the fly to the complex amplitude of one frequency per short window.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One analysis window of a recording: when its first sample was captured and the complex
// amplitude of the watched frequency over the window.
struct tone_window {
    double t_s;  // [s, steady clock] capture time of the window's first sample
    double re, im;
    double magnitude() const;
    double phase() const;
};

struct generator {
    std::string sink;
    int rate = 96000;                // [Hz]
    double offset_hz = 13000;        // [Hz] above the local oscillator
    double amplitude = 0.1;          // of the complex tone
    std::atomic<bool> keyed{false};  // on/off every half_period_s instead of steady
    double half_period_s = 0.5;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> reconnects{0};
    std::thread thread;
};
void start_generator(generator& g);
void stop_generator(generator& g);

struct recorder {
    std::string source;
    int rate = 96000;         // [Hz]
    double watch_hz = 1000;   // [Hz]
    bool complex_iq = false;  // input monitor: re = right, im = left; else the left channel
    int window_frames = 480;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> reconnects{0};  // after the server dropped the recording
    std::atomic<uint64_t> renewals{0};    // asked for by renew_recorder
    std::mutex lock;
    std::vector<tone_window> windows;  // under lock
    std::thread thread;
};
void start_recorder(recorder& r);
void stop_recorder(recorder& r);
// Ends the recording and starts a new one, as a listener who comes back hears the sink
// afresh. After a suspend PipeWire (0.3.65) goes on sending silence to a recording of a
// sink's monitor that spans it, while a new recording of the same monitor hears what is
// played, with or without the receiver.
void renew_recorder(recorder& r);

double steady_s();
