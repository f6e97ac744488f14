#pragma once
// A dialog with one control of each kind, shared by the demo program and the screenshot test.
#include "gui/toolkit.h"

namespace demo {

constexpr int id_title = 1;
constexpr int id_button = 2;
constexpr int id_check = 3;
constexpr int id_radio_a = 4;
constexpr int id_radio_b = 5;
constexpr int id_combo = 6;
constexpr int id_slider = 7;
constexpr int id_edit = 8;
constexpr int id_readout = 9;

struct Scene {
    gui::GuiResourceManager resources;
    gui::GuiDialog dialog;
    unsigned last_event = 0;
    int last_id = 0;
    bool print_events = false;  // the demo program reports each event on standard output
};

// Builds the controls into scene.dialog (0, 0, 1024 x 480).
void build(Scene& scene);
// Clears the target and draws the scene as the receiver would draw a frame.
void draw(Scene& scene, gui::Device* device);

}  // namespace demo
