#include "panel/start_quit.h"

#include <optional>
#include <string>

#include "panel/apply_mode.h"
#include "panel/retune.h"

using namespace gui;

void start_quit_pressed(panel_context& c) {
    if (!c.sound || !c.dialogs || !c.modes || !c.signal || !c.controls) return;
    panel& p = *c.dialogs;
    const bool start = !c.sound->stream_open;
    c.sound->stream_open = start ? 1 : 0;
    if (!start) {
        if (c.shutdown_receiver) c.shutdown_receiver();
        if (c.post_quit) c.post_quit(0);
        return;
    }
    if (GuiButton* b = p.main_dialog.get_button(id_start)) {
        b->set_text("Quit");
        b->set_fill_colour(fill_idle);
    }
    enable_receiver_controls(p);
    p.card_dialog.set_visible(false);
    const mode_entry& e = selected_entry(*c.modes);
    const int32_t rate = c.signal->sample_rate;
    // Integer arithmetic, then converted: the pitch in bins, below the tuning for CWL.
    c.controls->cw_offset_bins =
        c.signal->cw_mode && rate > 0 ? double(e.offset * (e.usb ? -4096 : 4096) / rate) : 0.0;
    apply_mode(c.modes->selected_mode);
}

namespace {

void show_card_state(panel_context& c, const char* suffix) {
    GuiStatic* label = c.dialogs->main_dialog.get_static(id_card_name);
    if (!label) return;
    const std::optional<std::string> name = card_name(*c.sound, c.values->selected_card);
    label->set_text((name.value_or("") + suffix).c_str());
}

}  // namespace

void watch_stream(panel_context& c) {
    if (!c.sound || !c.dialogs || !c.controls || !c.values) return;
    panel_state& p = *c.controls;
    const bool started = c.sound->stream_open.load() != 0;
    if (!p.stream_lost_shown) {
        if (!started || stream_trouble_ms(*c.sound) < stream_lost_notice_ms) return;
        p.stream_lost_shown = 1;
        c.dialogs->card_dialog.set_visible(true);
        show_card_state(c, ": no sound, reopening");
    } else if (!started || stream_active(*c.sound)) {
        p.stream_lost_shown = 0;
        if (started) c.dialogs->card_dialog.set_visible(false);
        show_card_state(c, "");
    }
}

void closing_refresh(panel_context& c) {
    if (!c.dialogs || !c.modes || !c.controls) return;
    panel& p = *c.dialogs;
    if (GuiSlider* tuning = p.tuning_slider) {
        tuning->set_enabled(!c.controls->tuning_disabled);
        if (!c.controls->tuning_disabled) p.tuning_dialog.request_focus(tuning);
    }
    const mode_entry& e = selected_entry(*c.modes);
    if (GuiRadioButton* r = p.main_dialog.get_radio_button(e.bandwidth_pos))
        r->set_checked(true, true, false);
    if (p.tuning_slider) p.tuning_slider->set_value(e.slider_pos);
    compute_tuning(c);
    call_update_frequency_readout();
    if (c.values) caption_toggle(p.main_dialog, id_average, c.values->show_average, "ave", "peak");
}
