#pragma once
// The S-meter scale picture: 119 x 36 pixels, white ticks labelled 1 3 5 7 9 (S units) and
// red ticks labelled +20 and +40 (dB over S9) on black. It is drawn unscaled at (890, 30).
#include "gui/draw.h"

constexpr int scale_picture_width = 119;  // [px]
constexpr int scale_picture_height = 36;  // [px]
constexpr int scale_picture_x = 890;      // [px] where the display puts it
constexpr int scale_picture_y = 30;
constexpr int s1_tick_x = 3;           // [px] picture x of the S1 tick (two pixels wide)
constexpr int s_unit_px = 8;           // [px] S1 .. S9: 6 dB per step
constexpr int s9_tick_x = 67;          // [px]
constexpr int over_s9_20_tick_x = 83;  // [px] +20 dB at 0.8 px/dB
constexpr int over_s9_40_tick_x = 99;  // [px]
constexpr int last_tick_x = 116;       // [px]

// The picture, made once and kept for the life of the program (the program's own
// resource; the display's reference to it follows the device's life cycle).
const gui::Picture& scale_picture_resource();
