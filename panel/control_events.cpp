#include "panel/control_events.h"

#include <cstdio>

#include "dsp/rebuild_filter.h"
#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "panel/play_button.h"
#include "panel/rec_button.h"
#include "panel/retune.h"
#include "panel/start_quit.h"
#include "settings/lenient_number.h"

using namespace gui;

namespace {

constexpr Colour white = 0xFFFFFFFF;
constexpr Colour yellow = 0xFFFFFF00;
constexpr Colour red = 0xFFFF0000;
constexpr Colour agc_on_text = 0xFF80FFFF;

void store_iq_slot(panel_context& c) {
    const int slot = iq_slot(c.values->selected_card);
    if (slot < 0) return;  // cards beyond the stored slots keep no correction
    if (GuiSlider* s = c.dialogs->iq_dialog.get_slider(id_iq_gain_slider))
        c.values->iq_gain_setting[slot] = s->value();
    if (GuiSlider* s = c.dialogs->iq_dialog.get_slider(id_iq_phase_slider))
        c.values->iq_phase_setting[slot] = s->value();
}

void iq_adjust_pressed(panel_context& c) {
    panel& p = *c.dialogs;
    c.controls->iq_adjust_open = !c.controls->iq_adjust_open;
    c.controls->tuning_disabled = !c.controls->tuning_disabled;
    if (GuiSlider* s = p.iq_dialog.get_slider(id_iq_gain_slider)) p.iq_dialog.request_focus(s);
    if (c.controls->iq_adjust_open) return;
    if (p.tuning_slider) {
        p.tuning_slider->set_enabled(true);
        p.tuning_dialog.request_focus(p.tuning_slider);
    }
    store_iq_slot(c);
}

// The tuning position carries over between the two sidebands of one kind (CWL/CWU,
// LSB/USB); from_a and from_b are the entries it carries over from.
void select_mode(panel_context& c, int32_t m, int32_t from_a, int32_t from_b) {
    receive_mode_state& r = *c.modes;
    c.controls->previous_mode = r.selected_mode;
    r.selected_mode = m;
    const int32_t previous = c.controls->previous_mode;
    if (previous == from_a || previous == from_b)
        r.mode_table[m].slider_pos = int32_t(r.mode_table[previous].slider_pos);
}

void mode_radio(panel_context& c, int id) {
    receive_mode_state& r = *c.modes;
    signal_state& s = *c.signal;
    const bool high = s.sampling_high;
    switch (id) {
        case id_cwl:
            if (!high) return;  // no CW at 48 kHz: the mode stays as it was
            select_mode(c, 2, 3, 3);
            c.controls->cw_offset_bins = cw_offset_of_mode(r, 2);
            r.mode_table[2].usb = 0;
            s.cw_mode = 1;
            c.values->show_average = 0;
            break;
        case id_cwu:
            if (!high) return;
            select_mode(c, 3, 2, 2);
            c.controls->cw_offset_bins = cw_offset_of_mode(r, 3);
            r.mode_table[3].usb = 1;
            s.cw_mode = 1;
            c.values->show_average = 0;
            break;
        case id_lsb: {
            const int32_t m = high ? 4 : 0;
            select_mode(c, m, 1, 5);
            r.mode_table[m].usb = 0;
            c.controls->cw_offset_bins = 0;
            s.cw_mode = 0;
            c.values->show_average = 1;
            break;
        }
        default: {  // id_usb
            const int32_t m = high ? 5 : 1;
            select_mode(c, m, 0, 4);
            r.mode_table[m].usb = 1;
            c.controls->cw_offset_bins = 0;
            s.cw_mode = 0;
            c.values->show_average = 1;
            break;
        }
    }
    rebuild_filter(s, r);
    call_rebuild_scales();
}

void bandwidth_radio(panel_context& c, int id) {
    mode_entry& e = c.modes->mode_table[valid_mode_index(c.modes->selected_mode)];
    e.band_width = bandwidth_of_radio(id);
    e.bandwidth_pos = id;
    rebuild_filter(*c.signal, *c.modes);
}

void window_selected(panel_context& c, GuiControl* control) {
    auto* combo = control && control->kind() == ControlKind::combo_box
                      ? static_cast<GuiComboBox*>(control)
                      : c.dialogs->main_dialog.get_combo_box(id_window_combo);
    const ComboItem* item = combo ? combo->selected_item() : nullptr;
    if (!item) return;
    const int32_t func = combo_item_value(*c.dialogs, item);
    if (func < 0 || func > 4) return;
    c.modes->mode_table[valid_mode_index(c.modes->selected_mode)].func = func;
    apply_mode(c.modes->selected_mode);
    // apply_mode reopened a started receiver's stream; a receiver not yet started gets no
    // stream of its own here (it would play before "Start").
    if (!c.sound || !c.sound->stream_open || quit_pending(c)) return;
    if (open_receiver_stream(c) == 1) c.dialogs->card_dialog.set_visible(true);
}

void set_edit(GuiDialog& d, int id, const char* text) {
    if (GuiEditBox* e = d.get_edit_box(id)) e->set_text(text);
}

void calibration_pressed(panel_context& c) {
    panel& p = *c.dialogs;
    c.controls->calibration_open = !c.controls->calibration_open;
    if (!c.controls->calibration_open) {
        caption_toggle(p.main_dialog, id_freq_adjust, true, "Freq. adjust", "adjust end");
        p.adjust_dialog.set_visible(false);
        return;
    }
    const persisted_values& v = *c.values;
    char text[64];
    const std::pair<int, int32_t> ints[] = {{id_center_frequency_edit, v.center_frequency_Hz},
                                            {id_ssb96_edit, v.ssb96_adjust_freq_Hz},
                                            {id_cw96_edit, v.cw96_adjust_freq_Hz},
                                            {id_ssb48_edit, v.ssb48_adjust_freq_Hz}};
    for (const auto& [id, value] : ints) {
        std::snprintf(text, sizeof text, "%d", int(value));
        set_edit(p.adjust_dialog, id, text);
    }
    std::snprintf(text, sizeof text, "%.1f", v.dBm_adjust_value);
    set_edit(p.adjust_dialog, id_dbm_edit, text);
    p.adjust_dialog.set_visible(true);
    caption_toggle(p.main_dialog, id_freq_adjust, false, "Freq. adjust", "adjust end");
}

bool is_checked(GuiControl* control) {
    return control && control->kind() == ControlKind::check_box &&
           static_cast<GuiCheckBox*>(control)->checked();
}

void agc_toggled(panel_context& c, GuiControl* control) {
    const bool on = is_checked(control);
    if (control && control->kind() == ControlKind::check_box) {
        auto* box = static_cast<GuiCheckBox*>(control);
        box->set_text(on ? "AGC on" : "AGC Off");
        box->element(0).font_colour.set(state_mouse_over, on ? white : yellow);
    }
    if (GuiStatic* label = c.dialogs->main_dialog.get_static(id_agc_readout)) {
        label->set_text(on ? "AGC on" : "AGC off");
        label->set_text_colour(on ? agc_on_text : red);
    }
    c.modes->agc_on = on ? 1 : 0;
}

void notch_toggled(panel_context& c, GuiControl* control) {
    const bool on = is_checked(control);
    if (control && control->kind() == ControlKind::check_box) {
        auto* box = static_cast<GuiCheckBox*>(control);
        box->set_text(on ? "Notch On" : "Notch Off");
        box->element(0).font_colour.set(state_normal, on ? yellow : white);
        box->element(0).font_colour.set(state_mouse_over, on ? yellow : white);
    }
    c.signal->notch_on = on ? 1 : 0;
}

void set_low_cutoff(panel_context& c, int32_t hz) {
    c.signal->low_cutoff_hz = hz;
    rebuild_filter(*c.signal, *c.modes);
}

int slider_value(GuiControl* control) {
    return control && control->kind() == ControlKind::slider
               ? static_cast<GuiSlider*>(control)->value()
               : 0;
}

bool is_on(const relaxed<uint8_t>* flag) {
    return flag && flag->load();
}

}  // namespace

