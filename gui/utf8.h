#pragma once
// UTF-8 <-> code points for the toolkit's texts. Invalid bytes become U+FFFD.
#include <string>
#include <string_view>

namespace gui {

std::u32string utf8_decode(std::string_view s);
std::string utf8_encode(std::u32string_view s);
// Cuts UTF-8 text to at most `max_chars` code points.
std::string utf8_truncate(std::string_view s, std::size_t max_chars);

}  // namespace gui
