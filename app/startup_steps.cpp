// The start-up steps of the receiver core; module_steps.cpp holds the steps that call the
// window, the controls, the settings files and the sound card.
#include "app/startup_steps.h"

#include "app/receiver_record.h"
#include "dsp/rebuild_filter.h"
#include "panel/retune.h"

void open_cpu_counter() {
    cpu_sample_percent(core.cpu);
}

void seed_receiver_state() {
    data_origin.sampling_high = 1;
    data_origin.selected_mode = 4;
    data_origin.sample_rate = 96000;
}

void reset_mode_table_and_tuning() {
    data_origin.tuned_bin = 0;
    reset_mode_table(data_origin);
    data_origin.passband_bin_count = data_origin.sampling_high ? 142 : 282;
}

// The first application of the selected mode: the receiver reset and the filter, without
// any stream handling.
void apply_first_mode() {
    const mode_entry& entry = data_origin.mode_table[valid_mode_index(data_origin.selected_mode)];
    set_processing_sizes(data_origin, data_origin.sampling_high);
    make_filter(data_origin, entry.func);
    reset_signal_state(data_origin);
    data_origin.playing = 0;
    data_origin.recording = 0;
    data_origin.agc_on = 1;
    data_origin.notch_on = 0;
    data_origin.notch_position = 0;
    data_origin.notch_span = 0;
    data_origin.agc_gain_limit = 0.0f;
    // The lower sideband of the seeded rate (entry 4 at 96 kHz, whose values entry 0 has
    // at 48 kHz): mode and rate agree from the first run on, and a Quit stores them so.
    data_origin.selected_mode = data_origin.sampling_high ? 4 : 0;
    rebuild_filter(data_origin, data_origin);
    compute_tuning(panel_links());
    check_mode_radios_step();
}

void set_gain_and_notch_defaults() {
    data_origin.agc_gain_limit = 70.0f;
    data_origin.agc_on = 1;
    data_origin.notch_on = 0;
    data_origin.notch_span = 16;
    data_origin.notch_position = 500;
    data_origin.rf_gain = 1;
    set_stream_open(0);
}
