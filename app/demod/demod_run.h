#pragma once
// tolvan-demod's work: reads the input recording, runs every block through the signal
// path and writes the audio atomically (a temporary file renamed over the output name).
#include <cstdio>

#include "app/demod/demod_options.h"

constexpr int demod_exit_ok = 0;
constexpr int demod_exit_output = 1;  // the output could not be written
constexpr int demod_exit_usage = 2;   // bad arguments or bad input

// Returns the exit status; errors are reported as one line on `err`, progress too unless
// o.quiet.
int run_demod(const demod_options& o, std::FILE* err);
