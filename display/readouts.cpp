#include "display/readouts.h"

#include <cstdarg>
#include <cstdio>

#include "display/screen_geometry.h"

using namespace gui;

namespace {

constexpr double s9_dbuemf = 40.0;
constexpr float needle_left_x = 894.0f;    // [px] S1, the left end of the scale
constexpr float needle_limit_x = 1008.0f;  // [px] beyond this the needle rests at 1009
constexpr float needle_rest_x = 1009.0f;
constexpr double ssb96_hz_per_step = 23.4432;  // [Hz] per tuning step, not 96000 / 4096
constexpr double ssb48_hz_per_step = 11.7216;  // [Hz] not 48000 / 4096
constexpr int32_t half_band_96k = 48000;       // [Hz]
constexpr int32_t half_band_48k = 24000;       // [Hz]
constexpr std::size_t message_chars = 200;     // the shared text holds 200 characters
// The level texts keep their '0' flag although '-' overrides it (the text is left-aligned).
const char* level_dbm_format = " %-02.1f dBm";
const char* level_dbuemf_format = " %-02.1f dBuEMF";

GuiStatic* readout(display_context& d, int id) {
    return d.dialogs ? d.dialogs->main_dialog.get_static(id) : nullptr;
}

}  // namespace

double s_meter_reading(s_meter_state& m, double peak_db, bool average, double adjust_db) {
    double r = peak_db + s_meter_offset_db;
    if (average) {
        m.reading_history[m.history_index] = r;
        double sum = 0;
        for (int i = 0; i < m.average_count; ++i) sum += m.reading_history[i];
        r = sum / m.average_count;
    }
    if (--m.history_index < 0) m.history_index = m.average_count - 1;
    return r + adjust_db;
}

float needle_position(double u) {
    float x = u <= s9_dbuemf ? float(904.0 + 1.3334 * u) : float(956.336 + 0.8 * (u - s9_dbuemf));
    if (x < needle_left_x) x = needle_left_x;
    if (x > needle_limit_x) x = needle_rest_x;
    return x;
}

double tuned_frequency(int32_t p, int32_t c, bool cw, bool high, int32_t ssb96, int32_t cw96,
                       int32_t ssb48) {
    if (cw) return p * ssb96_hz_per_step + (c - half_band_96k) + cw96;
    if (high) return p * ssb96_hz_per_step + (c - half_band_96k) + ssb96;
    return p * ssb48_hz_per_step + (c - half_band_48k) + ssb48;
}

void format_frequency(double f, char* out, std::size_t size) {
    const int32_t n = int32_t(f);
    const int32_t mhz = n / 1000000;
    const int32_t r = 10 * ((n / 10) - 100000 * mhz);  // the last digit is always 0
    std::snprintf(out, size, "%d %03d %03d Hz", mhz, r / 1000, r % 1000);
}

void show_readout(display_context& d, int id, const char* format, ...) {
    static char own_text[message_chars + 1];
    char* text = d.message_text ? d.message_text : own_text;
    std::size_t size = d.message_text ? d.message_text_size : sizeof own_text;
    if (size > message_chars + 1) size = message_chars + 1;
    if (size == 0) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, size, format, args);
    va_end(args);
    if (GuiStatic* s = readout(d, id)) s->set_text(text);
}

void update_cpu_and_record_readouts(display_context& d) {
    const int cpu = d.cpu_usage_percent ? int(*d.cpu_usage_percent) : 0;
    show_readout(d, id_cpu_readout, "CPU: %.2d  %%", cpu);
    if (d.record_button_on && *d.record_button_on) {
        const int s = d.record_seconds ? int(uint16_t(*d.record_seconds)) : 0;
        const int h = s / 3600;
        show_readout(d, id_rec_time, "REC %02d:%02d:%02d", h, (s - 3600 * h) / 60,
                     (s - 3600 * h) % 60);
    }
}

void update_s_meter(display_context& d, display_state& v) {
    if (!d.values) return;
    s_meter_state& m = v.meter;
    m.signal_reading =
        s_meter_reading(m, m.passband_peak_db, d.values->show_average, d.values->dBm_adjust_value);
    m.needle_x = needle_position(m.signal_reading);
    m.needle_vertices[0] = PointF{m.needle_x, float(needle_top_y)};
    m.needle_vertices[1] = PointF{m.needle_x, float(needle_bottom_y)};
    v.frame_lines.add_line(nullptr, m.needle_vertices, 2, colour_white, 2.0f, 1.0f, false);
    const bool open = d.sound && d.sound->stream_open == 1;
    if (d.values->show_dBm) {
        m.signal_reading -= dbuemf_to_dbm;
        if (open) show_readout(d, id_level_readout, level_dbm_format, m.signal_reading);
    } else if (open) {
        show_readout(d, id_level_readout, level_dbuemf_format, m.signal_reading);
    }
    const bool marker = d.controls && d.controls->marker_on;
    if (marker) {
        m.diff_value = m.signal_reading - d.controls->reference_level_db;
        show_readout(d, id_marker_readout, "diff: %4.1f dB", m.diff_value);
    }
    if (GuiStatic* s = readout(d, id_marker_readout)) s->set_visible(marker);
}

void update_frequency_readout() {
    display_context& d = display();
    if (!d.modes || !d.signal || !d.values) return;
    const mode_entry& e = selected_entry(*d.modes);
    const persisted_values& pv = *d.values;
    const bool cw = d.signal->cw_mode;
    const double f =
        tuned_frequency(e.slider_pos, pv.center_frequency_Hz, cw, d.signal->sampling_high,
                        pv.ssb96_adjust_freq_Hz, pv.cw96_adjust_freq_Hz, pv.ssb48_adjust_freq_Hz);
    screen().tuned_frequency_hz = f;
    char text[message_chars + 1];
    format_frequency(f, text, sizeof text);
    show_readout(d, id_frequency_readout, "%s", text);
    const int32_t usb = e.usb;
    const char* mode = usb == 0 ? "LSB" : usb == 1 ? "USB" : "";
    if (cw) mode = "CW";
    show_readout(d, id_mode_readout, "%s", mode);
    show_readout(d, id_bandwidth_readout, "BW: %4dHz", int(e.band_width));
}
