#pragma once
// What the display reads and draws: the records of the receiver it shows and the dialogs.
// The application attaches them once before the device is created.
#include <cstddef>
#include <cstdint>

#include "panel/panel_context.h"
#include "platform/relaxed.h"

// The playback bar and the trace colour read the wave player through panel_context::play;
// without a player no bar is drawn.
struct display_context : panel_context {
    const relaxed<int32_t>* cpu_usage_percent = nullptr;
    // The shared text buffer the readouts are formatted into (UTF-8); the display keeps a
    // buffer of its own when none is attached.
    char* message_text = nullptr;
    std::size_t message_text_size = 0;  // [bytes]
};

void display_attach(display_context* context);
display_context& display();
