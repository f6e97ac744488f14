#pragma once
// Receiving without a window: opens the stream on the selected card and keeps it running
// (the stream thread reopens it when it stops working) until SIGINT or SIGTERM (or until
// stop_requested, when given, becomes true), then stops it. The DSP thread must already
// run on the same hand-offs as ctx. Prints one status line a second to `status` when it
// is not null. Returns 0 after a clean run, 1 when the stream could not be opened.
#include <atomic>
#include <cstdint>
#include <cstdio>

#include "audio/stream.h"

int headless_receive(audio_stream& s, audio_context& ctx, int32_t selected_card,
                     int32_t sample_rate, std::FILE* status = stderr,
                     const std::atomic<bool>* stop_requested = nullptr);
