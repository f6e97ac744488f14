#pragma once
// Output pacing of a stream that the receiver's own stream thread drives: one block goes to
// the device for every input block, so the device is fed at the input's pace whatever the
// DSP thread does, and the delay stays where it was set when the device started.
//
// Each input block has an output slot. The block the DSP thread made from input k fills
// slot k as soon as it is finished. If it is not there by output_deadline after input k
// came in (the DSP thread is late), the slot gets a fill-in, the last block played again,
// and the late block is dropped when it comes: a stall costs the blocks it stalled for,
// and no more, and the device never runs dry for it. While the DSP thread stands still (a
// fill-in went out and no block came since), the next fill-in goes out when its input comes,
// as its block would have: waiting out the deadline for every slot of a long stall would
// hold the queue that much lower for all of it. When the device has run dry anyway
// (at the start, after an underflow) a margin of silence goes first, so a block
// that comes a little late next time still finds it playing. A device with less than half
// a block of room is ahead of the input: the slot is passed over. What the room does not
// take of a block at once (a sound server's plugin tells its room a period at a time) is
// written as the room comes, before anything else.
//
// The blocks are written a frame longer or shorter while the output's clock drifts from the
// input's (output_drift.h).
//
// Device is any record with `long room()` (frames that can be written now, or a negative
// error) and `int write(const float* frames, long count)` (0, or a negative error).
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "audio/audio_block.h"
#include "audio/output_drift.h"

// [us] queued ahead when the device (re)starts, for the DSP thread's and the sound server's
// timing: 16 ms, but at least half a block (pacing_margin_frames). A server takes the
// output a period, a block, at a time: at 48 kHz, where that is 43 ms, 16 ms ran the device
// dry twice in ten minutes on PulseAudio. At 96 kHz a whole block put the delay on PipeWire,
// which queues about a third of a block more than PulseAudio, over three blocks.
constexpr int64_t pacing_margin_us = 16000;
constexpr long pacing_dry_frames = block_size / 16;  // less queued: the device ran dry
constexpr long pacing_ahead_room = block_size / 2;   // less room: the device is a block ahead
constexpr size_t pacing_history = 32;                // input times kept, a power of two

struct output_pacer {
    uint64_t fed_through = 0;               // slots given a block or a fill-in, by input serial
    int64_t input_us[pacing_history] = {};  // [us] when input block k came in, at k % history
    output_drift drift;                     // also holds the rate
    const float* tail = nullptr;            // frames of the last block the room did not take yet
    long tail_frames = 0;
    bool fed = false;      // something written since the (re)start: an empty device ran dry
    bool stalled = false;  // the last slot got a fill-in and no finished block came since
};

// Starts pacing for a (re)opened stream: the slots of inputs before now are none of its
// business.
inline void pacer_reset(output_pacer& p, int32_t rate, uint64_t inputs_so_far) {
    p.fed_through = inputs_so_far;
    p.tail_frames = 0;
    p.fed = false;
    p.stalled = false;
    drift_reset(p.drift, rate);
}

// Input block `serial` came in at now_us.
inline void pacer_input(output_pacer& p, uint64_t serial, int64_t now_us) {
    p.input_us[serial % pacing_history] = now_us;
}

// [frames] the margin at `rate` [Hz]: 1536 at 96 kHz, 1024 at 48 kHz.
inline long pacing_margin_frames(int32_t rate) {
    return std::clamp<long>(long(pacing_margin_us * rate / 1000000), block_size / 2, block_size);
}

// [us] after an input block by which its output must be on its way: half the margin.
inline int64_t output_deadline_us(int32_t rate) {
    return int64_t(pacing_margin_frames(rate)) * 1000000 / (2 * int64_t(rate));
}

// [us, steady clock] when the next empty slot needs a fill-in; -1 when no slot is open.
inline int64_t next_fill_in_us(const output_pacer& p, uint64_t inputs) {
    if (p.fed_through >= inputs) return -1;
    const int64_t wait_us = p.stalled ? 0 : output_deadline_us(p.drift.rate);
    return p.input_us[(p.fed_through + 1) % pacing_history] + wait_us;
}

