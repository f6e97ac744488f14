#pragma once
// "Start" / "Quit", and the refresh that closes every event of the main dialog.
#include "panel/panel_context.h"

// The first press starts the receiver (the stream opens through apply_mode); the second
// saves the settings, stops everything and ends the program with exit code 0.
void start_quit_pressed(panel_context& c);
// Runs after every main_dialog event: the tuning slider's state and focus, the bandwidth
// radio and slider position of the selected mode, the tuned bin, the readout, button 30.
void closing_refresh(panel_context& c);
