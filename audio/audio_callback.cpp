#include "audio/audio_callback.h"

#include "audio/audio_block.h"

int audio_callback(const void* input, void* output, unsigned long frame_count,
                   const PaStreamCallbackTimeInfo* time_info, PaStreamCallbackFlags status_flags,
                   void* user_data) {
    audio_context& ctx = *static_cast<audio_context*>(user_data);
    audio_counters& c = ctx.counters;
    float* out = static_cast<float*>(output);
    ++c.callbacks;
    c.frames += frame_count;
    count_host_flags(c, status_flags);

    if (!input) {
        ++c.absent_inputs;
        write_silence(out, frame_count);
        return paContinue;
    }
    // The stream is opened with block_size frames per buffer; any other count is not a
    // block of the signal chain and must not be read or written past its end.
    if (frame_count != static_cast<unsigned long>(block_size)) {
        ++c.odd_sizes;
        write_silence(out, frame_count);
        return paContinue;
    }
    hand_in_block(ctx, static_cast<const float*>(input));
    play_newest_block(ctx, out);
    return paContinue;
}