int32_t bandwidth_of_radio(int id) {
    // "120" is an 80 Hz pass band; the others are what their captions say.
    static constexpr int32_t widths[] = {80, 250, 500, 1100, 2400, 2700, 2900, 3100};
    if (id < id_bandwidth_first || id > id_bandwidth_last) return -1;
    return widths[id - id_bandwidth_first];
}

void main_event_handler(unsigned, int control_id, GuiControl* control, void*) {
    panel_context& c = panel_links();
    if (!c.dialogs || !c.modes || !c.signal || !c.controls || !c.values) return;
    panel& p = *c.dialogs;
    switch (control_id) {
        case id_iq_gain_slider:
        case id_iq_phase_slider:
            publish_iq_balance(c);
            store_iq_slot(c);
            break;
        case id_iq_adjust:
            iq_adjust_pressed(c);
            break;
        case id_cwl:
        case id_cwu:
        case id_lsb:
        case id_usb:
            mode_radio(c, control_id);
            break;
        case id_window_combo:
            window_selected(c, control);
            break;
        case id_display_speed_slider:
            c.values->display_speed = 100 - slider_value(control);
            break;
        case id_freq_adjust:
            calibration_pressed(c);
            break;
        case id_agc_check:
            agc_toggled(c, control);
            break;
        case id_low_cut_50:
            set_low_cutoff(c, 50);
            break;
        case id_low_cut_200:
            set_low_cutoff(c, 200);
            break;
        case id_low_cut_300:
            set_low_cutoff(c, 300);
            break;
        case id_notch_span_slider:
            c.signal->notch_span = slider_value(control);
            break;
        case id_average:
            c.values->show_average = !c.values->show_average;
            caption_toggle(p.main_dialog, id_average, c.values->show_average, "ave", "peak");
            break;
        case id_agc_limit_slider:
            c.signal->agc_gain_limit = float(slider_value(control));
            break;
        case id_dbm:
            c.values->show_dBm = !c.values->show_dBm;
            caption_toggle(p.main_dialog, id_dbm, c.values->show_dBm, "dBm", "dBuEMF");
            break;
        case id_play_wave:
            if (!is_on(c.record_button_on)) play_button_pressed(c);
            break;
        case id_rec:
            if (!(c.play && c.play->play_button_on)) rec_button_pressed(c);
            break;
        case id_rf_gain_slider:
            c.modes->rf_gain = slider_value(control) / 10;
            break;
        case id_reverse_input:
            c.modes->reverse_input = c.modes->reverse_input ? 0 : 1;
            caption_toggle(p.main_dialog, id_reverse_input, !c.modes->reverse_input,
                           "noromal input", "reverse input");
            break;
        case id_notch_check:
            notch_toggled(c, control);
            break;
        case id_start: {
            const bool quitting = c.sound && c.sound->stream_open;
            start_quit_pressed(c);
            if (quitting) return;  // everything is shut down; nothing is left to refresh
            break;
        }
        case id_select_card:
            // A second press closes the dialog without changing anything.
            if (p.card_dialog.is_visible())
                p.card_dialog.set_visible(false);
            else
                show_card_dialog(c);
            break;
        default:
            if (bandwidth_of_radio(control_id) > 0) bandwidth_radio(c, control_id);
            break;
    }
    closing_refresh(c);
}

