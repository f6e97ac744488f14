#pragma once
// The tests' pictures of what was drawn: pixels as a PNG file for a person to look at.
#include "gui/types.h"

// Writes 0xAARRGGBB pixels as an 8-bit RGB PNG file. Returns false on an I/O error.
bool write_png(const char* path, const gui::Colour* pixels, int width, int height);
