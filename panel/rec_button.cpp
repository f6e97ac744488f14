#include "panel/rec_button.h"

#include "platform/message_box.h"

using namespace gui;

namespace {

void set_rec_fill(panel& p, Colour colour) {
    if (GuiButton* b = p.main_dialog.get_button(id_rec)) {
        b->element(1).texture_colour.set(state_normal, colour);
        b->element(1).texture_colour.set(state_mouse_over, colour);
    }
}

void show_rec_time(panel& p, bool shown) {
    if (GuiControl* t = p.main_dialog.get_control(id_rec_time)) t->set_visible(shown);
}

}  // namespace

void rec_button_pressed(panel_context& c) {
    if (!c.dialogs || !c.rec || !c.record_button_on || !c.signal || !c.controls) return;
    panel& p = *c.dialogs;
    const bool start = !*c.record_button_on;
    *c.record_button_on = start ? 1 : 0;
    if (start) {
        set_rec_fill(p, rec_on_fill);
        // A red button with nothing written would look like a recording: say so and turn
        // the button off again.
        if (!start_recording(*c.rec, record_file_name, c.signal->sampling_high)) {
            *c.record_button_on = 0;
            set_rec_fill(p, fill_idle);
            message_box("fail to write file", "file error");
            return;
        }
        if (c.record_seconds) *c.record_seconds = 0;
        show_rec_time(p, true);
        return;
    }
    const bool complete = stop_recording(*c.rec);
    show_rec_time(p, false);
    set_rec_fill(p, fill_idle);
    if (c.play) clear_markers(*c.play);
    // A full disk or a failing drive: the recording is not what was received.
    if (!complete) message_box("the recording could not be written completely", "file error");
}
