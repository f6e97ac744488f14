#pragma once
// The output's clock against the input's. One block goes out for every block that comes in,
// so an output device whose clock runs faster than the input's (two cards, or a sound
// server's two sinks) slowly drains the margin queued on it, and one that runs slower fills
// its buffer: 28 ppm is a block in some minutes at 96 kHz, and then the sound breaks up.
//
// A sound server's plugin tells the room in its buffer a period at a time: it grows by a
// period when the server takes one. Read only when a block is written, the queue looks the
// same for minutes while the true one drains. So the stream thread also looks at the room
// about when a take is due, every takes_per_look-th one, a look every look_step_us, and
// dates the take to within a look. The frames queued at the next write are then what the
// plugin says less what was played since that take: queued - rate * (now - take). (Reading
// the room often is harmless; writing blocks that are not whole periods is too, as long as
// nothing counts on the room coming in whole blocks.) Their mean over a window is held at its
// value after the start by writing each block one frame longer (or shorter), the block's
// own frames linearly interpolated: 488 ppm at most, a pitch change nobody hears, no
// silence put in and nothing dropped.
#include <cstdint>

#include "dsp/sizes.h"

constexpr int64_t look_step_us = 1000;   // [us] between looks while a take is due
constexpr int64_t look_early_us = 6000;  // [us] looks start this long before one is due
constexpr int64_t look_late_us = 6000;   // [us] and end this long after
constexpr int takes_per_look = 4;        // every 4th take is dated: enough, and few wake-ups
constexpr int drift_window = 16;         // queue estimates averaged per decision
constexpr int drift_settle_writes = 96;  // writes after a (re)start before the reference
// [frames] off the reference before correcting: more than a server's 5 ms ticks blur the
// take's time, well inside the margin queued.
constexpr double drift_band_frames = 384;
constexpr int64_t no_time = INT64_MIN;

struct output_drift {
    int32_t rate = 96000;            // [Hz]
    int64_t period_us = 0;           // [us] one block at rate: takes come about this often
    long last_room = -1;             // [frames] room at the last look, after what was written
    int64_t last_look_us = no_time;  // [us]
    int64_t take_us = no_time;       // [us] the last take dated to within a look
    bool take_fresh = false;         // and no take since it
    int64_t seen_us = no_time;       // [us] the last take, dated or only seen (roughly)
    int takes_undated = 0;           // takes since the last one dated
    int writes = 0;                  // blocks written since the (re)start
    double sum = 0;                  // [frames] queue estimates in this window
    int count = 0;
    double reference = 0;  // [frames] the queue to hold; valid once referenced
    bool referenced = false;
    int stretch = 0;         // frames added to each block written now: -1, 0 or +1
    uint64_t stretched = 0;  // blocks written a frame longer, for the tests
    uint64_t shrunk = 0;     // and a frame shorter
};

// Starts over: after the stream (re)starts, or the pacing put in silence or passed a slot
// over, the queue is somewhere else on purpose and becomes the new reference.
inline void drift_rebase(output_drift& d) {
    d.writes = 0;
    d.sum = 0;
    d.count = 0;
    d.referenced = false;
    d.stretch = 0;
}

inline void drift_reset(output_drift& d, int32_t rate) {
    d = output_drift{};
    d.rate = rate;
    d.period_us = int64_t(block_size) * 1000000 / rate;
}

// [us] when the room should next be looked at: about when the takes_per_look-th take after
// the last one dated is due; when that one went by undated, about when the next is due,
// from the last one seen; and until the first one is seen.
inline int64_t next_look_us(const output_drift& d) {
    if (d.last_look_us == no_time) return no_time;
    if (d.seen_us == no_time) return d.last_look_us + look_step_us;
    int64_t due = d.takes_undated < takes_per_look && d.take_us != no_time
                      ? d.take_us + takes_per_look * d.period_us
                      : d.seen_us + d.period_us;
    while (due + look_late_us < d.last_look_us) due += d.period_us;  // a take went unseen
    if (d.last_look_us + look_step_us < due - look_early_us) return due - look_early_us;
    return d.last_look_us + look_step_us;
}

// The room read at now_us. A rise is a take, seen halfway since the previous look, and dated
// when that look was close.
inline void drift_look(output_drift& d, long room, int64_t now_us) {
    if (d.last_room >= 0 && room > d.last_room) {
        const int64_t since = now_us - d.last_look_us;
        d.seen_us = now_us - since / 2;
        d.take_fresh = since <= 2 * look_step_us;
        if (d.take_fresh) {
            d.take_us = d.seen_us;
            d.takes_undated = 0;
        } else {
            ++d.takes_undated;
        }
    }
    d.last_room = room;
    d.last_look_us = now_us;
}

// A block is about to be written with `queued` frames on the device (the room just read):
// one estimate of the true queue, and every drift_window of them a decision.
inline void drift_sample(output_drift& d, long queued, int64_t now_us) {
    if (++d.writes <= drift_settle_writes) return;
    if (!d.take_fresh) return;  // the queue since the last take is not known
    d.sum += double(queued) - double(d.rate) * double(now_us - d.take_us) / 1e6;
    if (++d.count < drift_window) return;
    const double mean = d.sum / d.count;
    d.sum = 0;
    d.count = 0;
    if (!d.referenced) {
        d.reference = mean;
        d.referenced = true;
    } else if (mean < d.reference - drift_band_frames) {
        d.stretch = 1;  // draining: the output's clock is the faster
    } else if (mean > d.reference + drift_band_frames) {
        d.stretch = -1;
    } else if ((d.stretch > 0 && mean >= d.reference) || (d.stretch < 0 && mean <= d.reference)) {
        d.stretch = 0;
    }
}

// `count` frames were written at now_us.
inline void drift_wrote(output_drift& d, long count, int64_t now_us) {
    d.last_room -= count;
    d.last_look_us = now_us;
}

// `in`: block_size stereo frames; `out` gets block_size + stretch frames that start and end
// on the same frames, the rest linearly interpolated. Returns the frames in `out`.
long stretch_block(const float* in, float* out, int stretch);
