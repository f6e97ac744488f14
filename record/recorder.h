#pragma once
// The recorder: while a recording runs, its thread writes every raw input block that the
// audio callback hands over to the wave file. Start and stop run on the GUI thread; the
// thread is suspended between recordings, always at a block boundary.
#include <cstdint>
#include <optional>

#include "platform/event.h"
#include "platform/relaxed.h"
#include "platform/thread.h"
#include "record/wave_file.h"
#include "record/wave_handoff.h"

struct recorder {
    wave_handoff* handoff = nullptr;       // the callback's raw blocks and `recording`
    manual_event* record_event = nullptr;  // set by the DSP thread once per block
    worker_thread* thread = nullptr;       // runs recorder_thread with this record

    // Written by the GUI thread only while the thread is suspended.
    std::optional<wave_file> record_file;
    bool thread_resumed = false;  // this recording resumed the thread

    relaxed<int32_t> record_block_count{0};  // blocks written since the recording started
    relaxed<uint32_t> write_failures{0};     // blocks the file did not take
};

// The thread body (argument: the recorder): waits for a block, writes every block that is
// waiting, and parks only between blocks.
void recorder_thread(worker_thread& self, void* rec);

// Creates `name` with the header for the rate and starts writing blocks. False (and
// nothing started) when the file cannot be created.
bool start_recording(recorder& r, const char* name, bool high_rate);

// Halts the thread after its current block, puts the sizes into the header and closes the
// file. False when a block or the header could not be written (the data is incomplete).
bool stop_recording(recorder& r);
