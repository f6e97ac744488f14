#include "display/frame.h"

#include "display/display_context.h"
#include "display/display_state.h"
#include "display/readouts.h"
#include "display/scales.h"
#include "display/spectrum_trace.h"
#include "platform/thread.h"

using namespace gui;

namespace {

constexpr int spectrum_box_top = 0;
constexpr int cpu_green_end = 40;  // [%]
constexpr int cpu_yellow_end = 70;
constexpr int cpu_full = 100;

Colour choose_trace_colour(const display_context& d) {
    if (d.play && d.play->play_button_on) return trace_playback;
    return d.signal->sampling_high ? trace_96k : trace_48k;
}

// The pass band as a box over the spectrum, by mode: lower sideband left of the tuning
// position, upper sideband right of it, CW a one-pixel marker.
void add_passband_box(display_context& d, display_state& v) {
    if (!d.modes || !d.dialogs || !d.dialogs->tuning_slider || !d.controls) return;
    const int32_t rate = d.controls->display_sample_rate;
    if (rate <= 0) return;
    const int p = d.dialogs->tuning_slider->value();
    const int w = selected_entry(*d.modes).band_width * 1024 / rate;
    float left = 0, right = 0;
    Colour colour = passband_box_ssb;
    switch (d.modes->selected_mode) {
        case 0:
        case 4:
            left = float(p / 4);
            right = float(p / 4 - w);
            break;
        case 1:
        case 5:
            left = float(p / 4);
            right = float(p / 4 + w);
            break;
        case 2:
        case 3:
            left = float(p);
            right = float(p + 1);
            colour = passband_box_cw;
            break;
        default:
            return;
    }
    v.frame_lines.add_rectangle(nullptr, left, float(spectrum_box_top), right,
                                float(spectrum_bottom_y), colour, 1.0f, 1.0f, false);
}

// SSB: column maxima, pass-band peak, audio trace, notch box, and the main trace while the
// stream is open.
void make_ssb_traces(display_context& d, display_state& v, const spectrum_block& sp, int32_t start,
                     int32_t width, int32_t usb) {
    signal_state& s = *d.signal;
    const bool high = s.sampling_high;
    const double adjust = d.values->dBm_adjust_value;
    fill_column_db(sp.display_db, v.column_db);
    v.meter.passband_peak_db = passband_peak(v.column_db, display_columns, start, width, usb);
    v.audio_vertex_count = make_audio_trace(sp.audio_db, sp.passband_bin_count, high, adjust,
                                            v.audio_vertices, audio_vertex_room);
    if (s.notch_on == 1) {
        const int32_t r = s.notch_position;
        const int left = notch_left_edge(r, s.notch_span, sp.passband_bin_count, high);
        if (r > left)
            v.frame_lines.add_rectangle(nullptr, float(left), float(audio_panel.top), float(r),
                                        float(audio_panel.bottom), colour_red, 1.0f, 1.0f, false);
    }
    if (d.sound && d.sound->stream_open == 1)
        for (int c = 0; c < display_columns; ++c)
            v.spectrum_vertices[c] = PointF{float(c), spectrum_y(v.column_db[c], adjust)};
}

// The level marker's lines as the panel last set them.
void copy_marker_lines(display_context& d, display_state& v) {
    v.marker_lines.remove_all();
    if (!d.marker_lines) return;
    for (const marker_line& m : *d.marker_lines) {
        const PointF pts[2] = {m.from, m.to};
        v.marker_lines.add_line(nullptr, pts, 2, m.colour, 1.0f, 1.0f, false);
    }
}

}  // namespace

void fill_cpu_bar(Device& device, int u) {
    auto seg = [&](int from, int to, Colour c) {
        device.clear_rect(Rect{from, cpu_background.top, to, cpu_background.bottom}, c);
    };
    const int x0 = cpu_background.left;
    if (u < 0 || u > cpu_full) return;
    if (u <= cpu_green_end) {
        seg(x0, x0 + u, colour_green);
    } else if (u <= cpu_yellow_end) {
        seg(x0, x0 + cpu_green_end, colour_green);
        seg(x0 + cpu_green_end, x0 + u, colour_yellow);
    } else {
        seg(x0, 155, colour_green);
        seg(155, 175, colour_yellow);
        seg(175, x0 + u, colour_red);
    }
}

