#include <cstdint>
#include <functional>

#include "panel/panel.h"

using namespace gui;

namespace {

constexpr std::uint32_t format_left = text_no_clip;                // 0x100
constexpr std::uint32_t format_right = text_no_clip | text_right;  // 0x102
constexpr Colour dialog_tint = 0x320FFFFF;                         // iq and adjust dialogs
constexpr Colour card_background = 0xFF4B75CB;

GuiButton* button(GuiDialog& d, int id, const char* text, int x, int y, int w, int h, Colour fill) {
    GuiButton* b = nullptr;
    d.add_button(id, text, x, y, w, h, 0, false, &b);
    if (b) b->set_fill_colour(fill);
    return b;
}

// A static with an optional font (0: the toolkit's), text format and text colour (0: the
// toolkit's).
GuiStatic* label(GuiDialog& d, int id, const char* text, int x, int y, int w, int h, int font = 0,
                 std::uint32_t format = 0, Colour colour = 0) {
    GuiStatic* s = nullptr;
    d.add_static(id, text, x, y, w, h, false, &s);
    if (!s) return nullptr;
    if (font) s->set_font(font);
    if (format) s->set_text_format(format);
    if (colour) s->set_text_colour(colour);
    return s;
}

void radio(GuiDialog& d, int id, unsigned group, const char* text, int x, int y, int w, int h,
           int hotkey = 0, bool checked = false) {
    d.add_radio_button(id, group, text, x, y, w, h, checked, hotkey);
}

void build_iq_dialog(GuiDialog& d) {
    d.add_slider(id_iq_gain_slider, 10, 15, 200, 24, -19000, 19000, 10000);
    d.add_slider(id_iq_phase_slider, 10, 58, 200, 24, -28000, 28000, 0);
    d.add_static(id_iq_gain_label, "gain ", 0, 0, 30, 12);
    d.add_static(id_iq_phase_label, "phase", 0, 50, 40, 12);
    d.set_location(800, 100);
    d.set_size(220, 100);
    d.set_background_colours(dialog_tint);
    d.set_visible(false);
}

void build_adjust_dialog(GuiDialog& d) {
    label(d, 80, "Adjust frequency & dBm  ( need press Enter )", 10, 0, 250, 20, 0, format_left);
    label(d, 81, "center frequency          Hz", 20, 30, 120, 30, 0, format_left);
    d.add_edit_box(id_center_frequency_edit, "0", 152, 22, 80, 30);
    label(d, 83, "96KHz samp.SSB freq. Hz", 20, 60, 120, 30, 0, format_left);
    d.add_edit_box(id_ssb96_edit, "0", 162, 52, 50, 30);
    label(d, 85, "96KHz samp.CW freq.  Hz", 20, 90, 120, 30, 0, format_left);
    d.add_edit_box(id_cw96_edit, "0", 162, 82, 50, 30);
    label(d, 87, "48KHz samp.SSB freq. Hz", 20, 120, 120, 30, 0, format_left);
    d.add_edit_box(id_ssb48_edit, "0", 162, 112, 50, 30);
    label(d, 89, "dBm or dBuEMF adjust.", 20, 150, 145, 30, 0, format_left);
    d.add_edit_box(id_dbm_edit, "0.0", 162, 142, 50, 30);
    d.set_location(35, 40);
    d.set_size(250, 200);
    d.set_background_colours(dialog_tint);
    d.set_visible(false);
}

void build_main_controls(GuiDialog& d, bool sampling_high) {
    d.set_location(0, 0);
    d.set_size(1024, 480);
    button(d, id_iq_adjust, "IQ Adjust", 890, 70, 125, 22, 0xFFE84B17);
    GuiButton* rate = button(d, id_sampling_button, " ", 890, 100, 125, 22, fill_idle);
    button(d, id_start, "Start", 880, 440, 125, 32, 0xFFE84B17);
    if (GuiStatic* s = label(d, id_card_name, "", 0, 0, 300, 18, font_black_16, 0, 0xFFFFFFFF))
        s->set_location(475, 460);
    label(d, id_rec_time, "", 260, 45, 300, 40, font_black_42, 0, 0xFFFF0000);
    button(d, id_select_card, "Select sound card", 558, 360, 150, 28, 0xFF30D84E);
    label(d, id_frequency_readout, "", 543, 35, 300, 54, font_black_54, format_right);
    label(d, id_marker_readout, "", 573, 70, 300, 54, font_black_42, format_left, 0xFFFFFF00);
    label(d, id_mode_readout, "", 565, 4, 72, 24, font_black_20, format_left, 0xFF80FFFF);
    label(d, id_bandwidth_readout, "", 610, 4, 112, 24, font_black_20, format_left, 0xFF00FF7D);
    label(d, id_agc_readout, "AGC on", 715, 4, 112, 24, font_black_20, format_left, 0xFF80FFFF);
    button(d, id_average, "ave", 800, 4, 50, 18, fill_idle);
    label(d, id_level_readout, "", 932, 10, 74, 24, font_black_17, format_right);
    d.add_slider(id_agc_limit_slider, 105, 390, 100, 17, 10, 300, 70);
    label(d, id_agc_limit_label, "AGC gain limit", 30, 392, 100, 12, 0, format_left);
    label(d, id_display_speed_label, "Disp speed", 30, 412, 100, 12, 0, format_left);
    d.add_slider(id_display_speed_slider, 105, 412, 100, 17, 0, 100, 75);
    label(d, id_rf_gain_label, "RF gain", 30, 432, 100, 12, 0, format_left);
    d.add_slider(id_rf_gain_slider, 105, 432, 100, 17, 1, 100, 10);
    label(d, id_cpu_readout, "cpu:", 126, 465, 100, 12, 0, format_left);
    GuiButton* dx = button(d, id_dx_cluster, "DX cluster", 2, 398, 80, 22, fill_idle);
    button(d, id_play_wave, "Play wave", 22, 330, 80, 22, fill_idle);
    button(d, id_freq_adjust, "Freq. adjust", 22, 358, 80, 22, fill_idle);
    button(d, id_reverse_input, "reverse input", 122, 358, 80, 22, fill_idle);
    button(d, id_rec, "Rec", 25, 454, 40, 18, 0xFFFCCA82);
    button(d, id_dbm, "dBm", 857, 4, 50, 18, fill_idle);
    if (dx) {
        dx->set_visible(false);
        dx->set_enabled(false);
    }
    if (rate) {
        rate->set_text(sampling_high ? "96KHz sampling" : "48KHz sampling");
        rate->set_fill_colour(sampling_high ? fill_idle : fill_active);
    }
}

void build_tuning_dialog(panel& p, const panel_handlers& h, bool cw_mode) {
    GuiDialog& d = p.tuning_dialog;
    d.set_callback(h.tuning, h.context);
    // The display places and sizes the dialog again at every device reset.
    d.set_location(0, 270);
    d.set_size(1024, 100);
    d.add_slider(id_tuning_slider, 0, 0, 1023, 24, 0, cw_mode ? 1023 : 4095, cw_mode ? 511 : 2047,
                 false, &p.tuning_slider);
}

void register_fonts(GuiDialog& d) {
    d.set_font(font_comic_18, "Comic Sans MS", 18, 400);
    d.set_font(font_black_16, "Arial Black", 16, 400);
    d.set_font(font_black_54, "Arial Black", 54, 400);
    d.set_font(font_black_20, "Arial Black", 20, 400);
    d.set_font(font_black_17, "Arial Black", 17, 400);
    d.set_font(font_black_42, "Arial Black", 42, 400);
}

void build_mode_controls(panel& p) {
    GuiDialog& d = p.main_dialog;
    radio(d, id_cwl, group_mode, "CWL", 760, 320, 60, 24, '1');
    radio(d, id_cwu, group_mode, "CWU", 820, 320, 60, 24, '2');
    radio(d, id_lsb, group_mode, "LSB", 880, 320, 60, 24, '3', true);
    radio(d, id_usb, group_mode, "USB", 940, 320, 60, 24, '4');
    label(d, id_bandwidth_label, "= Band Width =", 745, 345, 160, 24, font_comic_18, 0, 0xFFFFFF00);
    // Two rows in one group; the rows share the hotkeys '5'..'8', which reach the upper row.
    radio(d, 11, group_bandwidth, "120", 760, 370, 60, 24, '5');
    radio(d, 12, group_bandwidth, "250", 820, 370, 60, 24, '6');
    radio(d, 13, group_bandwidth, "500", 880, 370, 60, 24, '7', true);
    radio(d, 14, group_bandwidth, "1,100", 940, 370, 60, 24, '8');
    radio(d, 15, group_bandwidth, "2,400", 760, 400, 60, 24, '5');
    radio(d, 16, group_bandwidth, "2,700", 820, 400, 60, 24, '6', true);
    radio(d, 17, group_bandwidth, "2,900", 880, 400, 60, 24, '7');
    radio(d, 18, group_bandwidth, "3,100", 940, 400, 60, 24, '8');
    radio(d, id_low_cut_50, group_low_cut, "100Hz", 330, 467, 40, 10, 0, true);
    radio(d, id_low_cut_200, group_low_cut, "200Hz", 380, 467, 40, 10);
    radio(d, id_low_cut_300, group_low_cut, "300Hz", 430, 467, 40, 10);
    // The captions are wider than their 40-pixel buttons: drawn unclipped so they stay legible.
    for (int id : {id_low_cut_50, id_low_cut_200, id_low_cut_300})
        if (GuiControl* c = d.get_control(id)) c->set_text_format(text_no_clip | text_vcentre);
    label(d, id_low_cutoff_label, "Low cutoff", 240, 467, 100, 8);
    GuiComboBox* windows = nullptr;
    d.add_combo_box(id_window_combo, 560, 320, 150, 28, 'O', false, &windows);
    if (windows) {
        windows->set_drop_height(80);
        const char* names[] = {"Rectangular", "Hanning", "Hamming", "Blackman", "Blackman Harris"};
        for (int i = 0; i < 5; ++i) windows->add_item(names[i], &p.combo_index_values[i]);
    }
}

void build_card_dialog(GuiDialog& d) {
    d.set_background_colours(card_background);
    d.set_location(220, 230);
    d.set_size(300, 245);
    radio(d, id_rate_48k, group_rate, "48KHz", 30, 90, 60, 24);
    radio(d, id_rate_96k, group_rate, "96KHz", 110, 90, 60, 24, 0, true);
    radio(d, id_family_ssb, group_family, "SSB", 30, 130, 60, 24, 0, true);
    radio(d, id_family_cw, group_family, "CW", 110, 130, 60, 24);
    d.add_button(id_card_ok, "OK", 170, 170, 120, 24);
    d.add_static(id_card_label, "Select your card", 33, 30, 80, 10);
    d.add_combo_box(id_card_combo, 25, 50, 250, 24, '1');
    d.set_visible(false);
}

void build_agc_and_notch(GuiDialog& d) {
    d.add_check_box(id_agc_check, "AGC on", 562, 400, 80, 24, true);
    d.add_check_box(id_notch_check, "Notch off", 640, 400, 80, 24, false);
    d.add_slider(id_notch_span_slider, 562, 430, 100, 20, 1, 140, 16);
    d.add_static(id_notch_span_label, "Notch span", 650, 430, 100, 20);
}

}  // namespace

