#include "panel/settings_link.h"

#include <algorithm>

using namespace gui;

namespace {

constexpr Colour agc_on_label = 0xFF80FFFF;
constexpr Colour agc_off_label = 0xFFFF0000;
constexpr int32_t rf_gain_max = 10;  // the RF-gain slider's 100 / 10

int32_t slider_value(const panel& p, int id, int32_t fallback) {
    const GuiSlider* s = p.main_dialog.get_slider(id);
    return s ? s->value() : fallback;
}

void set_slider(panel& p, int id, int32_t v) {
    if (GuiSlider* s = p.main_dialog.get_slider(id)) s->set_value(v);
}

void check_radio(GuiDialog& d, int id) {
    if (GuiRadioButton* r = d.get_radio_button(id)) r->set_checked(true, true, false);
}

int32_t within(int32_t v, int32_t lo, int32_t hi, int32_t fallback) {
    return (v >= lo && v <= hi) ? v : fallback;
}

// Field f (0..7) of a stored mode entry, kept to what the receiver itself produces.
int32_t checked_mode_field(int f, int32_t v, const mode_values& d) {
    switch (f) {
        case 0:
            return within(v, 0, 4, d.func);
        case 1:
            return within(v, 0, 1, d.usb);
        case 2:
            return within(v, 0, 1, d.carrier);
        case 3:
            return within(v, 1, 24000, d.band_width);
        case 4:
            return within(v, -24000, 24000, d.offset);
        case 5:
            return within(v, 0, 4095, d.slider_pos);
        case 6:
            return within(v, id_cwl, id_usb, d.mode);
        default:
            return within(v, id_bandwidth_first, id_bandwidth_last, d.bandwidth_pos);
    }
}

relaxed<int32_t>& mode_field(mode_entry& e, int f) {
    relaxed<int32_t>* const fields[] = {&e.func,   &e.usb,        &e.carrier, &e.band_width,
                                        &e.offset, &e.slider_pos, &e.mode,    &e.bandwidth_pos};
    return *fields[f];
}

// Stores the first n values of the main settings file.
void store_main_values(const main_settings& m, int n, receive_mode_state& modes,
                       signal_state& signal, persisted_values& values, panel& p) {
    const int32_t selected = valid_mode_index(m.selected_mode);
    for (int i = 0; i < n; ++i) {
        const int32_t v = main_settings_value(m, i);
        switch (i) {
            case 0:
                values.center_frequency_Hz = clamp_center_frequency(v);
                break;
            case 1:
                values.ssb96_adjust_freq_Hz = clamp_adjust_freq(v);
                break;
            case 2:
                values.cw96_adjust_freq_Hz = clamp_adjust_freq(v);
                break;
            case 3:
                values.ssb48_adjust_freq_Hz = clamp_adjust_freq(v);
                break;
            case 4:
                values.dBm_adjust_value = dBm_from_file(v);
                break;
            case 5:
                values.selected_card = v;
                break;
            case 6:
                modes.selected_mode = selected;
                break;
            case 7:
            case 8:
            case 9:
            case 10:
            case 11:
            case 12:
            case 13:
            case 14: {
                const int f = i - 7;
                mode_field(modes.mode_table[selected], f) =
                    checked_mode_field(f, v, mode_table_defaults[selected]);
                break;
            }
            case 15:
                set_slider(p, id_display_speed_slider, v);
                break;
            case 16:
                set_slider(p, id_agc_limit_slider, v);
                break;
            case 17:
                signal.low_cutoff_hz = clamp_low_cutoff(v);
                break;
            case 18:
                modes.agc_on = static_cast<uint8_t>(v);
                break;  // low byte
            case 19:
                values.show_average = v;
                break;
            case 20:
                values.show_dBm = v;
                break;
            case 21:
                signal.sampling_high = static_cast<uint8_t>(v);
                break;  // low byte
            case 22:
                modes.rf_gain = std::clamp(v, 0, rf_gain_max);
                break;
            default:
                modes.reverse_input = v;
                break;
        }
    }
}

}  // namespace

