#include "panel/rec_button.h"

#include <cstdio>

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

// The button back to idle; the markers were set on the file just replaced.
void rec_button_off(panel_context& c) {
    *c.record_button_on = 0;
    show_rec_time(*c.dialogs, false);
    set_rec_fill(*c.dialogs, fill_idle);
    if (c.play) clear_markers(*c.play);
}

// `lost` blocks at `rate` [Hz].
void report_lost(uint32_t lost, int32_t rate) {
    if (lost == 0 || rate <= 0) return;
    char text[160];
    std::snprintf(text, sizeof text,
                  "%u blocks (%u ms) of the recording were lost: the disk did not keep up",
                  unsigned(lost), unsigned(uint64_t(lost) * 1000 * block_size / uint32_t(rate)));
    message_box(text, "rec error");
}

// "h:mm:ss" of the recorded length.
void format_length(char* out, size_t n, const recording_outcome& o) {
    const int64_t s =
        o.sample_rate > 0 ? int64_t(o.blocks_written) * block_size / o.sample_rate : 0;
    std::snprintf(out, n, "%d:%02d:%02d", int(s / 3600), int(s / 60 % 60), int(s % 60));
}

void report_outcome(const recording_outcome& o) {
    char length[32], text[256];
    format_length(length, sizeof length, o);
    if (o.write_failed) {
        std::snprintf(text, sizeof text,
                      "the recording was stopped after %s: temp.wav could not be written any "
                      "further (is the disk full?); what was recorded before is kept",
                      length);
        message_box(text, "file error");
    } else if (o.limit_reached) {
        std::snprintf(text, sizeof text,
                      "the recording was stopped after %s: a wave file holds at most 4 GB", length);
        message_box(text, "rec error");
    } else if (o.finish_failed) {
        message_box("the recording could not be written completely", "file error");
    }
    // A stop from the button has said this already.
    if (o.write_failed || o.limit_reached) report_lost(o.blocks_lost, o.sample_rate);
}

bool linked(const panel_context& c) {
    return c.dialogs && c.rec && c.record_button_on && c.signal && c.controls;
}

}  // namespace

void rec_button_pressed(panel_context& c) {
    if (!linked(c)) return;
    panel& p = *c.dialogs;
    const bool start = !*c.record_button_on;
    if (start) {
        wait_for_recording(c);
        *c.record_button_on = 1;
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
    const uint32_t lost = stop_recording(*c.rec);
    rec_button_off(c);
    report_lost(lost, c.signal->sample_rate);
    check_recording(c);  // ended by itself just before the press
}

void check_recording(panel_context& c) {
    if (!linked(c)) return;
    const std::optional<recording_outcome> o = take_recording_outcome(*c.rec);
    if (!o) return;
    if ((o->write_failed || o->limit_reached) && *c.record_button_on) rec_button_off(c);
    report_outcome(*o);
}

void wait_for_recording(panel_context& c) {
    if (!linked(c) || *c.record_button_on) return;  // a running recording is not waited for
    wait_recording_finished(*c.rec, -1);
    check_recording(c);
}

void finish_recording_at_exit(panel_context& c) {
    if (!linked(c)) return;
    if (*c.record_button_on) {
        const uint32_t lost = stop_recording(*c.rec);
        rec_button_off(c);
        report_lost(lost, c.signal->sample_rate);
    }
    if (!wait_recording_finished(*c.rec, finish_note_after_ms)) {
        message_box("the recording is still being written to the disk; Tolvan ends when it is done",
                    "rec error");
        wait_recording_finished(*c.rec, -1);
    }
    check_recording(c);
}

bool refuse_change_while_recording(panel_context& c, bool high_rate, bool cw_family) {
    if (!c.record_button_on || !*c.record_button_on || !c.signal) return false;
    if (high_rate == bool(c.signal->sampling_high) && cw_family == bool(c.signal->cw_mode))
        return false;
    message_box("stop the recording before changing the sample rate or the mode", "rec error");
    return true;
}
