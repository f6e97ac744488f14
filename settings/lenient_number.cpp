#include "settings/lenient_number.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

int32_t parse_lenient_int(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        // Saturate instead of overflowing: a frequency beyond int32 is no frequency.
        value = value * 10 + (*p - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

double parse_lenient_double(const char* text) {
    if (!text) return 0.0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    // strtod also reads "inf", "nan" and hex floats; a calibration offset is a plain number.
    if (end == text || !std::isfinite(v)) return 0.0;
    return v;
}
