#pragma once
// Output pacing of a stream that the receiver's own stream thread drives: one block goes to
// the device for every input block, so the device is fed at the input's pace whatever the
// DSP thread does, and the delay stays where it was set when the device started.
//
// Each input block has an output slot. The block the DSP thread made from input k fills
// slot k as soon as it is finished. If it is not there by output_deadline after input k
// came in (the DSP thread is late), the slot gets a fill-in, the last block played again,
// and the late block is dropped when it comes: a stall costs the blocks it stalled for,
// and no more, and the device never runs dry for it. When the device has run dry anyway
// (at the start, after an underflow) pacing_margin_frames of silence go first, so a block
// that comes a little late next time still finds it playing. A device with no room is
// ahead of the input: the slot is passed over.
//
// Device is any record with `long room()` (frames that can be written now, or a negative
// error) and `int write(const float* frames, long count)` (0, or a negative error).
#include <cstddef>
#include <cstdint>

#include "audio/audio_block.h"

constexpr long pacing_margin_frames = block_size;    // queued ahead when the device (re)starts
constexpr long pacing_dry_frames = block_size / 16;  // less queued: the device ran dry
constexpr size_t pacing_history = 32;                // input times kept, a power of two

struct output_pacer {
    uint64_t fed_through = 0;               // slots given a block or a fill-in, by input serial
    int64_t input_ms[pacing_history] = {};  // [ms] when input block k came in, at k % history
    int32_t rate = 96000;                   // [Hz]
};

// Starts pacing for a (re)opened stream: the slots of inputs before now are none of its
// business.
inline void pacer_reset(output_pacer& p, int32_t rate, uint64_t inputs_so_far) {
    p.fed_through = inputs_so_far;
    p.rate = rate;
}

// Input block `serial` came in at now_ms.
inline void pacer_input(output_pacer& p, uint64_t serial, int64_t now_ms) {
    p.input_ms[serial % pacing_history] = now_ms;
}

// [ms] after an input block by which its output must be on its way: half the margin.
inline int64_t output_deadline_ms(const output_pacer& p) {
    return pacing_margin_frames * 1000 / 2 / p.rate;
}

// [ms, steady clock] when the next empty slot needs a fill-in; -1 when no slot is open.
inline int64_t next_fill_in_ms(const output_pacer& p, uint64_t inputs) {
    if (p.fed_through >= inputs) return -1;
    return p.input_ms[(p.fed_through + 1) % pacing_history] + output_deadline_ms(p);
}

// Feeds the device what is due at now_ms. `last` holds the block last written (the fill-in)
// and receives each new one. Returns 0 or the device's negative error.
template <class Device>
int pace_output(output_pacer& p, audio_context& ctx, Device& device, long buffer_frames,
                int64_t now_ms, float* last) {
    static const float silence[2 * pacing_margin_frames] = {};
    const uint64_t inputs = ctx.counters.blocks.load();
    for (;;) {
        const audio_out_block* next = next_finished_block(ctx);
        if (next && next->input_serial <= p.fed_through) {  // its slot got a fill-in
            drop_finished_block(ctx);
            continue;
        }
        const int64_t fill_in_at = next_fill_in_ms(p, inputs);
        const bool fill_in = !next && fill_in_at >= 0 && now_ms >= fill_in_at;
        if (!next && !fill_in) return 0;
        long room = device.room();
        if (room < 0) return int(room);
        const long queued = buffer_frames - room;
        if (queued < pacing_dry_frames) {
            if (const int e = device.write(silence, pacing_margin_frames - queued); e < 0) return e;
            room -= pacing_margin_frames - queued;
        }
        const uint64_t slot = fill_in ? p.fed_through + 1 : next->input_serial;
        if (room < block_size) {  // ahead of the input: this slot needs nothing
            if (!fill_in) drop_finished_block(ctx);
            p.fed_through = slot;
            continue;
        }
        if (fill_in)
            ++ctx.counters.output_repeats;
        else
            take_finished_block(ctx, last);
        if (const int e = device.write(last, block_size); e < 0) return e;
        p.fed_through = slot;
    }
}
