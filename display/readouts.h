#pragma once
// The S-meter and the text readouts of main_dialog: level, level difference, CPU usage,
// recording time, tuned frequency, mode and bandwidth.
#include <cstddef>
#include <cstdint>

#include "display/display_context.h"
#include "display/display_state.h"

constexpr double s_meter_offset_db = 22.6;  // [dB] pass-band peak to dBuEMF
constexpr double dbuemf_to_dbm = 113.0;     // [dB]

// One S-meter reading [dBuEMF] from the pass-band peak: averaged over the ring when
// `average`, with the calibration added; the ring index counts down every time.
double s_meter_reading(s_meter_state& m, double passband_peak_db, bool average, double adjust_db);
// The needle's x [px] for a reading [dBuEMF]: 1.3334 px/dB up to S9 (40), 0.8 px/dB above,
// held inside 894..1009.
float needle_position(double reading_dbuemf);

// The tuned frequency [Hz] shown for a tuning position.
double tuned_frequency(int32_t slider_pos, int32_t center_hz, bool cw_mode, bool sampling_high,
                       int32_t ssb96_adjust_hz, int32_t cw96_adjust_hz, int32_t ssb48_adjust_hz);
// "%d %03d %03d Hz" with the frequency cut to 10 Hz.
void format_frequency(double frequency_hz, char* out, std::size_t size);

// Formats into the shared message text and puts it into static `id` of main_dialog.
void show_readout(display_context& d, int id, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The CPU readout, and the recording time while the Rec button is on.
void update_cpu_and_record_readouts(display_context& d);
// S-meter steps of a frame: reading, needle (added to frame_lines), level and difference
// texts.
void update_s_meter(display_context& d, display_state& v);
// Writes the frequency, mode and bandwidth readouts for the selected mode.
void update_frequency_readout();
