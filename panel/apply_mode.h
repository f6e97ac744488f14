#pragma once
// Applying a receive mode: the stream is stopped, the processing sizes and the band filter
// are made for the mode's rate and window, the controls are brought in line, and the
// stream is opened again while the receiver is started.
#include <cstdint>

#include "panel/panel_context.h"

void apply_mode(int32_t m);

// A toggle button's caption and fill: idle_text on the idle fill, else active_text on the
// active fill.
void caption_toggle(gui::GuiDialog& d, int id, bool idle, const char* idle_text,
                    const char* active_text);

// The I/Q sliders and the audio callback's balance values from the selected card's slot
// (unity gain and no phase correction for a card without a slot). No control events.
void apply_iq_settings(panel_context& c);

// Publishes the I/Q gain slider's value and the phase coefficients to the audio callback.
void publish_iq_balance(panel_context& c);
