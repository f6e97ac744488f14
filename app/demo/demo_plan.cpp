#include "app/demo/demo_plan.h"

#include <cmath>
#include <cstdio>

#include "display/readouts.h"
#include "dsp/receive_mode.h"

namespace {

constexpr int32_t cwl_mode = 2;  // mode-table index of CWL at 96 kHz
constexpr double s9_dbuemf = 40.0;
constexpr double db_per_s_unit = 6.0;

// CW stations sit in the CW view (bins 0..1023, 48 to 24 kHz below the oscillator), on
// multiples of 4 so that a click into the SSB view reaches them too; speech and the
// carrier above.
const demo_station stations[] = {
    {"cw1", station_kind::cw, 300, 60.0, 500, 25, "CQ CQ DE DEMO1 DEMO1 TEST K", 0.6, 14.5},
    {"cw2", station_kind::cw, 560, 28.0, 500, 18, "VVV DE DEMO2 BEACON", 1.5, 14.0},
    {"cw3", station_kind::cw, 820, 4.0, 250, 12, "CQ DE DEMO3 K", 2.5, 14.5},
    {"carrier", station_kind::carrier, 1000, 40.0, 500, 0, "steady carrier", 0.0, 0.0},
    {"lsb", station_kind::lsb, 2560, 46.0, 2700, 0, "speech, lower sideband", 1.0, 20.0},
    {"usb", station_kind::usb, 3328, 34.0, 2700, 0, "speech, upper sideband", 3.0, 20.0},
};

int32_t cw_offset_bins() {
    // As the CWL radio sets it: the pitch in bins, truncated.
    const mode_values& m = mode_table_defaults[cwl_mode];
    return int32_t(m.offset * 1024 / 24000.0);
}

}  // namespace

std::span<const demo_station> demo_stations() {
    return stations;
}

const demo_station* find_station(const std::string& name) {
    for (const demo_station& s : stations) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

const char* mode_caption(station_kind k) {
    switch (k) {
        case station_kind::cw:
        case station_kind::carrier:
            return "CWL";
        case station_kind::lsb:
            return "LSB";
        case station_kind::usb:
            return "USB";
    }
    return "?";
}

int32_t tuning_position(const demo_station& s) {
    return s.bin;
}

int32_t tuned_bin(const demo_station& s) {
    const bool cw = s.kind == station_kind::cw || s.kind == station_kind::carrier;
    int32_t bin = tuning_position(s) + (cw ? cw_offset_bins() : 0);
    if (bin % 2 != 0) bin += 1;
    return bin;
}

double readout_hz(const demo_station& s) {
    const bool cw = s.kind == station_kind::cw || s.kind == station_kind::carrier;
    return tuned_frequency(tuning_position(s), demo_local_oscillator_hz, cw, true, 0, 0, 0);
}

std::string readout_text(const demo_station& s) {
    char text[40];
    format_frequency(readout_hz(s), text, sizeof text);
    return text;
}

std::string s_unit_text(double dbuemf) {
    char text[40];
    const double over = dbuemf - s9_dbuemf;
    if (over > 0.5) {
        std::snprintf(text, sizeof text, "S9+%.0f", over);
    } else {
        const long unit = std::lround(9.0 + over / db_per_s_unit);
        std::snprintf(text, sizeof text, "S%ld", unit < 1 ? 1L : unit);
    }
    return text;
}
