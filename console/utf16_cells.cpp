#include "console/utf16_cells.hpp"

#include "console/glyphs.hpp"

namespace console {

namespace {

constexpr char16_t replacement = u'\xFFFD';

bool fits_one_unit(char32_t cp) { return cp <= 0xFFFF; }

}  // namespace

std::vector<Utf16Cell> utf16_cells(const Screen& screen, const View& view, const CellRun& run) {
  std::vector<Utf16Cell> cells;
  cells.reserve(static_cast<std::size_t>(run.last - run.first + 1));
  for (int col = run.first; col <= run.last; ++col) {
    const Cell& cell = cell_at(screen, run.row, col);
    Utf16Cell shown{u' ', cell.attr, CellHalf::whole};
    if (cut_by_view(cell, col, view)) {
      // a blank
    } else if (cell.columns == 0) {
      const char32_t left = glyph(cell_at(screen, run.row, col - 1));
      if (fits_one_unit(left)) shown = {right_half_unit, cell.attr, CellHalf::right};
    } else {
      const char32_t cp = glyph(cell);
      if (!fits_one_unit(cp)) {
        shown.unit = replacement;
      } else {
        shown.unit = static_cast<char16_t>(cp);
        if (cell.columns == 2) shown.half = CellHalf::left;
      }
    }
    cells.push_back(shown);
  }
  return cells;
}

}  // namespace console
