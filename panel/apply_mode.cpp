#include "panel/apply_mode.h"

#include <cmath>

#include "dsp/rebuild_filter.h"
#include "panel/retune.h"

using namespace gui;

namespace {

void check_radio(GuiDialog& d, int id) {
    if (GuiRadioButton* r = d.get_radio_button(id)) r->set_checked(true, true, false);
}

}  // namespace

void caption_toggle(GuiDialog& d, int id, bool idle, const char* idle_text,
                    const char* active_text) {
    if (GuiButton* b = d.get_button(id)) {
        b->set_text(idle ? idle_text : active_text);
        b->set_fill_colour(idle ? fill_idle : fill_active);
    }
}

void publish_iq_balance(panel_context& c) {
    if (!c.dialogs || !c.audio) return;
    iq_balance& iq = c.audio->iq;
    if (GuiSlider* gain = c.dialogs->iq_dialog.get_slider(id_iq_gain_slider)) {
        iq.iq_gain_slider_value = gain->value();
        iq.iq_gain_factor = gain->value() / 10000.0;
    }
    if (GuiSlider* phase = c.dialogs->iq_dialog.get_slider(id_iq_phase_slider)) {
        const double rad = phase->value() / 10000.0;  // [rad]
        iq.iq_phase_sin = std::sin(rad);
        iq.iq_phase_sec = 1.0 / std::cos(rad);
    }
}

void apply_iq_settings(panel_context& c) {
    if (!c.dialogs || !c.values) return;
    const int slot = iq_slot(c.values->selected_card);
    const int32_t gain = slot >= 0 ? c.values->iq_gain_setting[slot] : 10000;
    const int32_t phase = slot >= 0 ? c.values->iq_phase_setting[slot] : 0;
    if (GuiSlider* s = c.dialogs->iq_dialog.get_slider(id_iq_gain_slider)) s->set_value(gain);
    if (GuiSlider* s = c.dialogs->iq_dialog.get_slider(id_iq_phase_slider)) s->set_value(phase);
    publish_iq_balance(c);
}

void apply_mode(int32_t m) {
    panel_context& c = panel_links();
    if (!c.modes || !c.signal || !c.dialogs || !c.controls) return;
    signal_state& s = *c.signal;
    panel& p = *c.dialogs;
    const mode_entry& e = c.modes->mode_table[valid_mode_index(m)];

    stop_receiver_stream(c);  // 1
    // A stop that failed has asked the program to end: no new stream is opened then.
    if (quit_pending(c)) return;
    const bool high = s.sampling_high;  // 2, 3
    c.controls->display_sample_rate = high ? 96000 : 48000;
    set_processing_sizes(s, high);
    make_filter(s, e.func);  // 4
    rebuild_filter(s, *c.modes);
    clear_audio_output(s.handoff);       // 5
    check_radio(p.main_dialog, e.mode);  // 6
    check_radio(p.main_dialog, e.bandwidth_pos);
    // The window box shows the window the filter is made with, also before any settings
    // file was read.
    if (GuiComboBox* windows = p.main_dialog.get_combo_box(id_window_combo))
        if (e.func >= 0 && e.func < windows->item_count()) windows->select_item(e.func);
    call_rebuild_scales();                                          // 7
    if (p.tuning_slider) p.tuning_slider->set_value(e.slider_pos);  // 8
    compute_tuning(c);
    apply_iq_settings(c);                   // 9
    if (c.sound && c.sound->stream_open) {  // 10
        const int32_t failed = open_receiver_stream(c);
        p.card_dialog.set_visible(failed != 0);
        c.sound->stream_open = failed ? 0 : 1;
    }
    if (c.values)  // 11
        caption_toggle(p.main_dialog, id_average, c.values->show_average, "ave", "peak");
    caption_toggle(p.main_dialog, id_reverse_input, !c.modes->reverse_input,  // 12
                   "noromal input", "reverse input");
    if (GuiSlider* rf = p.main_dialog.get_slider(id_rf_gain_slider))  // 13
        rf->set_value(c.modes->rf_gain * 10);
}
