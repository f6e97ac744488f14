#pragma once
// The signal-path members of the receiver record: the settings the DSP cycle reads, the
// filter design and its response, the cycle's working arrays, and the hand-offs to the
// audio callback and the display.
//
// Threads: the GUI thread writes the relaxed settings at any time and owns the filter
// design; the DSP thread owns the working arrays; arrays cross threads only through the
// triple buffers (input and audio with the audio callback, filter_response from the GUI,
// spectra to the display).
#include <cstdint>

#include "dsp/band_filter.h"
#include "dsp/fft.h"
#include "dsp/handoff.h"
#include "dsp/sizes.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/relaxed.h"
#include "platform/triple_buffer.h"

struct receive_mode_state;

// The filter's frequency response H[j] at j x sample_rate / fft_size [Hz], complex.
struct filter_response_block {
    double h[fft_doubles];
};

// What the display reads every frame.
struct spectrum_block {
    double display_db[fft_size];  // input power [dB], index 2048 = local oscillator
    double audio_db[fft_size];    // audio power [dB], entries 0..passband_bin_count-1 valid
    int32_t passband_bin_count;   // [bins] valid entries of audio_db
    uint32_t serial;              // block counter of the DSP cycle
};

// What the DSP thread needs besides the signal state; the receiver fills these in before it
// resumes the thread.
struct dsp_thread_links {
    const receive_mode_state* modes = nullptr;  // mode table, selected_mode, agc_on
    manual_event* dsp_event = nullptr;          // pulsed by the audio callback per block
    manual_event* record_event = nullptr;       // set per block while recording
    manual_event* play_event = nullptr;         // set per block while playing
    critical_section* dsp_lock = nullptr;       // held for each cycle
    const relaxed<uint8_t>* recording = nullptr;
    const relaxed<uint8_t>* playing = nullptr;
    manual_event* output_event = nullptr;  // pulsed after each finished block (may be null)
    // Tests only: runs after the thread found the input queue empty, before it waits.
    void (*before_wait)(void*) = nullptr;
    void* before_wait_arg = nullptr;
};

struct signal_state {
    // Settings: written by the GUI thread, read by the DSP cycle once per block.
    relaxed<int32_t> sample_rate{96000};  // [Hz] 48000 or 96000
    relaxed<uint8_t> sampling_high{1};    // 96 kHz when set
    relaxed<uint8_t> cw_mode{0};          // a CW mode is selected
    relaxed<int32_t> tuned_bin{0};        // centred-spectrum index of the tuned frequency, even
    relaxed<int32_t> passband_bin_count{142};  // [bins] taken from the spectrum
    relaxed<float> agc_gain_limit{70.0f};      // AGC ceiling, and the gain with AGC off
    relaxed<uint8_t> notch_on{0};
    relaxed<int32_t> notch_position{500};  // audio-panel x of the notch start
    relaxed<int32_t> notch_span{16};       // notch width [23.4375 Hz]

    // Filter design: GUI thread only (rebuild_filter), except the edges, which the display
    // and the tuning code read.
    relaxed<int32_t> low_cutoff_hz{50};       // [Hz] low edge of the SSB pass band
    relaxed<int32_t> passband_low_hz{50};     // [Hz] edges given to the last design
    relaxed<int32_t> passband_high_hz{2700};  // [Hz]
    band_filter band_pass{};
    double filter_taps[2 * block_size];  // block_size used
    int32_t design_fft_ip[fft_ip_size];  // the design's own transform tables, so a rebuild
    double design_fft_w[fft_w_size];     // never touches the DSP thread's ones
    triple_buffer<filter_response_block> filter_response;  // GUI -> DSP

    // Results of the DSP cycle.
    relaxed<float> audio_peak{0.0f};        // largest sample of the last finished block, >= 0
    relaxed<float> output_gain{0.0f};       // gain for the last finished block
    relaxed<uint32_t> blocks_done{0};       // cycles run
    relaxed<uint64_t> input_skipped{0};     // input blocks passed over after a stall
    triple_buffer<spectrum_block> spectra;  // DSP -> display
    signal_handoff handoff;                 // audio callback <-> DSP thread

    dsp_thread_links thread_links;

    // DSP thread only: the cycle's working arrays (complex arrays interleaved).
    double block_re[block_size];
    double block_im[block_size];
    double view_re[block_size];
    double view_im[block_size];
    double input_spectrum[fft_doubles];
    double centred_spectrum[fft_doubles];
    double passband_bins[fft_doubles];
    double filtered_bins[fft_doubles];
    float audio_block[fft_size];
    float audio_overlap[block_size];
    double display_spectrum[fft_doubles];
    double display_centred[fft_doubles];
    float audio_view[block_size];
    double audio_spectrum[fft_doubles];
    int32_t fft_ip[fft_ip_size];
    double fft_w[fft_w_size];
};

// Clears the buffers of the signal path, the transform tables and the hand-offs, and sets
// audio_peak and output_gain to 0. Settings keep their values. Only while no other thread
// uses the state (start-up).
void reset_signal_state(signal_state& s);

// The processing sizes of a rate: sampling_high, sample_rate, and passband_bin_count as it
// stands right after a mode or rate change (142 at 96 kHz, 282 at 48 kHz). With the stream
// stopped.
void set_processing_sizes(signal_state& s, bool high);

// Makes the band filter again for a window type (mode or rate change). GUI thread.
void make_filter(signal_state& s, int32_t window_type);

// Zeroes the finished audio block that the audio callback plays next, so a reopened stream
// starts with silence. Only with the stream stopped (the callback owns that slot).
void clear_audio_output(signal_handoff& h);
