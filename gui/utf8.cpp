#include "gui/utf8.h"

namespace gui {

std::u32string utf8_decode(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i++]);
        if (b < 0x80) {
            out += b;
            continue;
        }
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        if (extra < 0 || b >= 0xF8) {
            out += U'\uFFFD';
            continue;
        }
        char32_t c = b & (0x3F >> extra);
        bool ok = true;
        for (int k = 0; k < extra; ++k) {
            if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
        }
        out += ok ? c : U'\uFFFD';
    }
    return out;
}

std::string utf8_encode(std::u32string_view s) {
    std::string out;
    for (char32_t c : s) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf8_truncate(std::string_view s, std::size_t max_chars) {
    std::u32string d = utf8_decode(s);
    if (d.size() > max_chars) d.resize(max_chars);
    return utf8_encode(d);
}

}  // namespace gui
