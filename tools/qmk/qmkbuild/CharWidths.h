#pragma once
// Text extents of "Arial" 8 points on a 96 dpi screen, the font the browser draws class
// boxes with. The widths are baked in (the builder has no GUI); make-char-widths.py derives
// them from Liberation Sans, which has Arial's metrics.

#include <string_view>

namespace qmkbuild {

// Height of a line of text in pixels (ascent plus descent).
constexpr int kArial8TextHeight = 13;

// Advance width of a Windows-1252 character in pixels.
int Arial8CharWidth(unsigned char c);
// Width of a Windows-1252 string in pixels.
int Arial8TextWidth(std::string_view text);

} // namespace qmkbuild
