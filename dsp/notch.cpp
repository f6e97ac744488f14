#include "dsp/notch.h"

#include <algorithm>

#include "dsp/sideband.h"

notch_bins compute_notch_bins(bool sampling_high, int32_t notch_position, int32_t notch_span) {
    if (sampling_high) return {(500 - notch_position) / 2, notch_span};
    return {500 - notch_position, 2 * notch_span};
}

void apply_notch(notch_bins notch, int32_t n, double* passband) {
    const int64_t end =
        std::min<int64_t>(int64_t(notch.start) + notch.length, bin_count_in_range(n));
    for (int64_t j = std::max<int64_t>(notch.start, 0); j < end; ++j) {
        passband[2 * j] = 0.0;
        passband[2 * j + 1] = 0.0;
    }
}
