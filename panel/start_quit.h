#pragma once
// The main dialog's first actions: "Start" / "Quit" and "Select sound card", with the
// refresh that closes every event of the main dialog.
#include "panel/panel_context.h"

void main_event_handler(unsigned event, int control_id, gui::GuiControl* control,
                        void* context);
// The first press starts the receiver (the stream opens through apply_mode); the second
// saves the settings, stops everything and ends the program with exit code 0.
void start_quit_pressed(panel_context& c);
// Runs after every main_dialog event: the tuning slider's state and focus, the bandwidth
// radio and slider position of the selected mode, the tuned bin, the readout, button 30.
void closing_refresh(panel_context& c);
