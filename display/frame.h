#pragma once
// The per-frame callbacks: frame_update computes what changes between frames and paces
// the display; frame_render clears the target, fills the panels and bars, and draws the
// dialogs on top.
#include "gui/framework.h"

constexpr gui::Colour background_colour = 0x002D32AA;
constexpr gui::Colour panel_black = 0xFF000000;

void frame_update(gui::Device* device, double time_s, float elapsed_s, void* context);
void frame_render(gui::Device* device, double time_s, float elapsed_s, void* context);
