#include "display/frame.h"

#include "display/display_context.h"
#include "platform/thread.h"

using namespace gui;

namespace {

constexpr Rect spectrum_panel{0, 0, 1024, 310};
constexpr Rect cpu_background{105, 458, 205, 460};
constexpr Rect audio_panel{220, 330, 500, 460};
constexpr Colour cpu_green = 0xFF79E0C8;
constexpr Colour cpu_yellow = 0xFFFFFF00;
constexpr Colour cpu_red = 0xFFFF0000;

// The usage bar on y 458..460: green up to 40 %, then yellow, then red; nothing above 100.
void fill_cpu_bar(Device& device, int u) {
    auto seg = [&](int from, int to, Colour c) { device.clear_rect(Rect{from, 458, to, 460}, c); };
    if (u < 0 || u > 100) return;
    if (u <= 40) {
        seg(105, 105 + u, cpu_green);
    } else if (u <= 70) {
        seg(105, 145, cpu_green);
        seg(145, 105 + u, cpu_yellow);
    } else {
        seg(105, 155, cpu_green);
        seg(155, 175, cpu_yellow);
        seg(175, 105 + u, cpu_red);
    }
}

// The sound server can end a running stream by itself; while the receiver is started it is
// reopened on the same card and rate, looked at about once a second. When it cannot be
// reopened it is left as it is and tried again a second later.
void keep_stream_running(display_context& d, double now_s) {
    static double last_look_s = 0;
    if (!d.sound || !d.audio || !d.values || !d.signal) return;
    if (now_s - last_look_s < 1.0 && now_s >= last_look_s) return;
    last_look_s = now_s;
    if (d.sound->stream_open.load())
        revive_stream(*d.sound, *d.audio, d.values->selected_card, d.signal->sample_rate);
}

}  // namespace

void frame_update(Device*, double now_s, float, void*) {
    display_context& d = display();
    keep_stream_running(d, now_s);
    if (d.dialogs && d.controls) {
        panel& p = *d.dialogs;
        const bool open = d.controls->iq_adjust_open;
        if (GuiButton* b = p.main_dialog.get_button(id_iq_adjust))
            b->set_fill_colour(open ? fill_active : fill_idle);
        p.iq_dialog.set_visible(open);
    }
    // The only pacing of the display: a higher speed slider gives a shorter delay.
    if (d.values) sleep_ms(d.values->display_speed);
}

void frame_render(Device* device, double, float elapsed_s, void*) {
    if (!device) return;
    display_context& d = display();
    device->clear(background_colour);
    device->clear_rect(spectrum_panel, panel_black);
    device->clear_rect(cpu_background, panel_black);
    if (d.cpu_usage_percent) fill_cpu_bar(*device, *d.cpu_usage_percent);
    if (d.signal && !d.signal->cw_mode) device->clear_rect(audio_panel, panel_black);
    if (!device->begin_scene()) return;
    if (d.dialogs) {
        panel& p = *d.dialogs;
        if (p.iq_dialog.is_visible()) p.iq_dialog.render(elapsed_s);
        p.tuning_dialog.render(elapsed_s);
        p.main_dialog.render(elapsed_s);
        if (p.card_dialog.is_visible()) p.card_dialog.render(elapsed_s);
        if (d.controls && d.controls->calibration_open) p.adjust_dialog.render(elapsed_s);
    }
    device->end_scene();
}
