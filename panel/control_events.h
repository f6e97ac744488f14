#pragma once
// What every control of the main, I/Q and calibration dialogs does when the toolkit
// reports an event for it.
#include "panel/panel_context.h"

// main_dialog and iq_dialog. The event code is not examined: any event of a control runs
// its action; every call ends with the closing refresh (except the Quit press).
void main_event_handler(unsigned event, int control_id, gui::GuiControl* control, void* context);

// adjust_dialog: a value takes effect only when Enter is pressed in its edit box.
void adjust_event_handler(unsigned event, int control_id, gui::GuiControl* control, void* context);

// The pass band [Hz] of bandwidth radio `id` (11..18), or -1 for another ID.
int32_t bandwidth_of_radio(int id);
