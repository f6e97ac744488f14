#pragma once
// The recorder: while a recording runs, its thread writes every raw input block that the
// audio callback hands over to the wave file, and brings the header's size fields up to
// date after each second of data, so that a file cut off at any moment (a crash, a power
// cut) plays back up to its last second. The stop returns at once: the callback stops
// handing over blocks, and the thread writes what is still waiting, puts the final sizes
// into the header and closes the file in the background. A disk that fails or fills up,
// and the 32-bit size limit of the format, end a recording from the thread itself.
//
// Start and stop run on the GUI thread. The file belongs to the GUI thread while the
// recorder is idle and to the thread from the start until the thread is idle again; the
// phase, an atomic, hands it over.
#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/event.h"
#include "platform/relaxed.h"
#include "platform/thread.h"
#include "record/wave_file.h"
#include "record/wave_handoff.h"

enum class record_phase : uint8_t {
    idle,       // no file open
    recording,  // blocks are handed over and written
    finishing,  // stopped: the thread writes what waits, the sizes, and closes the file
};

// Why a recording ended, and how it went. Read after the recorder is idle again.
struct recording_outcome {
    int32_t blocks_written = 0;  // whole blocks in the file, all covered by its header
    uint32_t blocks_lost = 0;    // handed over while the ring was full (the disk fell behind)
    bool write_failed = false;   // the disk refused a block or the header: ended by the thread
    bool limit_reached = false;  // the next block would not fit 32-bit sizes: ended by the thread
    bool finish_failed = false;  // the final sizes or the close failed
    int32_t sample_rate = 0;     // [Hz] of the file
};

struct recorder {
    wave_handoff* handoff = nullptr;                // the callback's raw blocks and `recording`
    manual_event* record_event = nullptr;           // set by the DSP thread once per block
    worker_thread* thread = nullptr;                // runs recorder_thread with this record
    uint64_t max_data_bytes = wave_max_data_bytes;  // [bytes] a recording ends before more

    // Owned as the phase says (see above).
    std::optional<wave_file> record_file;
    uint32_t take = 0;              // the recording's number, as stamped on its blocks
    bool seekable = false;          // the size fields can be rewritten (not a pipe)
    int32_t blocks_per_update = 0;  // [blocks] about one second at the file's rate
    int32_t unsized_blocks = 0;     // [blocks] written since the sizes were last brought up to date
    recording_outcome outcome;      // published with the phase going back to idle

    bool thread_resumed = false;  // GUI thread: the thread runs (from the first recording on)

    std::atomic<record_phase> phase{record_phase::idle};
    manual_event idle_again;                  // set whenever the phase returns to idle
    std::atomic<bool> outcome_unread{false};  // a recording ended whose outcome nobody took
    relaxed<int32_t> record_block_count{0};   // blocks written since the recording started
};

// The thread body (argument: the recorder): waits for blocks, writes every block that is
// waiting, and ends recordings.
void recorder_thread(worker_thread& self, void* rec);

// Waits until an earlier recording is finished, then creates `name` with the header for the
// rate and starts handing blocks to the thread. False (nothing started) when the file cannot
// be created.
bool start_recording(recorder& r, const char* name, bool high_rate);

// Ends the running recording without waiting for the disk: the callback hands over no more
// blocks and the thread finishes the file in the background. Returns the blocks lost to
// overruns (final: none can be added once stopped); 0 when nothing was recording.
uint32_t stop_recording(recorder& r);

// True once no recording is open any more (never started, or finished in the background).
bool recording_finished(const recorder& r);
// Waits until the recorder is idle, at most timeout_ms (< 0: no limit). True when idle.
bool wait_recording_finished(recorder& r, int timeout_ms);
// The outcome of a recording that has ended and was not taken before: each ended recording
// is taken once (by whoever reports it). None while a recording runs or finishes.
std::optional<recording_outcome> take_recording_outcome(recorder& r);
