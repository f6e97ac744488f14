#pragma once
// "Rec": the first press records the card's raw I/Q input into "temp.wav", the next
// press ends the recording and finishes the file.
#include "panel/panel_context.h"

constexpr gui::Colour rec_on_fill = 0xFFFF0000;
constexpr const char* record_file_name = "temp.wav";

void rec_button_pressed(panel_context& c);
