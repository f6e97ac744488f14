#include "dsp/receive_mode.h"

void assign_mode(mode_entry& e, const mode_values& v) {
    e.func = v.func;
    e.usb = v.usb;
    e.carrier = v.carrier;
    e.band_width = v.band_width;
    e.offset = v.offset;
    e.slider_pos = v.slider_pos;
    e.mode = v.mode;
    e.bandwidth_pos = v.bandwidth_pos;
}

mode_values mode_snapshot(const mode_entry& e) {
    return {e.func, e.usb, e.carrier, e.band_width, e.offset, e.slider_pos, e.mode,
            e.bandwidth_pos};
}
