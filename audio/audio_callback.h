#pragma once
// The stream callback. Runs on the audio library's thread once per buffer of block_size
// stereo frames: corrects the card input (or takes the player's block) into the DSP
// thread's input block, keeps the raw input for the recorder while recording, wakes the
// DSP thread and plays the newest finished audio block on both output channels. It
// allocates nothing, takes no lock, does no I/O and never waits.
#include <portaudio.h>

// user_data is an audio_context. Returns paContinue in every case.
int audio_callback(const void* input, void* output, unsigned long frame_count,
                   const PaStreamCallbackTimeInfo* time_info, PaStreamCallbackFlags status_flags,
                   void* user_data);
