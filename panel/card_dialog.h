#pragma once
// The sound-card dialog: card, sample rate and mode family, and "OK", which starts
// receiving with them. Until "OK" the dialog changes nothing but its own controls.
#include "panel/panel_context.h"

void card_event_handler(unsigned event, int control_id, gui::GuiControl* control, void* context);

// Shows card_dialog with the receiver's card, rate and mode family checked.
void show_card_dialog(panel_context& c);
