#pragma once
// Spectrum levels and frequencies as pixels: the main trace, the audio trace, the
// pass-band peak search.
#include <cstdint>

#include "gui/types.h"

// y of a level [dB] on the spectrum panel: 2 px per dB, 0 dB at y 200; nothing below the
// bottom line (y 280), no limit above.
float spectrum_y(double level_db, double adjust_db);
// y of an audio level [dB] on the audio panel, held inside y 330..460.
float audio_y(double level_db, double adjust_db);

// column_db[c] = the largest of display_db[4c .. 4c+3], c = 0..1023.
void fill_column_db(const double* display_db, double* column_db);

// x of audio bin k: 0 Hz at x 500, 2 px per bin at 96 kHz and 1 px at 48 kHz.
int audio_bin_x(int k, bool sampling_high);

// The audio trace of `count` bins into `out` (room for `room` points); returns the number
// of points made: at most `room`, the rest of the bins are left out.
int make_audio_trace(const double* audio_db, int count, bool sampling_high, double adjust_db,
                     gui::PointF* out, int room);

// The largest of -1000 and a[j] over the pass band j = start .. start + width - 1 of an
// array of `size` values. Lower sideband (usb 0): nothing is searched when start < 1. Upper
// sideband (usb 1): the search stops after column 1023. Any other usb value: -1000. Indexes
// outside the array are never read.
double passband_peak(const double* a, int size, int32_t start, int32_t width, int32_t usb);

// Left edge of the notch box: right - 2 x span, but not left of the audio trace's last bin.
int notch_left_edge(int32_t right, int32_t span, int32_t bin_count, bool sampling_high);
