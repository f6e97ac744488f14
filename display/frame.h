#pragma once
// The per-frame callbacks: frame_update computes what changes between frames (traces, boxes,
// S-meter, readouts) and paces the display; frame_render clears the target, fills the panels
// and bars, and draws the line lists, the scale texts and the dialogs on top.
#include "display/screen_geometry.h"
#include "gui/framework.h"

void frame_update(gui::Device* device, double time_s, float elapsed_s, void* context);
void frame_render(gui::Device* device, double time_s, float elapsed_s, void* context);

// The CPU usage bar on y 458..460 for a usage [%]: green up to 40, then yellow, then red;
// nothing above 100.
void fill_cpu_bar(gui::Device& device, int usage_percent);
// The playback bar up to the block being heard, and the loop marks (nothing for an empty
// file).
void fill_playback_bar(gui::Device& device, uint32_t total_blocks, uint32_t heard_block,
                       bool start_marker_on, uint32_t start_block, bool end_marker_on,
                       uint32_t end_block);
