#include "audio/stream.h"

#include <pa_jack.h>
#include <pa_linux_alsa.h>

#include <chrono>

#include "audio/audio_callback.h"
#include "audio/message_text.h"
#include "audio/quiet_libraries.h"
#include "audio/stream_handle.h"
#include "dsp/sizes.h"
#include "platform/message_box.h"
#include "platform/thread.h"

namespace {

constexpr int init_settle_ms = 1000;  // [ms] after the library start
constexpr int open_settle_ms = 100;   // [ms] after a stream start

void show_error(audio_stream& s, PaError err, const char* caption) {
    s.message_text = bounded_utf8(Pa_GetErrorText(err));
    message_box(s.message_text.c_str(), caption);
}

void request_quit(audio_stream& s) {
    if (s.post_quit) s.post_quit(0);
}

PaStreamParameters stream_parameters(int32_t card, const PaDeviceInfo& info) {
    PaStreamParameters p{};
    p.device = card;
    p.channelCount = 2;
    p.sampleFormat = paFloat32;
    p.suggestedLatency = info.defaultLowOutputLatency;  // for the input as well
    p.hostApiSpecificStreamInfo = nullptr;
    return p;
}

// Stops the stream thread, if one runs; the handle stays for the caller to close.
void end_stream_thread(audio_stream& s) {
    if (!s.thread.joinable()) return;
    s.stop_wanted = true;
    event_set(s.stop_event);
    if (s.ctx) event_pulse(s.ctx->output_ready);
    s.thread.join();
}

}  // namespace

int64_t steady_now_ms() {
    return steady_now_us() / 1000;
}

int64_t steady_now_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

PaStream* open_and_start(int32_t card, int32_t sample_rate, stream_drive drive,
                         audio_context& ctx) {
    const PaDeviceInfo* info = card >= 0 ? Pa_GetDeviceInfo(card) : nullptr;
    if (!info) return nullptr;
    const PaStreamParameters output_parameters = stream_parameters(card, *info);
    const PaStreamParameters input_parameters = stream_parameters(card, *info);
    const bool callback = drive == stream_drive::callback;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &input_parameters, &output_parameters, double(sample_rate),
                      block_size, paClipOff, callback ? audio_callback : nullptr,
                      callback ? &ctx : nullptr) != paNoError) {
        return nullptr;
    }
    // A card's own ALSA device gets a real-time callback thread, as its driver's thread
    // has; where that is not permitted the stream starts without it.
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    const bool realtime = callback && host && host->type == paALSA;
    if (realtime) PaAlsa_EnableRealtimeScheduling(stream, 1);
    PaError started = Pa_StartStream(stream);
    if (started != paNoError && realtime) {
        PaAlsa_EnableRealtimeScheduling(stream, 0);
        started = Pa_StartStream(stream);
    }
    if (started != paNoError) {
        Pa_CloseStream(stream);
        return nullptr;
    }
    return stream;
}

PaError close_handle(PaStream* stream) {
    PaError err = paNoError;
    if (Pa_IsStreamStopped(stream) == 0) err = Pa_AbortStream(stream);
    const PaError closed = Pa_CloseStream(stream);
    return err == paNoError ? closed : err;
}

stream_drive choose_stream_drive(int host_api_type, std::string_view device_name) {
    if (host_api_type == paALSA && device_name.find("(hw:") == std::string_view::npos)
        return stream_drive::own_thread;
    return stream_drive::callback;
}

namespace {

// The receiver's name where a sound server shows its clients (JACK's connection graph).
void name_client() {
    PaJack_SetClientName("Tolvan");
}

}  // namespace

void init_audio_library(audio_stream& s) {
    quiet_sound_libraries();
    name_client();
    const PaError err = Pa_Initialize();
    if (err != paNoError) {
        show_error(s, err, "PA19_initialize error");
        request_quit(s);
    } else {
        s.library_up = true;
    }
    sleep_ms(init_settle_ms);
}

std::vector<sound_card> fill_card_list(audio_stream& s, std::span<std::string> card_names) {
    std::vector<sound_card> cards;
    quiet_sound_libraries();
    name_client();
    if (Pa_Initialize() != paNoError) return cards;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    s.device_count = count > 0 ? count : 0;
    for (int32_t i = 0; i < s.device_count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        const char* name = (info && info->name) ? info->name : "";
        if (size_t(i) < card_names.size()) card_names[i] = name;
        cards.push_back({bounded_utf8(name), i});
    }
    for (size_t i = size_t(s.device_count); i < card_names.size(); ++i) card_names[i].clear();
    Pa_Terminate();
    return cards;
}

std::optional<std::string> card_name(const audio_stream& s, int32_t card) {
    if (!s.library_up || card < 0) return std::nullopt;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(card);
    if (!info) return std::nullopt;
    return bounded_utf8(info->name);
}

int32_t find_card(const std::vector<sound_card>& cards, std::string_view name) {
    for (const sound_card& c : cards)
        if (c.name == name) return c.index;
    return -1;
}

int32_t open_stream(audio_stream& s, audio_context& ctx, int32_t card, int32_t sample_rate) {
    // A library that a failed stop or start-up left down is started again here.
    if (!s.library_up) {
        quiet_sound_libraries();
        name_client();
        if (Pa_Initialize() != paNoError) return 1;
        s.library_up = true;
    }
    // Any existing stream goes, running or not, so no handle is lost.
    end_stream_thread(s);
    if (s.stream) {
        const PaError err = close_handle(static_cast<PaStream*>(s.stream));
        s.stream = nullptr;
        s.state = stream_state::stopped;
        if (err != paNoError) return 1;
    }
    const PaDeviceInfo* info = card >= 0 ? Pa_GetDeviceInfo(card) : nullptr;
    if (!info) return 1;
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    s.card = card;
    s.sample_rate = sample_rate;
    s.drive = choose_stream_drive(host ? host->type : -1, info->name);
    s.ctx = &ctx;
    s.trouble_since_ms = 0;
    s.stop_wanted = false;
    s.open_failed = false;
    event_reset(s.stop_event);
    event_reset(s.opened);
    s.thread = std::thread(stream_thread_body, &s);
    event_wait(s.opened);
    if (s.open_failed) {
        s.thread.join();
        return 1;
    }
    sleep_ms(open_settle_ms);
    return 0;
}

void stop_stream(audio_stream& s) {
    end_stream_thread(s);
    s.state = stream_state::stopped;
    s.trouble_since_ms = 0;
    if (!s.stream) return;
    const PaError err = close_handle(static_cast<PaStream*>(s.stream));
    s.stream = nullptr;
    if (err != paNoError) {
        show_error(s, err, "stop_PA19 error");
        if (s.library_up) Pa_Terminate();
        s.library_up = false;
        request_quit(s);
    }
}

bool stream_active(const audio_stream& s) {
    return s.state.load() == stream_state::running;
}

int64_t stream_trouble_ms(const audio_stream& s) {
    if (s.state.load() != stream_state::reopening) return 0;
    const int64_t since = s.trouble_since_ms.load();
    return since > 0 ? steady_now_ms() - since : 0;
}

void terminate_audio_library(audio_stream& s) {
    if (s.library_up) Pa_Terminate();
    s.library_up = false;
}
