// What a console whose cells each hold one UTF-16 unit (the Windows console,
// written cell block by cell block) is given for a run of the model's cells
// on a UTF-8 screen, so that it shows them as a terminal does.
#pragma once

#include <vector>

#include "console/drawn_cells.hpp"
#include "console/screen.hpp"
#include "console/view.hpp"

namespace console {

enum class CellHalf { whole, left, right };

struct Utf16Cell {
  char16_t unit = u' ';
  unsigned char attr = 0x07;
  CellHalf half = CellHalf::whole;  // of a double-width character
  friend bool operator==(const Utf16Cell&, const Utf16Cell&) = default;
};

// The right half of a double-width character. A Windows console takes the
// character from the left half and keeps the right one as its trailing
// part; Wine's console host hands every cell's character to its terminal,
// which has drawn both halves with the left one and must be sent nothing
// that takes a column: DEL, which terminals pass over.
constexpr char16_t right_half_unit = u'\x7F';

// One cell each, as glyph() shows it: a character above U+FFFF, which one
// unit cannot hold, shows as U+FFFD (and a blank for its right half); a
// double-width character that the view's edge cuts as a blank.
std::vector<Utf16Cell> utf16_cells(const Screen& screen, const View& view, const CellRun& run);

}  // namespace console