// Reads the device's room at now_us and shows it to the drift watch. Returns the room or
// the device's negative error.
template <class Device>
long read_room(output_pacer& p, Device& device, int64_t now_us) {
    const long room = device.room();
    if (room >= 0) drift_look(p.drift, room, now_us);
    return room;
}

// Reads the device's room for the drift watch when a look is due at now_us. Returns 0 or
// the device's negative error.
template <class Device>
int look_at_output(output_pacer& p, Device& device, int64_t now_us) {
    const int64_t due = next_look_us(p.drift);
    if (due == no_time || now_us < due) return 0;
    return int(std::min(0L, read_room(p, device, now_us)));
}

// Writes what the device's room takes of `count` frames; the rest waits in the pacer's
// tail for the next look. Returns 0 or the device's negative error.
template <class Device>
int write_what_fits(output_pacer& p, Device& device, const float* frames, long count, long room,
                    int64_t now_us) {
    const long fits = std::max(0L, std::min(count, room));
    if (fits > 0) {
        if (const int e = device.write(frames, fits); e < 0) return e;
        drift_wrote(p.drift, fits, now_us);
    }
    p.tail = frames + 2 * fits;
    p.tail_frames = count - fits;
    return 0;
}

// Feeds the device what is due at now_us. `last` holds the block last written (the fill-in)
// and receives each new one. Returns 0 or the device's negative error.
template <class Device>
int pace_output(output_pacer& p, audio_context& ctx, Device& device, long buffer_frames,
                int64_t now_us, float* last) {
    static const float silence[2 * block_size] = {};  // the margin: at most a block
    static thread_local float stretched[2 * (block_size + 1)];
    if (p.tail_frames > 0) {  // the rest of a block first, as its room comes
        const long room = read_room(p, device, now_us);
        if (room < 0) return int(room);
        if (const int e = write_what_fits(p, device, p.tail, p.tail_frames, room, now_us); e < 0)
            return e;
        if (p.tail_frames > 0) return 0;
    }
    const uint64_t inputs = ctx.counters.blocks.load();
    for (;;) {
        const audio_out_block* next = next_finished_block(ctx);
        if (next) p.stalled = false;
        if (next && next->input_serial <= p.fed_through) {  // its slot got a fill-in
            drop_finished_block(ctx);
            continue;
        }
        const int64_t fill_in_at = next_fill_in_us(p, inputs);
        const bool fill_in = !next && fill_in_at >= 0 && now_us >= fill_in_at;
        if (!next && !fill_in) return 0;
        long room = read_room(p, device, now_us);
        if (room < 0) return int(room);
        const long queued = buffer_frames - room;
        if (queued < pacing_dry_frames) {
            if (p.fed) ++ctx.counters.output_underflows;
            p.fed = true;
            const long fill = pacing_margin_frames(p.drift.rate) - queued;
            if (const int e = device.write(silence, fill); e < 0) return e;
            drift_wrote(p.drift, fill, now_us);
            drift_rebase(p.drift);
            room -= fill;
        } else {
            drift_sample(p.drift, queued, now_us);
        }
        const uint64_t slot = fill_in ? p.fed_through + 1 : next->input_serial;
        if (room < pacing_ahead_room) {  // ahead of the input: this slot needs nothing
            if (!fill_in) drop_finished_block(ctx);
            p.fed_through = slot;
            drift_rebase(p.drift);
            continue;
        }
        if (fill_in) {
            ++ctx.counters.output_repeats;
            p.stalled = true;
        } else {
            take_finished_block(ctx, last);
        }
        const float* frames = last;
        long count = block_size;
        if (p.drift.stretch != 0) {
            count = stretch_block(last, stretched, p.drift.stretch);
            frames = stretched;
            ++(p.drift.stretch > 0 ? p.drift.stretched : p.drift.shrunk);
        }
        p.fed_through = slot;
        if (const int e = write_what_fits(p, device, frames, count, room, now_us); e < 0) return e;
        if (p.tail_frames > 0) return 0;
    }
}
