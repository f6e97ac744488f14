#pragma once
// Loading the settings files into the receiver's records and controls at start-up, and
// saving them at shutdown. The main settings file holds only the selected mode's entry of
// the mode table; the two slider positions are taken from sliders 21 and 31.
#include <string>

#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"
#include "panel/panel.h"
#include "settings/persisted_values.h"
#include "settings/settings_store.h"

// The values of the main settings file as the records and controls hold them now.
main_settings collect_main_settings(const receive_mode_state& modes, const signal_state& signal,
                                    const persisted_values& values, const panel& p);

// Reads "IQ.ini", then "Tolvan_101.ini", from `folder` and stores the values they hold.
// Without the I/Q file nothing is loaded; without the main file only the I/Q values are.
// When the main file was read, its values are applied to the controls and derived values
// (apply_loaded_settings). Runs once, after create_controls and the mode-table reset.
//
// A stored selected_mode outside 0..5 is taken as 0; a stored mode-entry field outside
// what the receiver can produce is replaced by that entry's default (window type 0..4,
// sideband and carrier 0/1, width 1..24000 Hz, pitch -24000..24000 Hz, tuning position
// 0..4095, mode radio 6..9, bandwidth radio 11..18); rf_gain is kept within the RF-gain
// slider's reach, 0..10. The centre frequency, the three corrections and the low cut-off
// are clamped to their ranges (settings/persisted_values.h).
settings_load_result load_settings(receive_mode_state& modes, signal_state& signal,
                                   persisted_values& values, panel& p,
                                   const std::string& folder = ".");

// Brings the controls and derived values in line with the loaded values: the rate radio
// of card_dialog, the mode family (sampling_high, cw_mode), the mode and bandwidth radios,
// display_speed and agc_gain_limit from sliders 21 and 31, the low-cut radios, the AGC
// check box and label, button 30, and the window combo box.
void apply_loaded_settings(receive_mode_state& modes, signal_state& signal,
                           persisted_values& values, panel& p);

// Writes both files into `folder` (atomically; a failure shows "fail to write file" /
// "file error" for that file and the other is still written).
settings_save_result save_settings(const receive_mode_state& modes, const signal_state& signal,
                                   const persisted_values& values, const panel& p,
                                   const std::string& folder = ".");
