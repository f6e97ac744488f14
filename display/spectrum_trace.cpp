#include "display/spectrum_trace.h"

#include <algorithm>

#include "display/screen_geometry.h"

namespace {
constexpr double silence_db = -1000.0;
constexpr int last_column = 1023;
}  // namespace

float spectrum_y(double level_db, double adjust_db) {
    const double y = spectrum_zero_db_y - px_per_db * (level_db + adjust_db);
    return float(std::min(y, double(spectrum_bottom_y)));
}

float audio_y(double level_db, double adjust_db) {
    const double y = audio_zero_db_y - px_per_db * (level_db + adjust_db);
    return float(std::clamp(y, double(audio_panel.top), double(audio_panel.bottom)));
}

void fill_column_db(const double* display_db, double* column_db) {
    for (int c = 0; c < 1024; ++c) {
        const double* b = display_db + 4 * c;
        column_db[c] = std::max(std::max(b[0], b[1]), std::max(b[2], b[3]));
    }
}

int audio_bin_x(int k, bool sampling_high) {
    return audio_zero_hz_x - (sampling_high ? 2 * k : k);
}

int make_audio_trace(const double* audio_db, int count, bool sampling_high, double adjust_db,
                     gui::PointF* out, int room) {
    const int n = std::clamp(count, 0, room);
    for (int k = 0; k < n; ++k)
        out[k] = gui::PointF{float(audio_bin_x(k, sampling_high)), audio_y(audio_db[k], adjust_db)};
    return n;
}

double passband_peak(const double* a, int size, int32_t start, int32_t width, int32_t usb) {
    double peak = silence_db;
    const int64_t end = int64_t(start) + width;
    int64_t last = end;  // exclusive
    if (usb == 0) {
        if (start < 1) return peak;
    } else if (usb == 1) {
        last = std::min<int64_t>(end, last_column + 1);
    } else {
        return peak;
    }
    last = std::min<int64_t>(last, size);
    for (int64_t j = std::max<int64_t>(start, 0); j < last; ++j) peak = std::max(peak, a[j]);
    return peak;
}

int notch_left_edge(int32_t right, int32_t span, int32_t bin_count, bool sampling_high) {
    const int last_bin_x = audio_bin_x(bin_count - 1, sampling_high);
    return std::max(right - 2 * span, last_bin_x);
}
