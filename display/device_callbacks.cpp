#include "display/device_callbacks.h"

#include "display/display_context.h"
#include "display/display_state.h"
#include "display/scale_picture.h"

using namespace gui;

namespace {

LineList* const display_lines[] = {&screen().frame_lines, &screen().grid_lines,
                                   &screen().marker_lines};

}  // namespace

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
    display_state& v = screen();
    if (d.resources) {  // 1
        const int status = d.resources->on_device_created(device);
        if (status < 0) return status;
    }
    for (LineList* lines : display_lines) {  // 2
        const int status = lines->on_device_created(device);
        if (status < 0) return status;
    }
    v.text_sprite = true;                                                // 3
    v.text_font = Font::open("", text_font_height, font_weight_normal);  // 4: the default face
    if (!v.text_font) return status_fail;
    const Picture& picture = scale_picture_resource();  // 5
    v.scale_picture_rect =
        rect_xywh(scale_picture_x, scale_picture_y, picture.width(), picture.height());
    return status_ok;
}

int device_reset(Device* device, const SurfaceDesc*, void*) {
    display_context& d = display();
    display_state& v = screen();
    if (!v.scale_picture) {  // 1
        v.scale_picture = &scale_picture_resource();
        v.back_buffer = device;
    }
    if (d.resources) {  // 2
        const int status = d.resources->on_device_reset(device);
        if (status < 0) return status;
    }
    for (LineList* lines : display_lines) lines->on_device_reset();  // 3
    // 4: the sprite and the font keep nothing on the device.
    if (!d.dialogs || !d.signal) return status_ok;
    panel& p = *d.dialogs;
    p.tuning_dialog.set_location(0, 270);  // 5
    p.tuning_dialog.set_size(1024, 100);
    if (GuiSlider* s = p.tuning_slider) {
        s->set_location(0, 0);
        s->set_range(0, d.signal->cw_mode ? 1023 : 4095);
        s->set_enabled(false);
    }
    if (GuiButton* rate = p.main_dialog.get_button(id_sampling_button)) {  // 6
        const bool high = d.signal->sampling_high;
        rate->set_text(high ? "96KHz sampling" : "48KHz sampling");
        rate->set_fill_colour(high ? fill_idle : fill_active);
    }
    if (p.tuning_slider) p.tuning_slider->set_enabled(true);  // 7
    rebuild_scales();                                         // 8
    return status_ok;
}

void device_lost(void*) {
    display_context& d = display();
    display_state& v = screen();
    v.scale_picture = nullptr;
    for (LineList* lines : display_lines) lines->on_device_lost();
    if (d.resources) d.resources->on_device_lost();
    v.back_buffer = nullptr;
}

void device_destroyed(void*) {
    display_context& d = display();
    display_state& v = screen();
    for (LineList* lines : display_lines) lines->on_device_destroyed();
    if (d.marker_lines) d.marker_lines->clear();  // set again by the next right click
    if (d.resources) d.resources->on_device_destroyed();
    v.text_sprite = false;
    v.text_font.reset();
}
