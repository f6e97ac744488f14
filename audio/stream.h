#pragma once
// The sound-card list and the one full-duplex stream on the selected card: block_size
// stereo float frames in (I left, Q right) and out (the same audio on both channels).
// Every function here runs on the GUI thread.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/audio_context.h"
#include "platform/relaxed.h"

struct audio_stream {
    void* stream = nullptr;           // the library's stream handle; null when none exists
    relaxed<uint8_t> stream_open{0};  // the user has the receiver started (written by callers)
    int32_t device_count = 0;         // devices at the last enumeration
    bool library_up = false;          // the library is initialised for this record
    std::string message_text;         // text of the last message box, UTF-8
    uint32_t revivals = 0;            // streams reopened after the library ended them
    void (*post_quit)(int exit_code) = nullptr;  // the application's quit request
};

// One entry of the sound-card list: the device's name (UTF-8, at most 200 characters)
// and its device index, which is the value to store in selected_card.
struct sound_card {
    std::string name;
    int32_t index;
};

// Starts the library, then waits 1000 ms. On failure: message box with the library's
// error text and the caption "PA19_initialize error", then the quit request (exit code 0).
void init_audio_library(audio_stream& s);

// The devices in the library's order. card_names[i] gets the name of device i for the
// slots that exist (the rest are emptied). Enumerates inside its own balanced library
// start; on failure the list is empty and card_names is left as it was.
std::vector<sound_card> fill_card_list(audio_stream& s, std::span<std::string> card_names);

// The device's name, bounded like the list entries; none for an index without a device.
std::optional<std::string> card_name(const audio_stream& s, int32_t card);

// Device index of the first entry named `name`, or -1.
int32_t find_card(const std::vector<sound_card>& cards, std::string_view name);

// Replaces any stream by a new running one on `card` (input and output) at sample_rate
// [Hz], with ctx as the callback's user data; ctx must outlive the stream. Returns 0 when
// it runs (after a 100 ms settling wait) and 1 when it could not be opened or started.
// A failure leaves the library usable, so a later open with another card or rate can work.
int32_t open_stream(audio_stream& s, audio_context& ctx, int32_t card, int32_t sample_rate);

// Aborts (pending buffers are dropped) and closes the stream; no callback runs after it
// returns. On an error: message box with the error text and the caption "stop_PA19 error",
// library terminated, quit request (exit code 0). The caller continues.
void stop_stream(audio_stream& s);

// The stream exists and the library reports it running.
bool stream_active(const audio_stream& s);

// A stream can end by itself when the host's sound system fails under it (the ALSA pulse
// plugin after an underrun, a card unplugged). Called now and then while stream_open is
// set (about once a second): reopens a stream that exists but no longer runs. Returns 0
// when the stream runs (again), 1 when it could not be reopened; a stream that was never
// opened or was stopped is left alone.
int32_t revive_stream(audio_stream& s, audio_context& ctx, int32_t card, int32_t sample_rate);

// Ends the library (shutdown); stop_stream must have run.
void terminate_audio_library(audio_stream& s);
