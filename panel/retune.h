#pragma once
// The tuning relation of the panel: the tuning position of the selected mode becomes the
// tuned bin and the pass band in display columns.
#include "panel/panel_context.h"

// The offset [bins] that CW adds to the tuning position for mode entry m: the pitch above
// the tuning for CWL (entry 2), below it for CWU (entry 3), none for the SSB entries.
double cw_offset_of_mode(const receive_mode_state& r, int32_t m);

// tuned_bin, passband_start_px and passband_width_px from slider_pos and cw_offset_bins.
void compute_tuning(panel_context& c);
// compute_tuning, then the frequency readout.
void retune();
