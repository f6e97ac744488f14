#include "audio/audio_callback.h"

#include <cstring>

#include "audio/audio_context.h"
#include "audio/iq_correction.h"

namespace {

void write_silence(float* out, unsigned long frames) {
    if (out) std::memset(out, 0, sizeof(float) * 2 * frames);
}

void count_status(audio_counters& c, PaStreamCallbackFlags flags) {
    if (flags & paInputOverflow) ++c.input_overflows;
    if (flags & paInputUnderflow) ++c.input_underflows;
    if (flags & paOutputUnderflow) ++c.output_underflows;
    if (flags & paOutputOverflow) ++c.output_overflows;
}

void play_output(audio_context& ctx, float* out) {
    if (!out) return;
    if (tb_take(ctx.signal->output)) {
        ctx.output_seen = true;
    } else if (ctx.output_seen) {
        ++ctx.counters.output_repeats;
    }
    if (!ctx.output_seen) {
        write_silence(out, block_size);
        return;
    }
    const audio_out_block& b = tb_front(ctx.signal->output);
    const float gain = b.gain;
    for (int32_t k = 0; k < block_size; ++k) {
        const float v = b.audio[k] * gain;
        out[2 * k] = v;
        out[2 * k + 1] = v;
    }
}

}  // namespace

int audio_callback(const void* input, void* output, unsigned long frame_count,
                   const PaStreamCallbackTimeInfo* time_info, PaStreamCallbackFlags status_flags,
                   void* user_data) {
    audio_context& ctx = *static_cast<audio_context*>(user_data);
    audio_counters& c = ctx.counters;
    float* out = static_cast<float*>(output);
    ++c.callbacks;
    c.frames += frame_count;
    count_status(c, status_flags);

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

    const double factor = ctx.iq.iq_gain_slider_value.load() / 10000.0;
    ctx.iq.iq_gain_factor = factor;
    const int32_t rf_gain = ctx.mode->rf_gain;
    const bool reverse = ctx.mode->reverse_input != 0;
    const double phase_sin = ctx.iq.iq_phase_sin;
    const double phase_sec = ctx.iq.iq_phase_sec;
    const double g = iq_left_gain(rf_gain, factor);
    wave_handoff& w = *ctx.wave;
    iq_block& block = tb_back(ctx.signal->input);

    if (w.playing) {
        if (!take_played_block(w)) ++c.player_empty;
        const wave_block& p = w.last_played;
        correct_iq_planar(p.left, p.right, g, rf_gain, phase_sin, phase_sec, reverse, block);
    } else {
        const float* in = static_cast<const float*>(input);
        hand_to_recorder(w, in);
        correct_iq(in, g, rf_gain, phase_sin, phase_sec, reverse, block);
    }
    // A full queue drops the block: the DSP thread has fallen a whole queue behind.
    const uint64_t dropped = ctx.signal->input.dropped.load(std::memory_order_relaxed);
    tb_publish(ctx.signal->input);
    if (ctx.signal->input.dropped.load(std::memory_order_relaxed) != dropped) ++c.dsp_missed;
    ++c.blocks;
    event_pulse(*ctx.dsp_event);

    play_output(ctx, out);
    return paContinue;
}
