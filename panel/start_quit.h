#pragma once
// "Start" / "Quit", the refresh that closes every event of the main dialog, and keeping the
// started receiver's stream running.
#include "panel/panel_context.h"

// The first press starts the receiver (the stream opens through apply_mode); the second
// saves the settings, stops everything and ends the program with exit code 0.
void start_quit_pressed(panel_context& c);
// Runs after every main_dialog event: the tuning slider's state and focus, the bandwidth
// radio and slider position of the selected mode, the tuned bin, the readout, button 30.
void closing_refresh(panel_context& c);
// The sound server can end a running stream by itself; while the receiver is started it is
// reopened on the same card and rate. Called every frame with the frame time [s]; looks
// about once a second, and a stream that does not reopen is tried again a second later.
void keep_stream_running(panel_context& c, double now_s);
