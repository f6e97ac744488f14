#include "display/device_callbacks.h"

#include "display/display_context.h"

using namespace gui;

bool is_device_acceptable(const DeviceCaps* caps, PixelFormat, PixelFormat, bool, void*) {
    return caps && caps->post_pixel_shader_blending;
}

bool modify_device_settings(DeviceSettings* settings, const DeviceCaps* caps, void*) {
    static bool first_call = true;
    if (caps && (!caps->hardware_transform_and_lighting || caps->vertex_shader_version_major < 1 ||
                 (caps->vertex_shader_version_major == 1 && caps->vertex_shader_version_minor < 1)))
        settings->vertex_processing = VertexProcessing::software;
    if (first_call && settings->type == DeviceType::reference) warn_reference_device();
    first_call = false;
    return true;
}

int device_created(Device* device, const SurfaceDesc*, void*) {
    display_context& d = display();
    if (d.resources) return d.resources->on_device_created(device);
    return status_ok;
}

void rebuild_scales() {
    display_context& d = display();
    if (!d.dialogs || !d.dialogs->tuning_slider || !d.signal) return;
    d.dialogs->tuning_slider->set_range(0, d.signal->cw_mode ? 1023 : 4095);
    d.signal->sample_rate = d.signal->sampling_high ? 96000 : 48000;
}

int device_reset(Device* device, const SurfaceDesc*, void*) {
    display_context& d = display();
    if (d.resources) {
        const int status = d.resources->on_device_reset(device);
        if (status < 0) return status;
    }
    if (!d.dialogs || !d.signal) return status_ok;
    panel& p = *d.dialogs;
    p.tuning_dialog.set_location(0, 270);
    p.tuning_dialog.set_size(1024, 100);
    if (GuiSlider* s = p.tuning_slider) {
        s->set_location(0, 0);
        s->set_range(0, d.signal->cw_mode ? 1023 : 4095);
        s->set_enabled(false);
    }
    if (GuiButton* rate = p.main_dialog.get_button(id_sampling_button)) {
        const bool high = d.signal->sampling_high;
        rate->set_text(high ? "96KHz sampling" : "48KHz sampling");
        rate->set_fill_colour(high ? fill_idle : fill_active);
    }
    if (p.tuning_slider) p.tuning_slider->set_enabled(true);
    rebuild_scales();
    return status_ok;
}

void device_lost(void*) {
    if (display().resources) display().resources->on_device_lost();
}

void device_destroyed(void*) {
    if (display().resources) display().resources->on_device_destroyed();
}
