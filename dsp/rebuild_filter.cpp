#include "dsp/rebuild_filter.h"

passband_edges filter_edges(const signal_state& s, const receive_mode_state& m) {
    const mode_entry& e = selected_entry(m);
    if (!s.cw_mode) return {s.low_cutoff_hz, e.band_width};
    const int32_t half = e.band_width / 2;
    return {e.offset - half, e.offset + half};
}

void rebuild_filter(signal_state& s, const receive_mode_state& m) {
    const int32_t fs = s.sample_rate;
    if (fs <= 0) return;
    const passband_edges edges = filter_edges(s, m);
    s.passband_low_hz = edges.low;
    s.passband_high_hz = edges.high;
    design_taps(s.band_pass, fs, s.filter_taps, block_size, edges.low, edges.high);
    s.design_fft_ip[0] = 0;  // rebuild the design's transform table
    compute_response(s.band_pass, s.filter_taps, block_size, tb_back(s.filter_response).h,
                     s.design_fft_ip, s.design_fft_w);
    tb_publish(s.filter_response);
}
