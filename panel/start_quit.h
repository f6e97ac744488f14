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
// A stream that stops working is reopened by its stream thread; once that has failed for
// stream_lost_notice_ms the user is told (the card dialog comes up and the card-name
// readout says the card gives no sound), and both go back when the stream runs again.
// Called once per frame on the GUI thread; it only looks at the stream's state.
void watch_stream(panel_context& c);
constexpr int64_t stream_lost_notice_ms = 3000;
