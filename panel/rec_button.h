#pragma once
// "Rec": the first press records the card's raw I/Q input into "temp.wav", the next press
// ends the recording at once; the recorder finishes the file in the background. What went
// wrong (blocks lost, a disk that failed or filled up, the size limit) is said in a message.
#include "panel/panel_context.h"

constexpr gui::Colour rec_on_fill = 0xFFFF0000;
constexpr const char* record_file_name = "temp.wav";
// [ms] how long the end of the program waits for a recording being finished before it
// says why it waits
constexpr int finish_note_after_ms = 1000;

void rec_button_pressed(panel_context& c);
// Every frame: a recording that ended by itself (disk full, size limit) turns the button
// off; the outcome of a recording that has been finished is reported, once.
void check_recording(panel_context& c);
// Before anything that needs the file complete (playing it, a new recording): waits until a
// stopped recording is finished and reports how it went.
void wait_for_recording(panel_context& c);
// At the end of the program (Quit, the window closed, the display lost): a running
// recording is stopped and finished as by the button and its outcome reported; a wait of
// more than finish_note_after_ms is explained first.
void finish_recording_at_exit(panel_context& c);
// A change of the sample rate or the mode family (SSB/CW) to high_rate/cw_family while a
// recording runs would put later blocks under the first rate's header: refused with a
// message. True when refused.
bool refuse_change_while_recording(panel_context& c, bool high_rate, bool cw_family);
