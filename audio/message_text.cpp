#include "audio/message_text.h"

#include <cstdint>

namespace {

// Length of the well-formed UTF-8 sequence at s, or 0.
size_t sequence_length(const unsigned char* s) {
    const unsigned char c = s[0];
    size_t n;
    uint32_t cp;
    if (c < 0x80) return 1;
    if ((c & 0xe0) == 0xc0) {
        n = 2;
        cp = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
        n = 3;
        cp = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    for (size_t i = 1; i < n; ++i) {
        if ((s[i] & 0xc0) != 0x80) return 0;  // also stops at the terminator
        cp = (cp << 6) | (s[i] & 0x3f);
    }
    static constexpr uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[n] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return 0;
    return n;
}

}  // namespace

std::string bounded_utf8(const char* text, size_t max_chars) {
    std::string out;
    if (!text) return out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t chars = 0; *s && chars < max_chars; ++chars) {
        const size_t n = sequence_length(s);
        if (n == 0) {
            out += "\xef\xbf\xbd";
            ++s;
        } else {
            out.append(reinterpret_cast<const char*>(s), n);
            s += n;
        }
    }
    return out;
}
