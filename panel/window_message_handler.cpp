#include "panel/window_message_handler.h"

using namespace gui;

long window_message_handler(Window* window, const Message& message, bool* no_further,
                            void*) {
    panel_context& links = panel_links();
    if (!links.dialogs) return 0;
    panel& p = *links.dialogs;
    bool taken = false;
    if (links.resources) taken = links.resources->msg_proc(window, message);
    *no_further = taken;
    // A main_dialog control that took a click still lets the window rules below see it.
    GuiDialog* chain[] = {&p.iq_dialog, &p.card_dialog, &p.main_dialog, &p.tuning_dialog,
                          &p.adjust_dialog};
    for (GuiDialog* d : chain) {
        *no_further = d->msg_proc(window, message);
        if (*no_further && d != &p.main_dialog) return 0;
    }
    GuiSlider* tuning = p.tuning_slider;
    switch (message.kind) {
        case MessageKind::set_focus:
            *no_further = false;
            if (tuning) {
                tuning->set_enabled(true);
                p.tuning_dialog.request_focus(tuning);
            }
            break;
        case MessageKind::kill_focus:
            if (tuning) tuning->set_enabled(false);
            *no_further = true;
            break;
        default:
            break;
    }
    return 0;
}
