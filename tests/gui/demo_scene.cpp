#include "tests/gui/demo_scene.h"

#include <cstdio>

namespace demo {
namespace {

void on_event(unsigned event, int id, gui::GuiControl* control, void* context) {
    auto* scene = static_cast<Scene*>(context);
    scene->last_event = event;
    scene->last_id = id;
    char text[96];
    std::snprintf(text, sizeof text, "event 0x%04X from control %d", event, id);
    if (auto* s = scene->dialog.get_static(id_readout)) s->set_text(text);
    if (scene->print_events) {
        std::printf("%s\n", text);
        std::fflush(stdout);
    }
}

}  // namespace

void build(Scene& scene) {
    gui::GuiDialog& d = scene.dialog;
    d.init(&scene.resources);
    d.set_callback(on_event, &scene);
    d.set_location(0, 0);
    d.set_size(1024, 480);
    d.set_font(1, "Comic Sans MS", 18, 400);
    d.set_font(2, "Arial Black", 16, 400);
    d.set_font(3, "Arial Black", 54, 400);

    gui::GuiStatic* title = nullptr;
    d.add_static(id_title, "7.056212 MHz", 520, 20, 480, 60, false, &title);
    title->set_font(3);
    title->set_text_format(gui::text_no_clip | gui::text_right);
    title->set_text_colour(0xFFFFFF00);

    gui::GuiButton* button = nullptr;
    d.add_button(id_button, "Start", 40, 40, 125, 32, 'S', false, &button);
    button->set_fill_colour(0xFFE84B17);

    d.add_check_box(id_check, "AGC on", 40, 100, 100, 24, true);
    d.add_radio_button(id_radio_a, 1, "LSB", 40, 140, 60, 24, true, '3');
    d.add_radio_button(id_radio_b, 1, "USB", 110, 140, 60, 24, false, '4');

    gui::GuiComboBox* combo = nullptr;
    d.add_combo_box(id_combo, 40, 190, 150, 28, 'O', false, &combo);
    combo->set_drop_height(80);
    for (const char* item : {"Rectangular", "Hanning", "Hamming", "Blackman", "Blackman Harris"}) {
        combo->add_item(item, nullptr);
    }
    combo->select_item(1);

    d.add_slider(id_slider, 40, 250, 200, 24, 0, 100, 30);
    d.add_edit_box(id_edit, "7056212", 40, 290, 120, 30);

    gui::GuiStatic* readout = nullptr;
    d.add_static(id_readout, "no event yet", 40, 340, 400, 24, false, &readout);
    readout->set_font(1);
    readout->set_text_format(gui::text_no_clip);
    readout->set_text_colour(0xFF80FFFF);

    // A second combo box shown open, so the drop-down list is in the picture.
    gui::GuiComboBox* open_combo = nullptr;
    d.add_combo_box(id_combo + 100, 300, 190, 150, 28, 0, false, &open_combo);
    open_combo->set_drop_height(80);
    for (const char* item : {"card 0", "card 1", "card 2", "card 3", "card 4", "card 5"}) {
        open_combo->add_item(item, nullptr);
    }
}

void draw(Scene& scene, gui::Device* device) {
    device->clear(0x002D32AA);
    device->clear_rect({0, 0, 1024, 10}, 0xFF000000);
    if (!device->begin_scene()) return;
    const gui::PointF trace[] = {{500, 420}, {600, 380}, {700, 440}, {800, 400}, {1000, 430}};
    device->draw_polyline(trace, 5, 0xFF8FD0EF, 1.0f, false);
    device->draw_rect_outline(480, 370, 1010, 460, 0xA0FFFFFF);
    scene.dialog.render(0.0f);
    if (const gui::Font* f = scene.resources.font(0)) {
        device->draw_text_at(*f, "Tolvan toolkit demo", 5, 460, 0xFFFFFFFF);
    }
    device->end_scene();
}

}  // namespace demo
