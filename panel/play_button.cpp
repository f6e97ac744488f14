#include "panel/play_button.h"

#include "panel/playback_mode.h"
#include "panel/rec_button.h"
#include "platform/message_box.h"
#include "platform/thread.h"

using namespace gui;

namespace {

void set_play_fill(panel& p, Colour colour) {
    if (GuiButton* b = p.main_dialog.get_button(id_play_wave)) {
        b->element(1).texture_colour.set(state_normal, colour);
        b->element(1).texture_colour.set(state_mouse_over, colour);
    }
}

}  // namespace

void play_button_pressed(panel_context& c) {
    if (!c.dialogs || !c.play || !c.modes || !c.controls) return;
    panel& p = *c.dialogs;
    player& pl = *c.play;
    const bool start = !pl.play_button_on;
    pl.play_button_on = start ? 1 : 0;
    if (!start) {
        stop_playback(pl);
        set_play_fill(p, fill_idle);
        restore_live_mode(c.controls->live_mode);
        sleep_ms(playback_settle_ms);
        return;
    }
    wait_for_recording(c);  // a stopped recording may still be being finished
    set_play_fill(p, play_on_fill);
    const bool opened = open_playback(pl, record_file_name);
    if (opened && pl.size_from_length)
        message_box(
            "temp.wav was not finished (the recording was cut off): it plays up to its "
            "last whole frame",
            "rec error");
    enter_playback_mode(c.modes->selected_mode, opened ? pl.playback_file_rate : 0);
    if (opened) {
        begin_playback(pl);
        sleep_ms(playback_settle_ms);
        return;
    }
    pl.play_button_on = 0;
    set_play_fill(p, fill_idle);
    message_box("no wave file", "rec error");
    restore_live_mode(c.controls->live_mode);
    sleep_ms(playback_settle_ms);
}
