#pragma once
// One block of the signal path, synchronous and without threads: the input block is
// transformed, the wanted sideband is cut out at the tuned bin and moved to audio
// frequencies, notched, multiplied by the band-pass response, transformed back and joined
// to the previous block by overlap-add; then the peak, the output gain and the two display
// spectra are computed.
//
//   dsp_cycle(signal, modes, in, out)
//     signal  the signal state; its settings are read once per call, its working arrays,
//             audio_overlap, audio_peak, output_gain, passband_bin_count and blocks_done
//             are updated, the newest published filter response is taken, and the display
//             spectra are published.
//     modes   the mode table, selected_mode (func, usb, band_width of the entry) and agc_on.
//     in      block_size corrected complex samples (re + i im); a non-finite sample counts
//             as 0.
//     out     the finished audio of this very block (block_size samples), the gain to play
//             it with, and the block counter. Always finite: a block whose audio leaves the
//             float range plays as silence and passes no overlap on.
//
// Callers: the DSP thread (dsp_thread.h), which feeds it from the audio callback's hand-off
// and so plays each block one block later; an offline demodulator calls it block after
// block on its own thread, after set_processing_sizes, make_filter and rebuild_filter.
// Successive calls must come from one thread at a time. No allocation, no I/O, no waiting.
#include "dsp/handoff.h"
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"

void dsp_cycle(signal_state& signal, const receive_mode_state& modes, const iq_block& in,
               audio_out_block& out);