void adjust_event_handler(unsigned event, int control_id, GuiControl* control, void*) {
    if (event != event_edit_box_string || !control || control->kind() != ControlKind::edit_box)
        return;
    panel_context& c = panel_links();
    if (!c.values) return;
    persisted_values& v = *c.values;
    auto* box = static_cast<GuiEditBox*>(control);
    const std::string text = box->text();
    const int32_t typed = parse_lenient_int(text.c_str());  // [Hz] for the frequency boxes
    int32_t* frequency = nullptr;
    int32_t taken = 0;  // [Hz] typed, held to the value's range
    switch (control_id) {
        case id_center_frequency_edit:
            frequency = &v.center_frequency_Hz;
            taken = clamp_center_frequency(typed);
            break;
        case id_ssb96_edit:
            frequency = &v.ssb96_adjust_freq_Hz;
            taken = clamp_adjust_freq(typed);
            break;
        case id_cw96_edit:
            frequency = &v.cw96_adjust_freq_Hz;
            taken = clamp_adjust_freq(typed);
            break;
        case id_ssb48_edit:
            frequency = &v.ssb48_adjust_freq_Hz;
            taken = clamp_adjust_freq(typed);
            break;
        case id_dbm_edit:
            v.dBm_adjust_value = parse_lenient_double(text.c_str());
            break;
        default:
            return;
    }
    if (frequency) {
        *frequency = taken;
        // A value held to its range shows in the box as it was taken.
        if (taken != typed) {
            char shown[16];
            std::snprintf(shown, sizeof shown, "%d", int(taken));
            box->set_text(shown);
        }
    }
    call_update_frequency_readout();
    call_rebuild_scales();
}
