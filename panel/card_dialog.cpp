#include "panel/card_dialog.h"

#include "panel/apply_mode.h"
#include "panel/rec_button.h"
#include "panel/retune.h"

using namespace gui;

namespace {

bool is_checked(GuiDialog& d, int id) {
    GuiRadioButton* r = d.get_radio_button(id);
    return r && r->checked();
}

void check(GuiDialog& d, int id) {
    if (GuiRadioButton* r = d.get_radio_button(id)) r->set_checked(true, true, false);
}

void start_receiving(panel_context& c) {
    panel& p = *c.dialogs;
    p.card_dialog.set_visible(false);
    if (GuiButton* b = p.main_dialog.get_button(id_start)) {
        b->set_fill_colour(fill_idle);
        b->set_text("Quit");
    }
    c.sound->stream_open = 1;
    enable_receiver_controls(p);
    if (p.tuning_slider) {
        p.tuning_slider->set_enabled(true);
        p.tuning_dialog.request_focus(p.tuning_slider);
    }
}

// The card picked in the list becomes the receiver's card, and label 63 shows its name.
void take_selected_card(panel_context& c) {
    panel& p = *c.dialogs;
    GuiComboBox* combo = p.card_dialog.get_combo_box(id_card_combo);
    const ComboItem* item = combo ? combo->selected_item() : nullptr;
    if (!item) return;
    c.values->selected_card = combo_item_value(p, item);
    if (GuiStatic* label = p.main_dialog.get_static(id_card_name)) label->set_text(item->text);
}

}  // namespace

void show_card_dialog(panel_context& c) {
    if (!c.dialogs || !c.signal || !c.values) return;
    GuiDialog& d = c.dialogs->card_dialog;
    const bool high = c.signal->sampling_high;
    check(d, high ? id_rate_96k : id_rate_48k);
    check(d, high && c.signal->cw_mode ? id_family_cw : id_family_ssb);
    if (GuiControl* cw = d.get_control(id_family_cw)) cw->set_visible(high);
    if (GuiComboBox* combo = d.get_combo_box(id_card_combo))
        for (int i = 0; i < combo->item_count(); ++i)
            if (combo_item_value(*c.dialogs, combo->item(i)) == c.values->selected_card)
                combo->select_item(i);
    d.set_visible(true);
}

// Only "OK" changes the receiver; the other controls change the dialog.
void card_event_handler(unsigned, int control_id, GuiControl*, void*) {
    panel_context& c = panel_links();
    if (!c.dialogs || !c.modes || !c.signal || !c.values || !c.sound || !c.controls) return;
    panel& p = *c.dialogs;
    GuiDialog& d = p.card_dialog;
    switch (control_id) {
        case id_rate_48k:
            check(d, id_family_ssb);
            if (GuiControl* cw = d.get_control(id_family_cw)) cw->set_visible(false);
            break;
        case id_rate_96k:
            if (GuiControl* cw = d.get_control(id_family_cw)) cw->set_visible(true);
            break;
        case id_card_ok:
            if (refuse_change_while_recording(c, !is_checked(d, id_rate_48k),
                                              !is_checked(d, id_rate_48k) &&
                                                  is_checked(d, id_family_cw))) {
                show_card_dialog(c);  // the radios show the rate and family still in force
                return;
            }
            take_selected_card(c);
            if (is_checked(d, id_rate_48k)) {
                c.signal->sampling_high = 0;
                c.signal->cw_mode = 0;
                check(d, id_family_ssb);
                c.modes->selected_mode = 0;
                start_receiving(c);
            } else if (is_checked(d, id_rate_96k)) {
                c.signal->sampling_high = 1;
                if (GuiControl* cw = d.get_control(id_family_cw)) cw->set_enabled(true);
                if (is_checked(d, id_family_ssb)) {
                    c.modes->selected_mode = 4;
                    c.signal->cw_mode = 0;
                    start_receiving(c);
                } else if (is_checked(d, id_family_cw)) {
                    c.modes->selected_mode = 2;
                    c.signal->cw_mode = 1;
                    start_receiving(c);
                }
            }
            c.controls->cw_offset_bins = cw_offset_of_mode(*c.modes, c.modes->selected_mode);
            apply_iq_settings(c);
            apply_mode(c.modes->selected_mode);
            d.set_visible(false);
            break;
        default:
            break;
    }
}
