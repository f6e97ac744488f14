#pragma once
// The frequency and dB scales: tick geometry and labels, the fixed grid of the spectrum and
// audio panels, and the scale texts drawn every frame.
#include <cstdint>

#include "display/display_state.h"
#include "gui/draw.h"

// Tick spacing, anchor tick and label positions for a rate [Hz] and reference frequency
// [Hz] on the SSB or the CW display.
void compute_scale_geometry(scale_geometry& g, int32_t sample_rate, int32_t center_frequency_hz,
                            bool cw_mode);
// The anchor labels [kHz] of a reference frequency: SSB rounded down to 5 kHz, CW rounded
// down to 2 kHz less 36 kHz (one step lower when the frequency is a whole step).
void set_anchor_labels(scale_geometry& g, int32_t center_frequency_hz);
// The label texts " %d" [kHz] from the anchor label and the anchor tick's index.
void make_scale_labels(scale_geometry& g, bool cw_mode);

// The same on the display's record with the attached receiver's values.
void compute_scale_geometry();
void make_scale_labels();

// Recomputes the geometry, the tuning range, the grid lines and the labels.
void rebuild_scales();

// The frame statistics, the audio-panel frequencies, the frequency labels and the dB scale,
// with the display's text font.
void draw_scale_texts(gui::Device* device);
