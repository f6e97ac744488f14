#pragma once
// Where things lie in the 1024 x 480 window [px], and the colours the display draws with.
#include "gui/types.h"

// Spectrum panel: the trace and the grid in y 0..280, frequency labels at y 295.
constexpr int spectrum_bottom_y = 280;
constexpr int spectrum_zero_db_y = 200;  // y of a 0 dB level
constexpr double px_per_db = 2.0;
constexpr gui::Rect spectrum_panel{0, 0, 1024, 310};
constexpr int frequency_label_y = 295;

// Audio panel (not in CW): 0 Hz at x 500, running leftwards.
constexpr gui::Rect audio_panel{220, 330, 500, 460};
constexpr int audio_zero_hz_x = 500;
constexpr int audio_zero_db_y = 420;

// CPU bar.
constexpr gui::Rect cpu_background{105, 458, 205, 460};

// Playback bar and loop marks.
constexpr int playback_bar_top = 295;
constexpr int playback_bar_bottom = 306;
constexpr int loop_mark_top = 283;
constexpr int loop_mark_bottom = 310;
constexpr int loop_mark_width = 2;

// S-meter needle.
constexpr int needle_top_y = 36;
constexpr int needle_bottom_y = 56;

constexpr gui::Colour background_colour = 0x002D32AA;
constexpr gui::Colour panel_black = 0xFF000000;
constexpr gui::Colour colour_green = 0xFF79E0C8;
constexpr gui::Colour colour_yellow = 0xFFFFFF00;
constexpr gui::Colour colour_red = 0xFFFF0000;
constexpr gui::Colour colour_white = 0xFFFFFFFF;
constexpr gui::Colour grid_green = 0x7D00FF00;      // translucent
constexpr gui::Colour grid_highlight = 0xC87D6400;  // the -70 dBm line
constexpr gui::Colour trace_96k = 0xFF8FD0EF;
constexpr gui::Colour trace_48k = 0xFFF9BFF0;
constexpr gui::Colour trace_playback = 0xFFFCCA82;
constexpr gui::Colour passband_box_ssb = 0xA0FFFFFF;
constexpr gui::Colour passband_box_cw = 0x6EFFFFFF;
constexpr gui::Colour playback_bar = 0x05FF0000;
