#pragma once
// The library calls that make and end one stream handle, shared by open_stream (GUI
// thread) and the stream thread's reopening. Internal to audio/.
#include <portaudio.h>

#include <cstdint>

#include "audio/stream.h"

// Opens and starts a duplex stream on `card` at `sample_rate` [Hz] driven as `drive`;
// null when the device is missing or the library refuses.
PaStream* open_and_start(int32_t card, int32_t sample_rate, stream_drive drive, audio_context& ctx);
// Aborts a running stream (pending buffers are dropped) and closes it.
PaError close_handle(PaStream* stream);

// The stream thread's body: opens the stream (open_stream waits for that), then drives
// and watches it until stop_stream.
void stream_thread_body(audio_stream* s);
