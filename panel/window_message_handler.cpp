#include "panel/window_message_handler.h"

#include "panel/retune.h"

using namespace gui;

namespace {

constexpr int playback_strip_top = 281;     // [px] y of the playback bar's click strip
constexpr int playback_strip_bottom = 309;  // [px]
constexpr int spectrum_bottom = 280;        // [px] clicks from here down do not tune
constexpr Colour marker_colour = 0xFFFFFF00;

bool in_playback_strip(const panel_context& c, int y) {
    return c.play && is_playing(*c.play) && y >= playback_strip_top && y <= playback_strip_bottom;
}

// The readouts in the top-right corner are not part of the spectrum.
bool in_readout_corner(int x, int y) {
    return x >= 800 && y <= 123;
}

void focus_tuning(panel& p) {
    if (!p.tuning_slider) return;
    p.tuning_slider->set_enabled(true);
    p.tuning_dialog.request_focus(p.tuning_slider);
}

void left_click(panel_context& c, int x, int y, bool* no_further) {
    panel& p = *c.dialogs;
    if (in_playback_strip(c, y)) {
        if (c.play) set_start_marker(*c.play, x);
        return;
    }
    if (x >= 221 && x <= 499 && y >= 331 && y <= 459) {  // the notch strip of the audio panel
        if (c.signal) c.signal->notch_position = x;
        *no_further = true;
        return;
    }
    if (y >= spectrum_bottom || in_readout_corner(x, y)) return;
    if (!p.tuning_slider || !c.modes || !c.signal) return;
    focus_tuning(p);
    // One column is one bin in CW and four bins in SSB; the slider clamps to its range.
    p.tuning_slider->set_value(c.signal->cw_mode ? x : 4 * x);
    selected_entry(*c.modes).slider_pos = p.tuning_slider->value();
    retune();
    *no_further = true;
}

void right_click(panel_context& c, int x, int y, bool* no_further) {
    if (in_playback_strip(c, y)) {
        if (c.play) set_end_marker(*c.play, x);
        return;
    }
    if (!c.controls) return;
    panel_state& s = *c.controls;
    s.marker_on = !s.marker_on;
    if (c.marker_lines) c.marker_lines->clear();
    if (s.marker_on && y < 300 && !in_readout_corner(x, y)) {
        s.reference_level_db = 10.0f - float(y / 2);  // 2 px per dB, 10 dB at the top
        if (c.marker_lines) {
            c.marker_lines->push_back({{0, float(y)}, {1023, float(y)}, marker_colour});
            c.marker_lines->push_back({{float(x), 0}, {float(x), 280}, marker_colour});
        }
    }
    *no_further = true;
}

}  // namespace

void tuning_event_handler(unsigned, int control_id, GuiControl* control, void*) {
    panel_context& c = panel_links();
    if (control_id != id_tuning_slider || !control || !c.modes) return;
    selected_entry(*c.modes).slider_pos = static_cast<GuiSlider*>(control)->value();
    retune();
}

long window_message_handler(Window* window, const Message& message, bool* no_further, void*) {
    panel_context& links = panel_links();
    if (!links.dialogs) return 0;
    panel& p = *links.dialogs;
    bool taken = false;
    if (links.resources) taken = links.resources->msg_proc(window, message);
    *no_further = taken;
    // A main_dialog control that took a click still lets the window rules below see it. A
    // wheel turn it took goes no further: the focused tuning slider would take it as well.
    GuiDialog* chain[] = {&p.iq_dialog, &p.card_dialog, &p.main_dialog, &p.tuning_dialog,
                          &p.adjust_dialog};
    for (GuiDialog* d : chain) {
        *no_further = d->msg_proc(window, message);
        if (*no_further && (d != &p.main_dialog || message.kind == MessageKind::mouse_wheel))
            return 0;
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
        case MessageKind::left_button_down:
            left_click(links, message.x, message.y, no_further);
            break;
        case MessageKind::right_button_down:
            right_click(links, message.x, message.y, no_further);
            break;
        case MessageKind::sizing: {
            // The width stays: the right edge of the proposed rectangle is the current one.
            Rect now{};
            if (message.sizing_rect && get_window_rect(window, &now))
                message.sizing_rect->right = now.right;
            break;
        }
        default:
            break;
    }
    return 0;
}
