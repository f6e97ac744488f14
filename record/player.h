#pragma once
// The wave player: while a file plays, its thread keeps the callback's ring filled with
// the file's blocks, looping over start_block .. end_block - 1 (and the partial last
// block when the loop runs to the end of the file). The file's length counts, not what its
// header promises: a short file loops over what it holds. Start, stop and the loop markers
// run on the GUI thread, which changes the file and the positions only while the thread is
// parked between two blocks; a reposition drops the read-ahead, so the new position is
// heard at once.
#include <cstdint>
#include <optional>

#include "platform/event.h"
#include "platform/relaxed.h"
#include "platform/thread.h"
#include "record/wave_file.h"
#include "record/wave_handoff.h"

struct player {
    wave_handoff* handoff = nullptr;     // the callback's ring and `playing`
    manual_event* play_event = nullptr;  // set by the DSP thread once per block
    worker_thread* thread = nullptr;     // runs player_thread with this record

    std::optional<wave_file> play_file;
    int64_t data_offset = 0;         // [bytes] file position of the first sample
    int32_t playback_file_rate = 0;  // [Hz] as the header says
    bool size_from_length = false;   // the header gave no usable data size (see open_wave_file)
    bool thread_resumed = false;

    relaxed<uint8_t> play_button_on{0};  // the "Play wave" button is on

    // Read by the display every frame.
    relaxed<uint32_t> total_blocks{0};   // whole blocks in the data chunk
    relaxed<uint32_t> tail_count{0};     // floats in the final, partial block
    relaxed<uint32_t> current_block{0};  // the next block to read
    relaxed<uint32_t> start_block{0};
    relaxed<uint32_t> end_block{0};  // total_blocks without the end marker
    relaxed<uint8_t> start_marker_on{0};
    relaxed<uint8_t> end_marker_on{0};
};

// The callback takes its input from this player's file.
inline bool is_playing(const player& p) {
    return p.handoff && p.handoff->playing;
}

// The block the callback took last, the one being heard (the reader is ahead of it).
inline uint32_t block_heard(const player& p) {
    return p.handoff ? p.handoff->heard_block.load() : 0;
}

void player_thread(worker_thread& self, void* play);

// Opens `name` and takes its block counts and sample rate. False when it is no float
// wave file (nothing else changes then).
bool open_playback(player& p, const char* name);
// Starts playing the opened file from the start marker; the callback's input switches to
// the file once the first block is on its way.
void begin_playback(player& p);
// Halts the thread outside a read, switches the callback back to the card, closes the file.
void stop_playback(player& p);

// The loop markers, from a click at x [px] on the 1024-px playback bar. Each press toggles
// its marker; a marker that would leave an empty loop is not set.
void set_start_marker(player& p, int x);
void set_end_marker(player& p, int x);
// Both markers off (a new recording replaces the file they were set on).
void clear_markers(player& p);
