#pragma once
// The window-message callback: every message goes to the dialogs first; then clicks tune,
// place the notch, set the level marker or the loop markers, and focus messages act on
// the tuning slider. Also the tuning slider's own event handler.
#include "gui/framework.h"
#include "panel/panel_context.h"

// Offers the message to the resource manager, then to iq_dialog, card_dialog, main_dialog,
// tuning_dialog and adjust_dialog; all but main_dialog end the chain when they take it.
long window_message_handler(gui::Window* window, const gui::Message& message,
                            bool* no_further_processing, void* context);

// The tuning slider (control 3): its value becomes the tuning position of the selected mode.
void tuning_event_handler(unsigned event, int control_id, gui::GuiControl* control, void* context);
