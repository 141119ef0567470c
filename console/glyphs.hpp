// How a cell's character looks on a UTF-8 terminal: in as many columns as
// the cell's character takes, never a control. Control bytes, the byte 0x7F
// and bytes that are no valid UTF-8 show the glyphs the OEM code page 437
// gives them (a tab is a small circle); valid UTF-8 shows itself, except
// characters that take no column of their own or are nothing to show (C1
// controls, combining marks, direction overrides), which show as the
// replacement character.
#pragma once

#include <string>
#include <string_view>

#include "console/screen.hpp"

namespace console {

// The code page 437 glyph of a byte, as a Unicode code point (0x20 for 0).
char32_t cp437_glyph(unsigned char byte);

// The character that shows the cell's character (for a cell that holds
// one: not the right half of a double-width character).
char32_t glyph(const Cell& cell);

// Appends the UTF-8 text that shows the cell's character; nothing for the
// right half of a double-width character.
void append_glyph(std::string& out, const Cell& cell);

// Appends a code point (at most U+10FFFF) in UTF-8.
void append_utf8(std::string& out, char32_t code_point);

// Text for a terminal that shows bytes of UTF-8 text as the terminal form
// would: every character as its glyph, so that no byte acts as a command;
// only the line end "\n" stays what it is.
std::string visible_text(std::string_view bytes);

}  // namespace console
