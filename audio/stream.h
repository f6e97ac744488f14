#pragma once
// The sound-card list and the one full-duplex stream on the selected card: block_size
// stereo float frames in (I left, Q right) and out (the same audio on both channels).
//
// How a stream is driven depends on the device. A card's own ALSA device ("hw:") and JACK
// call the receiver's audio callback from their real-time thread. A sound server reached
// through an ALSA plugin (PulseAudio's or PipeWire's "pulse", "default", ...) has no
// usable wake-up for a callback stream (the library polls it without pause), so there the
// receiver's own stream thread reads and writes whole blocks, sleeping until the next one
// is due. Either way one stream thread watches the stream: a stream that the host ends,
// that stops delivering, or whose input turns to digital silence after a signal
// (audio/silence_watch.h) is closed and opened again at once, then every
// reopen_interval_ms, until it runs or the receiver stops it.
//
// open_stream, stop_stream and the library functions run on the GUI thread; the stream
// thread opens the stream itself (a sound server's client threads then share its
// priority), and while a stream runs only its stream thread touches it.
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "audio/audio_context.h"
#include "platform/event.h"
#include "platform/relaxed.h"

enum class stream_drive : uint8_t {
    callback,    // the library's thread calls audio_callback
    own_thread,  // the stream thread reads and writes blocks
};

enum class stream_state : uint8_t {
    stopped,    // no stream
    running,    // the stream delivers blocks
    reopening,  // it stopped working; the stream thread opens it again
};

constexpr int reopen_interval_ms = 200;  // [ms] between attempts to reopen a stream

struct audio_stream {
    relaxed<uint8_t> stream_open{0};  // the user has the receiver started (written by callers)
    int32_t device_count = 0;         // devices at the last enumeration
    bool library_up = false;          // the library is initialised for this record
    std::string message_text;         // text of the last message box, UTF-8
    void (*post_quit)(int exit_code) = nullptr;  // the application's quit request

    // The stream in use: set up by open_stream; the stream thread owns the handle until
    // stop_stream has joined it.
    void* stream = nullptr;  // the library's stream handle; null when none exists
    int32_t card = -1;
    int32_t sample_rate = 0;  // [Hz]
    stream_drive drive = stream_drive::callback;
    audio_context* ctx = nullptr;
    std::thread thread;
    std::atomic<bool> stop_wanted{false};
    manual_event stop_event;
    manual_event opened;  // the stream thread's first open is done
    std::atomic<bool> open_failed{false};

    // Published by the stream thread.
    std::atomic<stream_state> state{stream_state::stopped};
    relaxed<int64_t> trouble_since_ms{0};  // [ms, steady clock] when it stopped working
    relaxed<uint32_t> revivals{0};         // streams reopened after they stopped working
    relaxed<uint32_t> failed_reopens{0};   // attempts to reopen that failed
};

// One entry of the sound-card list: the device's name (UTF-8, at most 200 characters)
// and its device index, which is the value to store in selected_card.
struct sound_card {
    std::string name;
    int32_t index;
};

// Starts the library, then waits 1000 ms. On failure: message box with the library's
// error text and the caption "PA19_initialize error", then the quit request (exit code 0).
// The sound libraries' own diagnostics (ALSA, JACK) are kept off stderr from here on.
void init_audio_library(audio_stream& s);

// The devices in the library's order. card_names[i] gets the name of device i for the
// slots that exist (the rest are emptied). Enumerates inside its own balanced library
// start; on failure the list is empty and card_names is left as it was.
std::vector<sound_card> fill_card_list(audio_stream& s, std::span<std::string> card_names);

// The device's name, bounded like the list entries; none for an index without a device.
std::optional<std::string> card_name(const audio_stream& s, int32_t card);

// Device index of the first entry named `name`, or -1.
int32_t find_card(const std::vector<sound_card>& cards, std::string_view name);

// How a device of the library's host API `host_api_type` (a PaHostApiTypeId) named
// `device_name` is driven.
stream_drive choose_stream_drive(int host_api_type, std::string_view device_name);

// Replaces any stream by a new running one on `card` (input and output) at sample_rate
// [Hz], with ctx as the audio side's state; ctx must outlive the stream. Returns 0 when
// it runs (after a 100 ms settling wait) and 1 when it could not be opened or started.
// A failure leaves the library usable, so a later open with another card or rate can work.
int32_t open_stream(audio_stream& s, audio_context& ctx, int32_t card, int32_t sample_rate);

// Stops the stream thread, aborts (pending buffers are dropped) and closes the stream;
// nothing of the stream runs after it returns. On an error: message box with the error
// text and the caption "stop_PA19 error", library terminated, quit request (exit code 0).
// The caller continues.
void stop_stream(audio_stream& s);

// A stream exists and delivers blocks (not while it is being reopened).
bool stream_active(const audio_stream& s);

// [ms] since the stream stopped working; 0 while it runs or when there is none.
int64_t stream_trouble_ms(const audio_stream& s);

// Ends the library (shutdown); stop_stream must have run.
void terminate_audio_library(audio_stream& s);

// [ms] of the steady clock, the time base of trouble_since_ms.
int64_t steady_now_ms();
// [us] of the same clock.
int64_t steady_now_us();
