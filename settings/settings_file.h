#pragma once
// The text of the two settings files as plain values: the 24 values of the main settings
// file in file order, the five I/Q correction records, the writers that produce the files
// byte for byte (CR LF line ends) and the lenient readers.
//
// Both files are key-line/value-line pairs. The reader identifies values by position only:
// for each pair it discards one line, then reads one integer followed by any white space
// (the scanf "%d\n" pattern). Reading stops at the end of the text or at the first value
// line that does not begin with an integer; the values not reached keep what the record
// held before, and the readers report how many values they read.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "dsp/receive_mode.h"
#include "settings/persisted_values.h"

inline constexpr const char* main_settings_file_name = "Tolvan_101.ini";
inline constexpr const char* iq_settings_file_name = "IQ.ini";

constexpr int main_pair_count = 24;
constexpr int iq_pair_count = 2 * iq_slot_count;  // a gain and a phase per slot

// A key line is written at most this long [characters]; longer card names are shortened.
constexpr int key_line_max = 255;

// The main settings file's values, in file order.
struct main_settings {
    int32_t center_frequency_Hz = 0;
    int32_t ssb96_adjust_freq_Hz = 0;
    int32_t cw96_adjust_freq_Hz = 0;
    int32_t ssb48_adjust_freq_Hz = 0;
    int32_t dBm_adjust_x10 = 0;  // [0.1 dB] calibration, see dBm_to_file
    int32_t selected_card = 0;
    int32_t selected_mode = 0;
    mode_values mode{};  // the entry of selected_mode, 8 values
    int32_t display_speed_slider_pos = 0;
    int32_t agc_gain_limit_slider_pos = 0;
    int32_t low_cutoff_hz = 0;
    int32_t agc_state = 0;
    int32_t show_average = 0;
    int32_t show_dBm = 0;
    int32_t sampling_high = 0;
    int32_t rf_gain = 0;
    int32_t reverse_input = 0;
};

// The key line of each pair of the main settings file.
extern const std::array<const char*, main_pair_count> main_key_lines;

// The value of pair i (0..23) of the main settings file.
int32_t& main_settings_value(main_settings& s, int i);
int32_t main_settings_value(const main_settings& s, int i);

// One slot of the I/Q correction file.
struct iq_record {
    std::string name;   // device name, informative only
    int32_t gain = 0;   // gain slider position
    int32_t phase = 0;  // phase slider position
};
using iq_records = std::array<iq_record, iq_slot_count>;

iq_records iq_records_of(const persisted_values& p);
void store_iq_records(const iq_records& r, persisted_values& p);

// The calibration in the file: x 10, truncated toward zero, limited to the int32 range
// (not a number gives 0). Read back as integer / 10.0.
int32_t dBm_to_file(double dB);
double dBm_from_file(int32_t v);

// The file texts, CR LF line ends: 48 lines and 20 lines.
std::string format_main_settings(const main_settings& s);
std::string format_iq_settings(const iq_records& r);

// Reads up to max_pairs pairs from text into values[0..]; returns the number of values
// read. A value beyond the int32 range is clamped to it.
int read_pairs(std::string_view text, int32_t* values, int max_pairs);

// Overwrite the fields that the text holds; return the number of values read (0..24,
// 0..10). I/Q value k is the gain (even k) or phase (odd k) of slot k / 2; names are
// left as they are.
int read_main_settings(std::string_view text, main_settings& s);
int read_iq_settings(std::string_view text, iq_records& r);
