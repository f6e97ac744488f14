#include "display/scales.h"

#include <cmath>
#include <cstdio>

#include "display/display_context.h"
#include "display/screen_geometry.h"
#include "display/text_writer.h"
#include "gui/framework.h"

using namespace gui;

namespace {

constexpr int ssb_label_step_khz = 5;
constexpr int cw_label_step_khz = 2;
constexpr int cw_label_offset_khz = 36;  // the CW view lies 48..24 kHz below the centre
constexpr int label_half_width = 15;     // [px] label left edge = tick x - 15
constexpr int grid_line_count = 14;      // horizontal dB lines, one per 20 px
constexpr int grid_highlight_line = 8;   // y 160: -70 dBm
constexpr float audio_tick_px = 42.67f;  // [px] per 500 Hz on the audio panel

struct scale_text {
    int x, y;
    const char* dbm;
    const char* dbuemf;
};
constexpr scale_text db_scale[] = {
    {15, 40, "dBm", "dBuEMF"}, {15, 55, "-20", "93"},    {15, 75, "-30", "83"},
    {15, 95, "-40", "73"},     {15, 115, "-50", "63"},   {15, 135, "-60", "53"},
    {15, 155, "-70", "43"},    {15, 175, "-80", "33"},   {15, 195, "-90", "23"},
    {10, 215, "-100", " 13"},  {10, 235, "-110", "  3"}, {10, 255, "-120", "-13"},
};

void add_grid_line(LineList& lines, float x0, float y0, float x1, float y1, Colour colour) {
    const PointF pts[2] = {{x0, y0}, {x1, y1}};
    lines.add_line(nullptr, pts, 2, colour, 1.0f, 1.0f, false);
}

}  // namespace

void compute_scale_geometry(scale_geometry& g, int32_t sample_rate, int32_t center, bool cw) {
    for (int& x : g.label_x) x = 0;
    if (sample_rate <= 0) return;
    const float fs = float(sample_rate);
    g.ssb_tick_spacing_px = 1023.0f / fs * 5000.0f;
    g.cw_tick_spacing_px = 8184000.0f / fs;
    float s = 0;
    if (cw) {
        // The reference lies (sample_rate / 8) / 1023 Hz below the centre frequency.
        const int32_t n = int32_t(center - (sample_rate / 8) / 1023.0);
        const int32_t q = n / 1000;
        g.anchor_remainder_hz = n - 1000 * (q - q % cw_label_step_khz);
        g.scale_anchor_x = 511.0f - 1023.0f * 4.0f * float(g.anchor_remainder_hz) / fs;
        s = g.cw_tick_spacing_px;
    } else {
        const int32_t n = int32_t(center - (sample_rate / 4) / 1023.0);
        const int32_t q = n / 1000;
        g.anchor_remainder_hz = n - 1000 * (q - q % ssb_label_step_khz);
        g.scale_anchor_x = 511.0f - 1023.0f * float(g.anchor_remainder_hz) / fs;
        s = g.ssb_tick_spacing_px;
    }
    // Whole spacings left of the anchor; held inside the label table.
    int k0 = int(g.scale_anchor_x / s);
    if (k0 < 0) k0 = 0;
    if (k0 > scale_label_count - 1) k0 = scale_label_count - 1;
    (cw ? g.cw_anchor_tick_index : g.ssb_anchor_tick_index) = k0;
    const float a = g.scale_anchor_x;
    for (int i = 0; i <= k0; ++i) g.label_x[i] = int(a - s * float(k0 - i)) - label_half_width;
    for (int i = k0; i < scale_label_count; ++i)
        g.label_x[i] = int(a + s * float(i - k0)) - label_half_width;
}

void set_anchor_labels(scale_geometry& g, int32_t c) {
    const int32_t k = c / 1000;
    g.ssb_anchor_label_khz = c % 5000 != 0 ? k - k % 5 : k - 5;
    g.cw_anchor_label_khz = c % 2000 != 0 ? k - k % 2 - cw_label_offset_khz : k - 38;
}

void make_scale_labels(scale_geometry& g, bool cw) {
    for (int i = 0; i < scale_label_count; ++i) {
        const int value = cw ? g.cw_anchor_label_khz - cw_label_step_khz * g.cw_anchor_tick_index +
                                   cw_label_step_khz * i
                             : g.ssb_anchor_label_khz -
                                   ssb_label_step_khz * g.ssb_anchor_tick_index +
                                   ssb_label_step_khz * i;
        std::snprintf(g.scale_labels[i], sizeof g.scale_labels[i], " %d", value);
    }
}

