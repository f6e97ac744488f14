#pragma once
// What the display reads and draws: the records of the receiver it shows and the dialogs.
// The application attaches them once before the device is created.
#include <cstddef>
#include <cstdint>

#include "panel/panel_context.h"
#include "platform/relaxed.h"

// The wave player's position and loop marks, for the playback bar. Written by the player
// thread and the panel; read every frame without a lock.
struct playback_view {
    const relaxed<uint32_t>* total_blocks = nullptr;   // [blocks] in the file
    const relaxed<uint32_t>* current_block = nullptr;  // next block to read
    const relaxed<uint8_t>* start_marker_on = nullptr;
    const relaxed<uint32_t>* start_block = nullptr;
    const relaxed<uint8_t>* end_marker_on = nullptr;
    const relaxed<uint32_t>* end_block = nullptr;
};

struct display_context : panel_context {
    const relaxed<int32_t>* cpu_usage_percent = nullptr;
    const relaxed<uint8_t>* playing = nullptr;
    // The shared text buffer the readouts are formatted into (UTF-8); the display keeps a
    // buffer of its own when none is attached.
    char* message_text = nullptr;
    std::size_t message_text_size = 0;  // [bytes]
    // Null while there is no wave player: no playback bar is drawn.
    const playback_view* playback = nullptr;
};

void display_attach(display_context* context);
display_context& display();
