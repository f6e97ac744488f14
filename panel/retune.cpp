#include "panel/retune.h"

double cw_offset_of_mode(const receive_mode_state& r, int32_t m) {
    // Integer product, then divided in floating point: 1024 bins span 24 kHz.
    if (m == 2) return (r.mode_table[2].offset * 1024) / 24000.0;
    if (m == 3) return (r.mode_table[3].offset * -1024) / 24000.0;
    return 0.0;
}

void compute_tuning(panel_context& c) {
    if (!c.modes || !c.signal || !c.controls) return;
    signal_state& s = *c.signal;
    panel_state& ps = *c.controls;
    const mode_entry& e = selected_entry(*c.modes);
    // Truncation toward zero, then an odd bin is raised by one: tuned_bin is always even.
    int32_t bin = e.slider_pos + static_cast<int32_t>(ps.cw_offset_bins);
    if (bin % 2 != 0) bin += 1;
    s.tuned_bin = bin;
    const int32_t rate = s.sample_rate;
    if (rate <= 0) return;
    const int32_t band_width = e.band_width;
    if (!s.cw_mode) {
        const int32_t column = bin / 4;
        ps.passband_width_px = band_width * 1024 / rate;
        const int32_t low = s.passband_low_hz * 1024 / rate;
        ps.passband_start_px = e.usb == 1 ? column + low : column - low - ps.passband_width_px;
    } else {
        ps.passband_width_px = (band_width / 2) * 4096 / rate;
        const int32_t centre = bin - static_cast<int32_t>(ps.cw_offset_bins);
        ps.passband_start_px =
            e.usb == 1 ? centre + ps.passband_width_px / 2 : centre - ps.passband_width_px / 2;
    }
}

void retune() {
    compute_tuning(panel_links());
    call_update_frequency_readout();
}