main_settings collect_main_settings(const receive_mode_state& modes, const signal_state& signal,
                                    const persisted_values& values, const panel& p) {
    main_settings m;
    m.center_frequency_Hz = values.center_frequency_Hz;
    m.ssb96_adjust_freq_Hz = values.ssb96_adjust_freq_Hz;
    m.cw96_adjust_freq_Hz = values.cw96_adjust_freq_Hz;
    m.ssb48_adjust_freq_Hz = values.ssb48_adjust_freq_Hz;
    m.dBm_adjust_x10 = dBm_to_file(values.dBm_adjust_value);
    m.selected_card = values.selected_card;
    m.selected_mode = valid_mode_index(modes.selected_mode);
    m.mode = mode_snapshot(selected_entry(modes));
    m.display_speed_slider_pos =
        slider_value(p, id_display_speed_slider, 100 - values.display_speed);
    m.agc_gain_limit_slider_pos =
        slider_value(p, id_agc_limit_slider, static_cast<int32_t>(signal.agc_gain_limit.load()));
    m.low_cutoff_hz = signal.low_cutoff_hz;
    m.agc_state = modes.agc_on;
    m.show_average = values.show_average;
    m.show_dBm = values.show_dBm;
    m.sampling_high = signal.sampling_high;
    m.rf_gain = modes.rf_gain;
    m.reverse_input = modes.reverse_input;
    return m;
}

settings_load_result load_settings(receive_mode_state& modes, signal_state& signal,
                                   persisted_values& values, panel& p, const std::string& folder) {
    iq_records iq = iq_records_of(values);
    main_settings m = collect_main_settings(modes, signal, values, p);
    const settings_load_result r = load_settings_files(folder, iq, m);
    if (!r.iq_file_read) return r;
    store_iq_records(iq, values);
    if (!r.main_file_read) return r;
    // The file was opened: the centre frequency is 0 unless the file holds it.
    values.center_frequency_Hz = 0;
    store_main_values(m, r.main_values_read, modes, signal, values, p);
    apply_loaded_settings(modes, signal, values, p);
    return r;
}

void apply_loaded_settings(receive_mode_state& modes, signal_state& signal,
                           persisted_values& values, panel& p) {
    check_radio(p.card_dialog, signal.sampling_high ? id_rate_96k : id_rate_48k);

    const mode_family family = family_of_mode(modes.selected_mode);
    signal.sampling_high = family.sampling_high;
    signal.cw_mode = family.cw_mode;

    const mode_values entry = mode_snapshot(selected_entry(modes));
    check_radio(p.main_dialog, entry.mode);
    check_radio(p.main_dialog, entry.bandwidth_pos);

    values.display_speed = 100 - slider_value(p, id_display_speed_slider, 75);
    signal.agc_gain_limit = static_cast<float>(slider_value(p, id_agc_limit_slider, 70));

    switch (signal.low_cutoff_hz) {
        case 50:
            check_radio(p.main_dialog, id_low_cut_50);
            break;
        case 200:
            check_radio(p.main_dialog, id_low_cut_200);
            break;
        case 300:
            check_radio(p.main_dialog, id_low_cut_300);
            break;
        default:
            break;  // no low-cut radio stands for another value
    }

    const bool agc = modes.agc_on != 0;
    if (GuiCheckBox* box = p.main_dialog.get_check_box(id_agc_check)) {
        box->set_checked(agc, false);
        box->set_text(agc ? "AGC on" : "AGC Off");
        box->element(0).font_colour.set(state_mouse_over, agc ? 0xFFFFFFFF : 0xFFFFFF00);
    }
    if (GuiStatic* label = p.main_dialog.get_static(id_agc_readout)) {
        label->set_text(agc ? "AGC on" : "AGC off");
        label->set_text_colour(agc ? agc_on_label : agc_off_label);
    }

    if (GuiButton* ave = p.main_dialog.get_button(id_average)) {
        ave->set_text(values.show_average ? "ave" : "peak");
        ave->set_fill_colour(values.show_average ? fill_idle : fill_active);
    }

    if (GuiComboBox* windows = p.main_dialog.get_combo_box(id_window_combo)) {
        if (entry.func >= 0 && entry.func < windows->item_count()) windows->select_item(entry.func);
    }
}

settings_save_result save_settings(const receive_mode_state& modes, const signal_state& signal,
                                   const persisted_values& values, const panel& p,
                                   const std::string& folder) {
    return save_settings_files(folder, iq_records_of(values),
                               collect_main_settings(modes, signal, values, p));
}
