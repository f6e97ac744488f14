#include "audio/audio_block.h"

#include <algorithm>
#include <cstring>

#include "audio/iq_correction.h"

namespace {

void write_block(const audio_out_block& b, float* out) {
    const float gain = b.gain;
    for (int32_t k = 0; k < block_size; ++k) {
        const float v = b.audio[k] * gain;
        out[2 * k] = v;
        out[2 * k + 1] = v;
    }
}

}  // namespace

void write_silence(float* out, unsigned long frames) {
    if (out) std::memset(out, 0, sizeof(float) * 2 * frames);
}

void count_host_flags(audio_counters& c, PaStreamCallbackFlags flags) {
    if (flags & paInputOverflow) ++c.input_overflows;
    if (flags & paInputUnderflow) ++c.input_underflows;
    if (flags & paOutputUnderflow) ++c.output_underflows;
    if (flags & paOutputOverflow) ++c.output_overflows;
}

void hand_in_block(audio_context& ctx, const float* in) {
    audio_counters& c = ctx.counters;
    const double factor = ctx.iq.iq_gain_slider_value.load() / 10000.0;
    ctx.iq.iq_gain_factor = factor;
    const int32_t rf_gain = ctx.mode->rf_gain;
    const bool reverse = ctx.mode->reverse_input != 0;
    const double phase_sin = ctx.iq.iq_phase_sin;
    const double phase_sec = ctx.iq.iq_phase_sec;
    const double g = iq_left_gain(rf_gain, factor);
    wave_handoff& w = *ctx.wave;
    iq_block& block = tb_back(ctx.signal->input);
    block.serial = c.blocks + 1;
    if (std::all_of(in, in + 2 * block_size, [](float v) { return v == 0.0f; }))
        ++c.silent_run;
    else {
        c.silent_run = 0;
        ++c.sounding_blocks;
    }

    if (w.playing) {
        if (!take_played_block(w)) ++c.player_empty;
        const wave_block& p = w.last_played;
        correct_iq_planar(p.left, p.right, g, rf_gain, phase_sin, phase_sec, reverse, block);
    } else {
        hand_to_recorder(w, in);
        correct_iq(in, g, rf_gain, phase_sin, phase_sec, reverse, block);
    }
    // A full queue drops the block: the DSP thread has fallen a whole queue behind.
    const uint64_t dropped = ctx.signal->input.dropped.load(std::memory_order_relaxed);
    tb_publish(ctx.signal->input);
    if (ctx.signal->input.dropped.load(std::memory_order_relaxed) != dropped) ++c.dsp_missed;
    ++c.blocks;
    event_pulse(*ctx.dsp_event);
}

void play_newest_block(audio_context& ctx, float* out) {
    if (!out) return;
    block_queue<audio_out_block, output_handoff_blocks>& q = ctx.signal->output;
    const uint64_t due = ctx.counters.blocks.load() - 1;  // the input of the previous call
    bool fresh = false;
    while (const audio_out_block* next = tb_peek_next(q)) {
        if (next->input_serial > due) break;  // finished early: next call's block
        if (fresh) ++ctx.counters.output_dropped;
        tb_take(q);
        fresh = true;
    }
    if (fresh) {
        ctx.output_seen = true;
    } else if (ctx.output_seen) {
        ++ctx.counters.output_repeats;
    }
    if (!ctx.output_seen) {
        write_silence(out, block_size);
        return;
    }
    write_block(tb_front(q), out);
}

const audio_out_block* next_finished_block(const audio_context& ctx) {
    return tb_peek_next(ctx.signal->output);
}

bool take_finished_block(audio_context& ctx, float* out) {
    if (!tb_take(ctx.signal->output)) return false;
    ctx.output_seen = true;
    write_block(tb_front(ctx.signal->output), out);
    return true;
}

void drop_finished_block(audio_context& ctx) {
    if (tb_take(ctx.signal->output)) ++ctx.counters.output_dropped;
}
