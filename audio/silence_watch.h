#pragma once
// Digital silence on the input after it has carried a signal. A capture that spans a
// suspend of its source can be left delivering exact zeros for good (PipeWire 0.3.65 does
// this to recordings of a sink's monitor) while a capture opened afresh hears the source,
// so such a stream is reopened. A source that really went quiet (a muted card) is tried
// again at growing intervals; a card that starts out silent is left alone until it sounds.
#include <algorithm>
#include <cstdint>

#include "audio/audio_block.h"
#include "audio/audio_context.h"

constexpr int64_t silence_limit_ms = 500;            // [ms] of exact zeros before a reopen
constexpr int quick_silence_reopens = 10;            // reopens at that limit before it grows
constexpr int64_t longest_silence_limit_ms = 30000;  // [ms] the limit grows to at most

struct silence_watch {
    uint64_t sounding_seen = 0;   // counters.sounding_blocks at the last look
    uint64_t blocks_at_open = 0;  // counters.blocks when the current stream opened
    bool signal_seen = false;     // a block with a signal came since the stream was started
    int silent_reopens = 0;       // reopens for silence since the last block with a signal
};

// [ms] of silence that ends a stream after `silent_reopens` reopens for it in a row.
inline int64_t silence_limit(int silent_reopens) {
    if (silent_reopens < quick_silence_reopens) return silence_limit_ms;
    const int doublings = std::min(silent_reopens - quick_silence_reopens + 1, 16);
    return std::min(silence_limit_ms << doublings, longest_silence_limit_ms);
}

// A stream was (re)opened: silence counts from its first block.
inline void silence_watch_open(silence_watch& w, const audio_counters& c) {
    w.blocks_at_open = c.blocks;
    w.sounding_seen = c.sounding_blocks;
}

// True when the input at `rate` [Hz] has been digital silence for longer than the limit
// after a signal; the caller then reopens the stream (counted here).
inline bool input_went_silent(silence_watch& w, const audio_counters& c, int32_t rate) {
    const uint64_t sounding = c.sounding_blocks;
    if (sounding != w.sounding_seen) {
        w.sounding_seen = sounding;
        w.signal_seen = true;
        w.silent_reopens = 0;
    }
    if (!w.signal_seen || rate <= 0) return false;
    const uint64_t run = std::min<uint64_t>(c.silent_run, c.blocks - w.blocks_at_open);
    if (int64_t(run) * block_size * 1000 < silence_limit(w.silent_reopens) * rate) return false;
    ++w.silent_reopens;
    return true;
}