void create_controls(panel& p, GuiResourceManager& resources, const panel_handlers& h,
                     bool sampling_high, bool cw_mode) {
    for (GuiDialog* d :
         {&p.main_dialog, &p.iq_dialog, &p.adjust_dialog, &p.card_dialog, &p.tuning_dialog})
        d->init(&resources, true);
    p.card_dialog.set_callback(h.card, h.context);
    p.iq_dialog.set_callback(h.main, h.context);
    p.main_dialog.set_callback(h.main, h.context);
    p.adjust_dialog.set_callback(h.adjust, h.context);

    build_iq_dialog(p.iq_dialog);
    build_adjust_dialog(p.adjust_dialog);
    build_main_controls(p.main_dialog, sampling_high);
    build_tuning_dialog(p, h, cw_mode);
    register_fonts(p.main_dialog);
    build_mode_controls(p);
    build_card_dialog(p.card_dialog);
    build_agc_and_notch(p.main_dialog);

    if (GuiStatic* s = p.main_dialog.get_static(id_card_name)) {
        s->set_text_colour(0xFFFFFFFF);
        s->set_font(font_black_16);
    }
    if (GuiControl* c = p.main_dialog.get_control(id_sampling_button)) c->set_visible(false);
    for (const auto& c : p.main_dialog.controls())
        if (c->id() >= id_startable_first && c->id() <= id_startable_last) c->set_enabled(false);
}

int32_t combo_item_value(const panel& p, const ComboItem* item) {
    if (!item) return -1;
    const auto* data = static_cast<const int32_t*>(item->data);
    const std::less<const int32_t*> before;
    if (!before(data, p.combo_index_values) &&
        before(data, p.combo_index_values + combo_index_count))
        return *data;
    return static_cast<int32_t>(reinterpret_cast<std::intptr_t>(item->data));
}

void enable_receiver_controls(panel& p) {
    for (const auto& c : p.main_dialog.controls())
        if (c->id() >= id_startable_first && c->id() <= id_startable_last) c->set_enabled(true);
    if (GuiControl* dx = p.main_dialog.get_control(id_dx_cluster)) dx->set_enabled(false);
}
