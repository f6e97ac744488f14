#include "app/demo/morse.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

namespace {

struct code_entry {
    char c;
    const char* code;
};

constexpr code_entry code_table[] = {
    {'A', ".-"},    {'B', "-..."},  {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},  {'G', "--."},   {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},   {'L', ".-.."},  {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},  {'Q', "--.-"},  {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},   {'V', "...-"},  {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},  {'0', "-----"}, {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"}, {'5', "....."}, {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."}, {'/', "-..-."}, {'?', "..--.."}, {'.', ".-.-.-"}, {',', "--..--"},
    {'=', "-...-"},
};

constexpr int dash_units = 3;
constexpr int element_gap_units = 1;
constexpr int character_gap_units = 3;
constexpr int word_gap_units = 7;

// Raised-cosine edge: 0 at t = 0, 1 at t = rise.
double edge(double t, double rise) {
    if (t <= 0) return 0;
    if (t >= rise) return 1;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * t / rise);
}

}  // namespace

const char* morse_code(char c) {
    const char u = char(std::toupper(static_cast<unsigned char>(c)));
    for (const code_entry& e : code_table) {
        if (e.c == u) return e.code;
    }
    return nullptr;
}

double key_text(std::string_view text, int32_t wpm, double start_s,
                std::vector<key_interval>& keys) {
    for (char c : text) {
        if (c != ' ' && !morse_code(c)) return -1.0;
    }
    const double unit = morse_unit_s(wpm);
    double t = start_s;
    bool word_open = false;  // a character of the current word was sent
    bool gap_pending = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c == ' ') {
            if (word_open) gap_pending = true;
            word_open = false;
            continue;
        }
        if (gap_pending) {
            t += (word_gap_units - character_gap_units) * unit;
            gap_pending = false;
        }
        for (const char* e = morse_code(c); *e; ++e) {
            const double length = (*e == '-' ? dash_units : 1) * unit;
            keys.push_back({t, t + length});
            t += length + element_gap_units * unit;
        }
        // After a character: three units in all, one of them already counted.
        t += (character_gap_units - element_gap_units) * unit;
        word_open = true;
    }
    return t + (word_gap_units - character_gap_units) * unit;
}

void render_keying(const std::vector<key_interval>& keys, int32_t rate, double rise_s,
                   int64_t first, float* out, size_t n) {
    std::fill(out, out + n, 0.0f);
    const double t0 = double(first) / rate;
    const double t1 = double(first + int64_t(n)) / rate;
    // The first interval whose falling edge may still reach this stretch.
    auto it = std::lower_bound(keys.begin(), keys.end(), t0, [&](const key_interval& k, double t) {
        return k.end_s + rise_s < t;
    });
    for (; it != keys.end() && it->start_s < t1; ++it) {
        const int64_t a = std::max<int64_t>(first, int64_t(std::floor(it->start_s * rate)));
        const int64_t b = std::min<int64_t>(first + int64_t(n),
                                            int64_t(std::ceil((it->end_s + rise_s) * rate)) + 1);
        for (int64_t k = a; k < b; ++k) {
            const double t = double(k) / rate;
            const double v = edge(t - it->start_s, rise_s) * (1.0 - edge(t - it->end_s, rise_s));
            float& o = out[k - first];
            o = std::max(o, float(v));
        }
    }
}
