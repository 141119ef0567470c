// How a cell's character looks on a UTF-8 terminal: always exactly one
// column, never a control. Control bytes, the byte 0x7F and bytes that are
// no valid UTF-8 show the glyphs the OEM code page 437 gives them (a tab is
// a small circle); characters a terminal would draw two columns wide or not
// at all show as the replacement character.
#pragma once

#include <string>

#include "console/screen.hpp"

namespace console {

// The code page 437 glyph of a byte, as a Unicode code point (0x20 for 0).
char32_t cp437_glyph(unsigned char byte);

// Appends the UTF-8 text that shows the cell's character in one column.
void append_glyph(std::string& out, const Cell& cell);

}  // namespace console
