#include "audio/stream.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include "audio/audio_callback.h"
#include "audio/message_text.h"
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

// Aborts a running stream and closes it; the handle is gone whatever the result.
PaError close_stream(audio_stream& s) {
    PaError err = paNoError;
    if (Pa_IsStreamActive(s.stream) == 1) err = Pa_AbortStream(s.stream);
    const PaError closed = Pa_CloseStream(s.stream);
    if (err == paNoError) err = closed;
    s.stream = nullptr;
    return err;
}

}  // namespace

void init_audio_library(audio_stream& s) {
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
        if (Pa_Initialize() != paNoError) return 1;
        s.library_up = true;
    }
    // Any existing stream goes, running or not, so no handle is lost.
    if (s.stream && close_stream(s) != paNoError) return 1;

    const PaDeviceInfo* info = card >= 0 ? Pa_GetDeviceInfo(card) : nullptr;
    if (!info) return 1;
    const PaStreamParameters output_parameters = stream_parameters(card, *info);
    const PaStreamParameters input_parameters = stream_parameters(card, *info);

    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &input_parameters, &output_parameters, double(sample_rate),
                      block_size, paClipOff, audio_callback, &ctx) != paNoError) {
        return 1;
    }
    s.stream = stream;
    // On ALSA the library's callback thread asks for real-time scheduling, as a sound card
    // driver's thread has; where that is not permitted the stream starts without it.
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    const bool alsa = host && host->type == paALSA;
    if (alsa) PaAlsa_EnableRealtimeScheduling(stream, 1);
    PaError started = Pa_StartStream(stream);
    if (started != paNoError && alsa) {
        PaAlsa_EnableRealtimeScheduling(stream, 0);
        started = Pa_StartStream(stream);
    }
    if (started != paNoError) {
        close_stream(s);
        return 1;
    }
    sleep_ms(open_settle_ms);
    return 0;
}

void stop_stream(audio_stream& s) {
    if (!s.stream) return;
    const PaError err = close_stream(s);
    if (err != paNoError) {
        show_error(s, err, "stop_PA19 error");
        if (s.library_up) Pa_Terminate();
        s.library_up = false;
        request_quit(s);
    }
}

bool stream_active(const audio_stream& s) {
    return s.stream && Pa_IsStreamActive(s.stream) == 1;
}

int32_t revive_stream(audio_stream& s, audio_context& ctx, int32_t card, int32_t sample_rate) {
    if (!s.stream || Pa_IsStreamActive(s.stream) == 1) return 0;
    ++s.revivals;
    return open_stream(s, ctx, card, sample_rate);
}

void terminate_audio_library(audio_stream& s) {
    if (s.library_up) Pa_Terminate();
    s.library_up = false;
}
