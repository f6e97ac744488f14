#include "app/demod/demod_engine.h"

#include <cmath>

#include "audio/iq_correction.h"
#include "dsp/dsp_cycle.h"
#include "dsp/rebuild_filter.h"
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"

struct demod_engine {
    signal_state signal;
    receive_mode_state modes;
    iq_block input;
    audio_out_block output;
    // The audio callback's correction values, fixed for the whole run.
    double left_gain;
    double phase_sin;
    double phase_sec;
    int32_t rf_gain;
    bool reverse;
};

void demod_engine_deleter::operator()(demod_engine* e) const {
    delete e;
}

demod_engine_ptr make_demod_engine(const demod_options& o, int32_t sample_rate) {
    demod_engine_ptr e(new demod_engine());
    signal_state& s = e->signal;
    receive_mode_state& m = e->modes;
    reset_signal_state(s);

    // One mode entry that holds the chosen settings, as the receiver's controls would set it.
    const bool cw = is_cw(o.mode);
    mode_values v{};
    v.func = o.func;
    v.usb = is_upper(o.mode) ? 1 : 0;
    v.carrier = cw ? 0 : 1;
    v.band_width = effective_band_width(o);
    v.offset = cw ? o.pitch_hz : 0;
    v.slider_pos = o.tuned_bin;
    m.selected_mode = 0;
    assign_mode(m.mode_table[0], v);
    m.rf_gain = o.rf_gain;
    m.agc_on = o.agc_on ? 1 : 0;
    m.reverse_input = o.reverse_input ? 1 : 0;

    s.cw_mode = cw ? 1 : 0;
    s.tuned_bin = o.tuned_bin;
    s.low_cutoff_hz = o.low_cutoff_hz;
    s.agc_gain_limit = o.agc_gain_limit;
    s.notch_on = o.notch_on ? 1 : 0;
    s.notch_position = o.notch_position;
    s.notch_span = o.notch_span;

    // As after a mode change: sizes (passband_bin_count 142 or 282), filter made with the
    // mode's window and built.
    set_processing_sizes(s, sample_rate == 96000);
    make_filter(s, o.func);
    rebuild_filter(s, m);

    // A played file's block gets the full left-channel gain (the I/Q balance is applied).
    const double phi = o.iq_phase / 10000.0;  // [rad]
    e->phase_sin = std::sin(phi);
    e->phase_sec = 1.0 / std::cos(phi);
    e->rf_gain = o.rf_gain;
    e->left_gain = iq_left_gain(o.rf_gain, o.iq_gain / 10000.0);
    e->reverse = o.reverse_input;
    return e;
}

void demod_block(demod_engine& e, const float* left, const float* right, float* out) {
    correct_iq_planar(left, right, e.left_gain, e.rf_gain, e.phase_sin, e.phase_sec, e.reverse,
                      e.input);
    dsp_cycle(e.signal, e.modes, e.input, e.output);
    // What the callback writes to both output channels.
    const float gain = e.output.gain;
    for (int32_t k = 0; k < block_size; ++k) out[k] = e.output.audio[k] * gain;
}

const double* demod_display_db(demod_engine& e) {
    tb_take(e.signal.spectra);
    return tb_front(e.signal.spectra).display_db;
}
