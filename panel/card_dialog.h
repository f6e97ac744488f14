#pragma once
// The sound-card dialog: card, sample rate and mode family, and "OK", which starts
// receiving with them.
#include "panel/panel_context.h"

void card_event_handler(unsigned event, int control_id, gui::GuiControl* control,
                        void* context);
