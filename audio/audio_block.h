#pragma once
// The audio side's work for one block, whichever way the stream is driven: by the sound
// library's callback, or by the receiver's own stream thread reading and writing blocks.
// None of these functions allocates, takes a lock, does I/O or waits.
#include <portaudio.h>

#include "audio/audio_context.h"

// One block of card input (block_size interleaved frames, left = I, right = Q): corrected
// into the DSP thread's input queue (the player's block instead while a file plays), the
// raw frames kept for the recorder while recording, and the DSP thread woken.
void hand_in_block(audio_context& ctx, const float* in);

// Callback drive, right after hand_in_block: the block finished from the input block
// handed in one call earlier, times its gain, on both output channels. So every block is
// heard one callback after it came in, whether the DSP thread finished it at once or late
// in the period; a block finished from this call's input waits for the next call. Older
// blocks still waiting are dropped (counted: the DSP thread was late and caught up). With
// no such block the last one plays again (counted), and before the first one the output
// is silent.
void play_newest_block(audio_context& ctx, float* out);

// Own-thread drive: the oldest finished block waiting to be written (null when none).
const audio_out_block* next_finished_block(const audio_context& ctx);
// Writes the oldest waiting block times its gain to `out` (both channels); false when none.
bool take_finished_block(audio_context& ctx, float* out);
// Passes over the oldest waiting block (counted): a newer one is heard instead.
void drop_finished_block(audio_context& ctx);

// Adds the sound library's over- and underflow flags to the counters.
void count_host_flags(audio_counters& c, PaStreamCallbackFlags flags);

void write_silence(float* out, unsigned long frames);