void compute_scale_geometry() {
    display_context& d = display();
    if (!d.signal || !d.values) return;
    compute_scale_geometry(screen().scales, d.signal->sample_rate, d.values->center_frequency_Hz,
                           d.signal->cw_mode);
}

void make_scale_labels() {
    if (!display().signal) return;
    make_scale_labels(screen().scales, display().signal->cw_mode);
}

void rebuild_scales() {
    display_context& d = display();
    if (!d.signal || !d.values) return;
    display_state& v = screen();
    signal_state& s = *d.signal;
    const bool cw = s.cw_mode;
    compute_scale_geometry();  // 1
    if (d.dialogs && d.dialogs->tuning_slider)
        d.dialogs->tuning_slider->set_range(0, cw ? 1023 : 4095);  // 2
    v.grid_lines.remove_all();                                     // 3
    s.sample_rate = s.sampling_high ? 96000 : 48000;               // 4
    set_anchor_labels(v.scales, d.values->center_frequency_Hz);    // 5
    for (int i = 1; i <= grid_line_count; ++i) {                   // 6
        const float y = float(20 * i);
        add_grid_line(v.grid_lines, 0, y, float(display_columns), y,
                      i == grid_highlight_line ? grid_highlight : grid_green);
    }
    // 7: frequency ticks with the geometry of step 1.
    const float a = v.scales.scale_anchor_x;
    const float step = cw ? v.scales.cw_tick_spacing_px : v.scales.ssb_tick_spacing_px;
    if (step > 0) {
        for (int i = 0; a - step * float(i) > 0; ++i) {
            const float x = a - step * float(i);
            add_grid_line(v.grid_lines, x, 0, x, float(spectrum_bottom_y), grid_green);
        }
        for (int i = 1; a + step * float(i) < float(display_columns); ++i) {
            const float x = a + step * float(i);
            add_grid_line(v.grid_lines, x, 0, x, float(spectrum_bottom_y), grid_green);
        }
    }
    if (!cw) {  // 8: audio-panel ticks every 500 Hz
        for (int h = 1;; ++h) {
            const float x = float(audio_zero_hz_x) - audio_tick_px * float(h);
            if (x < float(audio_panel.left)) break;
            add_grid_line(v.grid_lines, x, float(audio_panel.top), x, float(audio_panel.bottom),
                          grid_green);
        }
    }
    compute_scale_geometry();  // 9: with the new sample rate
    make_scale_labels();       // 10
}

void draw_scale_texts(Device* device) {
    display_context& d = display();
    display_state& v = screen();
    if (!d.signal || !d.values) return;
    TextWriter text(device, v.text_sprite ? v.text_font.get() : nullptr);
    if (text.begin() != status_ok) return;
    text.set_colour(1, 1, 0, 1);
    text.set_insertion_point(5, 5);
    text.draw_line(get_frame_stats(true));
    text.set_insertion_point(5, 20);
    text.draw_line(get_device_stats());
    text.set_colour(1, 1, 1, 1);
    const bool cw = d.signal->cw_mode;
    if (!cw) {
        text.set_insertion_point(234, 340);
        text.draw_line("3000Hz");
        text.set_insertion_point(319, 340);
        text.draw_line("2000Hz");
        text.set_insertion_point(404, 340);
        text.draw_line("1000Hz");
    }
    // 96 kHz: labels 0..9 white, 10..18 yellow (white in CW); 48 kHz: 0..4 white, 5..8 yellow.
    const bool high = d.signal->sampling_high;
    const int drawn = high ? 19 : 9;
    const int first_yellow = high ? (cw ? drawn : 10) : 5;
    for (int i = 0; i < drawn; ++i) {
        if (i == first_yellow) text.set_colour(1, 1, 0, 1);
        text.set_insertion_point(v.scales.label_x[i], frequency_label_y);
        text.draw_line(v.scales.scale_labels[i]);
    }
    text.set_colour(1, 1, 1, 1);
    const bool dbm = d.values->show_dBm;
    for (const scale_text& t : db_scale) {
        text.set_insertion_point(t.x, t.y);
        text.draw_line(dbm ? t.dbm : t.dbuemf);
    }
    text.end();
}
