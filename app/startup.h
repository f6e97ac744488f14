#pragma once
// Start-up, the frame loop and shutdown of the receiver.
#include "app/core_state.h"
#include "settings/persisted_values.h"

constexpr int exit_no_window = 1;  // no display, or no device to draw with

struct startup_options {
    int startup_wait_ms = 1000;  // [ms] each of the two waits after the audio library starts
    bool open_window = true;     // false: run the receiver core without window (tests)
};

extern core_state core;
extern persisted_values persisted;

// Steps up to the sound-card list: threads, events, settings, audio library, first mode.
void start_receiver_core(const startup_options& options);
// The window, the device, the stored-card check and the frame loop; returns the exit code
// (exit_no_window when the window or its device cannot be made).
int run_receiver_window(int argc, char** argv);
// The entry point's whole sequence.
int run_receiver(int argc, char** argv, const startup_options& options);

// Stops the stream, saves the settings, closes wave files, stops the threads and
// releases the audio library, in that order.
void shutdown_receiver();
// The same without saving the settings, for an end other than "Quit" (the window closed,
// Esc, the display lost): a running recording is finished all the same.
void end_without_saving();
