#pragma once
// What the display reads and draws: the records of the receiver it shows and the dialogs.
// The application attaches them once before the device is created.
#include "panel/panel_context.h"
#include "platform/relaxed.h"

struct display_context : panel_context {
    const relaxed<int32_t>* cpu_usage_percent = nullptr;
    const relaxed<uint8_t>* playing = nullptr;
};

void display_attach(display_context* context);
display_context& display();
