#include "settings/settings_file.h"

#include <cmath>
#include <limits>

const std::array<const char*, main_pair_count> main_key_lines = {
    "center_frequency_Hz",
    "96KHssb_adjust_freq_Hz",
    "96KHcw_adjust_freq_Hz",
    "48KH_ssb_adjust_freq_Hz",
    "dBm_adjust_value",
    "selected_card index:",
    "data_origin.selected_mode",
    "data_origin.selected_mode_func",
    "data_origin.selected_mode_usb",
    "data_origin.selected_mode_carrier",
    "data_origin.selected_mode_band_width",
    "data_origin.selected_mode_offset",
    "data_origin.selected_mode_slider_pos",
    "data_origin.selected_mode_mode",
    "data_origin.selected_mode_bandwidth_pos",
    "display_speed_slider_pos",
    "AGC_gain_limit_slider_pos",
    "filter_low_cutoff_freq_value",
    "AGC_state_value",
    "show average or direct",
    "show dBm or dBuEMF",
    "sampling high",
    "rf gain",
    "reverse input",
};

int32_t& main_settings_value(main_settings& s, int i) {
    int32_t* const fields[main_pair_count] = {
        &s.center_frequency_Hz,
        &s.ssb96_adjust_freq_Hz,
        &s.cw96_adjust_freq_Hz,
        &s.ssb48_adjust_freq_Hz,
        &s.dBm_adjust_x10,
        &s.selected_card,
        &s.selected_mode,
        &s.mode.func,
        &s.mode.usb,
        &s.mode.carrier,
        &s.mode.band_width,
        &s.mode.offset,
        &s.mode.slider_pos,
        &s.mode.mode,
        &s.mode.bandwidth_pos,
        &s.display_speed_slider_pos,
        &s.agc_gain_limit_slider_pos,
        &s.low_cutoff_hz,
        &s.agc_state,
        &s.show_average,
        &s.show_dBm,
        &s.sampling_high,
        &s.rf_gain,
        &s.reverse_input,
    };
    return *fields[(i >= 0 && i < main_pair_count) ? i : 0];
}

int32_t main_settings_value(const main_settings& s, int i) {
    return main_settings_value(const_cast<main_settings&>(s), i);
}

iq_records iq_records_of(const persisted_values& p) {
    iq_records r;
    for (int i = 0; i < iq_slot_count; ++i) {
        r[i].name = p.card_names[i];
        r[i].gain = p.iq_gain_setting[i];
        r[i].phase = p.iq_phase_setting[i];
    }
    return r;
}

void store_iq_records(const iq_records& r, persisted_values& p) {
    for (int i = 0; i < iq_slot_count; ++i) {
        p.iq_gain_setting[i] = r[i].gain;
        p.iq_phase_setting[i] = r[i].phase;
    }
}

int32_t dBm_to_file(double dB) {
    const double x = std::trunc(dB * 10.0);
    if (std::isnan(x)) return 0;
    if (x <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (x >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(x);
}

double dBm_from_file(int32_t v) {
    return v / 10.0;
}

namespace {

constexpr const char* line_end = "\r\n";

void put_line(std::string& out, std::string_view text) {
    out.append(text);
    out.append(line_end);
}

void put_value(std::string& out, int32_t v) {
    put_line(out, std::to_string(v));
}

// A card name as it may stand in a key line: no line breaks (they would shift every later
// line), and short enough that the line stays within key_line_max, cut at a character
// boundary of the UTF-8 text.
std::string key_line_name(const std::string& name, size_t room) {
    std::string s = name;
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    if (s.size() > room) {
        size_t n = room;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
        s.resize(n);
    }
    return s;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string format_main_settings(const main_settings& s) {
    std::string out;
    for (int i = 0; i < main_pair_count; ++i) {
        put_line(out, main_key_lines[i]);
        put_value(out, main_settings_value(s, i));
    }
    return out;
}

std::string format_iq_settings(const iq_records& r) {
    static constexpr std::string_view gain_key = "IQ_gain ";
    std::string out;
    for (const iq_record& rec : r) {
        std::string key(gain_key);
        key += key_line_name(rec.name, key_line_max - gain_key.size());
        put_line(out, key);
        put_value(out, rec.gain);
        put_line(out, "IQ_phase");
        put_value(out, rec.phase);
    }
    return out;
}

int read_pairs(std::string_view text, int32_t* values, int max_pairs) {
    size_t at = 0;
    const size_t end = text.size();
    int count = 0;
    while (count < max_pairs) {
        // The key line, whatever its length; nothing left means the file ended.
        if (at >= end) break;
        while (at < end && text[at] != '\n') ++at;
        if (at < end) ++at;

        // "%d": leading white space, an optional sign, at least one digit.
        while (at < end && is_space(text[at])) ++at;
        bool negative = false;
        if (at < end && (text[at] == '+' || text[at] == '-')) {
            negative = text[at] == '-';
            ++at;
        }
        if (at >= end || !is_digit(text[at])) break;
        int64_t magnitude = 0;  // saturates just above the int32 range
        constexpr int64_t cap = int64_t(1) << 32;
        while (at < end && is_digit(text[at])) {
            if (magnitude < cap) magnitude = magnitude * 10 + (text[at] - '0');
            ++at;
        }
        int64_t v = negative ? -magnitude : magnitude;
        if (v > std::numeric_limits<int32_t>::max()) v = std::numeric_limits<int32_t>::max();
        if (v < std::numeric_limits<int32_t>::min()) v = std::numeric_limits<int32_t>::min();
        values[count++] = int32_t(v);

        // "\n": any white space after the number, line ends and blank lines included.
        while (at < end && is_space(text[at])) ++at;
    }
    return count;
}

int read_main_settings(std::string_view text, main_settings& s) {
    int32_t v[main_pair_count];
    const int n = read_pairs(text, v, main_pair_count);
    for (int i = 0; i < n; ++i) main_settings_value(s, i) = v[i];
    return n;
}

int read_iq_settings(std::string_view text, iq_records& r) {
    int32_t v[iq_pair_count];
    const int n = read_pairs(text, v, iq_pair_count);
    for (int k = 0; k < n; ++k) {
        iq_record& rec = r[k / 2];
        (k % 2 == 0 ? rec.gain : rec.phase) = v[k];
    }
    return n;
}
