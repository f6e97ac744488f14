#pragma once
// The display's device callbacks: the graphics resources follow the device's life cycle,
// and every reset places the tuning dialog and rebuilds the scales.
#include "display/readouts.h"
#include "display/scales.h"
#include "gui/framework.h"

constexpr int text_font_height = 12;  // [px]

bool is_device_acceptable(const gui::DeviceCaps* caps, gui::PixelFormat adapter_format,
                          gui::PixelFormat back_buffer_format, bool windowed, void* context);
bool modify_device_settings(gui::DeviceSettings* settings, const gui::DeviceCaps* caps,
                            void* context);
int device_created(gui::Device* device, const gui::SurfaceDesc* back_buffer, void* context);
int device_reset(gui::Device* device, const gui::SurfaceDesc* back_buffer, void* context);
void device_lost(void* context);
void device_destroyed(void* context);
