#include "dsp/signal_state.h"

#include <algorithm>
#include <cstring>

namespace {

template <class T, size_t N>
void zero(T (&a)[N]) {
    std::fill(a, a + N, T{});
}

template <class T>
void zero_slots(triple_buffer<T>& b) {
    std::memset(static_cast<void*>(b.slots), 0, sizeof b.slots);  // plain arrays of numbers
}

template <class T, size_t C>
void zero_slots(block_queue<T, C>& q) {
    std::memset(static_cast<void*>(q.slots), 0, sizeof q.slots);
    std::memset(static_cast<void*>(&q.empty), 0, sizeof q.empty);
    q.head = 0;
    q.tail = 0;
    q.holding = false;
    q.writing = nullptr;
}

}  // namespace

void reset_signal_state(signal_state& s) {
    zero(s.block_re);
    zero(s.block_im);
    zero(s.view_re);
    zero(s.view_im);
    zero(s.input_spectrum);
    zero(s.centred_spectrum);
    zero(s.passband_bins);
    zero(s.filtered_bins);
    zero(s.audio_block);
    zero(s.audio_overlap);
    zero(s.display_spectrum);
    zero(s.display_centred);
    zero(s.audio_view);
    zero(s.audio_spectrum);
    zero(s.fft_ip);
    zero(s.fft_w);
    zero(s.filter_taps);
    zero(s.design_fft_ip);
    zero(s.design_fft_w);
    zero_slots(s.filter_response);
    zero_slots(s.spectra);
    zero_slots(s.handoff.input);
    zero_slots(s.handoff.output);
    s.audio_peak = 0.0f;
    s.output_gain = 0.0f;
    s.blocks_done = 0;
}

void set_processing_sizes(signal_state& s, bool high) {
    s.sampling_high = high ? 1 : 0;
    s.sample_rate = high ? 96000 : 48000;
    s.passband_bin_count = high ? 142 : 282;
}

void make_filter(signal_state& s, int32_t window_type) {
    s.band_pass = make_band_filter(window_type);
}

void clear_audio_output(signal_handoff& h) {
    // Audio finished before the change is not played after it.
    tb_skip_waiting(h.output);
    audio_out_block& b = tb_front_mut(h.output);
    std::fill(b.audio, b.audio + block_size, 0.0f);
}
