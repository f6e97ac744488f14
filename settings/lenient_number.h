#pragma once
// Lenient number parsing of the calibration edit boxes: leading blanks and a sign are
// accepted, parsing stops at the first character that does not fit, and text without a
// leading number gives 0.
#include <cstdint>

int32_t parse_lenient_int(const char* text);
double parse_lenient_double(const char* text);
