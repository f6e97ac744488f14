#pragma once
// "Play wave": the first press plays "temp.wav" in place of the card's input, in a loop,
// at the file's own rate; the next press returns to live reception.
#include "panel/panel_context.h"

constexpr gui::Colour play_on_fill = 0xFFFCCA82;

void play_button_pressed(panel_context& c);
