#pragma once
// The tuning relation of the panel: the tuning position of the selected mode becomes the
// tuned bin and the pass band in display columns.
#include "panel/panel_context.h"

// tuned_bin, passband_start_px and passband_width_px from slider_pos and cw_offset_bins.
void compute_tuning(panel_context& c);
// compute_tuning, then the frequency readout.
void retune();
