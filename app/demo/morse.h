#pragma once
// Morse keying with the standard (PARIS) timing: a dot lasts one unit of 1.2 / wpm seconds,
// a dash three; one unit between the elements of a character, three between characters,
// seven between words.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// One key-down interval [s].
struct key_interval {
    double start_s;
    double end_s;
};

// Dots and dashes of one character (".-" for 'A'); letters, digits and "/?.,=" are known,
// lower case counts as upper case. Null for any other character.
const char* morse_code(char c);

// Duration of one unit [s] at `wpm` words per minute.
inline double morse_unit_s(int32_t wpm) {
    return 1.2 / wpm;
}

// Appends the key-down intervals of `text` keyed from start_s on. Words are separated by
// blanks. Returns the time [s] at which the next word could start (after the seven-unit word
// gap), or a negative value when `text` holds a character without a code (nothing appended).
double key_text(std::string_view text, int32_t wpm, double start_s,
                std::vector<key_interval>& keys);

// The keying envelope sampled at `rate` for samples first .. first + n - 1: 1 while the key
// is down, 0 while it is up, with raised-cosine edges of rise_s seconds that begin at each
// key-down and key-up time. `keys` must be in time order.
void render_keying(const std::vector<key_interval>& keys, int32_t rate, double rise_s,
                   int64_t first, float* out, size_t n);