void fill_playback_bar(Device& device, uint32_t n, uint32_t heard, bool start_on,
                       uint32_t start_block, bool end_on, uint32_t end_block) {
    if (n == 0) return;  // a file without whole blocks has no position to show
    const int play_px = int(heard * 1024u / n);
    int bar_start = 0;
    if (start_on) {
        const int x = int(start_block * 1024u / n);
        device.clear_rect(Rect{x, loop_mark_top, x + loop_mark_width, loop_mark_bottom},
                          colour_yellow);
        bar_start = x + loop_mark_width;
    }
    if (end_on) {
        const int x = int(end_block * 1024u / n);
        device.clear_rect(Rect{x, loop_mark_top, x + loop_mark_width, loop_mark_bottom},
                          colour_red);
    }
    device.clear_rect(Rect{bar_start, playback_bar_top, play_px, playback_bar_bottom},
                      playback_bar);
}

void frame_update(Device*, double now_s, float, void*) {
    display_context& d = display();
    if (!d.signal || !d.values) return;
    display_state& v = screen();
    signal_state& s = *d.signal;
    update_cpu_and_record_readouts(d);        // 1
    v.trace_colour = choose_trace_colour(d);  // 2
    v.frame_lines.remove_all();               // 3
    v.meter.passband_peak_db = -1000.0;       // 4
    // The newest spectra the DSP thread has published.
    tb_take(s.spectra);
    const spectrum_block& sp = tb_front(s.spectra);
    const int32_t start = d.controls ? d.controls->passband_start_px : 0;
    const int32_t width = d.controls ? d.controls->passband_width_px : 0;
    const int32_t usb = d.modes ? int32_t(selected_entry(*d.modes).usb) : -1;
    const bool cw = s.cw_mode;
    const double adjust = d.values->dBm_adjust_value;
    if (!cw) {  // 5
        make_ssb_traces(d, v, sp, start, width, usb);
    } else {  // 6
        for (int c = 0; c < display_columns; ++c)
            v.spectrum_vertices[c] = PointF{float(c), spectrum_y(sp.display_db[c], adjust)};
        v.meter.passband_peak_db = passband_peak(sp.display_db, fft_size, start, width, usb);
    }
    v.frame_lines.add_line(nullptr, v.spectrum_vertices, display_columns, v.trace_colour, 1.0f,
                           1.0f, false);  // 7
    if (!cw && v.audio_vertex_count > 0)
        v.frame_lines.add_line(nullptr, v.audio_vertices, size_t(v.audio_vertex_count),
                               v.trace_colour, 1.0f, 1.0f, false);
    add_passband_box(d, v);         // 9
    if (d.dialogs && d.controls) {  // 10
        panel& p = *d.dialogs;
        const bool open = d.controls->iq_adjust_open;
        if (GuiButton* b = p.main_dialog.get_button(id_iq_adjust))
            b->set_fill_colour(open ? fill_active : fill_idle);
        p.iq_dialog.set_visible(open);
    }
    update_s_meter(d, v);  // 11
    copy_marker_lines(d, v);
    // 12: the only pacing of the display; a higher speed slider gives a shorter delay.
    sleep_ms(d.values->display_speed);
}

void frame_render(Device* device, double, float elapsed_s, void*) {
    if (!device) return;
    display_context& d = display();
    display_state& v = screen();
    device->clear(background_colour);                 // 1
    device->clear_rect(spectrum_panel, panel_black);  // 2
    device->clear_rect(cpu_background, panel_black);
    if (d.play && is_playing(*d.play)) {  // 3
        const player& pb = *d.play;
        fill_playback_bar(*device, pb.total_blocks, block_heard(pb), pb.start_marker_on,
                          pb.start_block, pb.end_marker_on, pb.end_block);
    }
    if (d.cpu_usage_percent) fill_cpu_bar(*device, *d.cpu_usage_percent);              // 4
    if (d.signal && !d.signal->cw_mode) device->clear_rect(audio_panel, panel_black);  // 5
    if (!device->begin_scene()) return;                                                // 6
    if (v.scale_picture && v.back_buffer)                                              // 7
        v.back_buffer->draw_picture(*v.scale_picture, v.scale_picture_rect.left,
                                    v.scale_picture_rect.top);
    v.grid_lines.render();  // 8
    v.frame_lines.render();
    if (d.controls && d.controls->marker_on) v.marker_lines.render();
    if (d.dialogs) {  // 9
        panel& p = *d.dialogs;
        if (p.iq_dialog.is_visible()) p.iq_dialog.render(elapsed_s);
        draw_scale_texts(device);
        p.tuning_dialog.render(elapsed_s);
        p.main_dialog.render(elapsed_s);
        if (p.card_dialog.is_visible()) p.card_dialog.render(elapsed_s);
        if (d.controls && d.controls->calibration_open) p.adjust_dialog.render(elapsed_s);
    } else {
        draw_scale_texts(device);
    }
    device->end_scene();  // 10
}
