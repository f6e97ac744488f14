#pragma once
// Texts for message boxes and labels: UTF-8, bounded in characters.
#include <cstddef>
#include <string>

constexpr size_t message_text_chars = 200;  // [characters] bound of message_text

// The first max_chars characters of a UTF-8 text (never cut inside a character). Bytes
// that do not form UTF-8 each count as one character and become U+FFFD.
std::string bounded_utf8(const char* text, size_t max_chars = message_text_chars);
