// How many columns a terminal gives a character, as the C library's wcwidth
// says in a UTF-8 locale. The screen model lays out its cells by it, and the
// glyphs draw by it, so that the model and the terminal agree cell for cell.
#pragma once

namespace console {

// 1 or 2 for a character a terminal shows in that many columns; 0 for one
// that takes no column of its own or is nothing to show (a control, a
// combining mark, a format character, an unassigned code point).
int character_width(char32_t code_point);

}  // namespace console
