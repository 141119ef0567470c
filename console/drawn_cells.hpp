// What a display that mirrors the screen model holds, so that each draw
// sends only the cells that changed since the last one. Every console form
// that draws the model (a POSIX terminal, a Windows console) draws through
// this.
#pragma once

#include <vector>

#include "console/screen.hpp"
#include "console/view.hpp"

namespace console {

struct DrawnCells {
  int width = 0;  // the screen's size when the cells were drawn
  int height = 0;
  std::vector<Cell> cells;
  std::vector<bool> known;  // false: what the display holds there is unknown
};

// Neighbouring cells of one screen row to draw, columns first to last.
struct CellRun {
  int row = 1;
  int first = 1;
  int last = 1;
  friend bool operator==(const CellRun&, const CellRun&) = default;
};

// Forgets every cell: the display was cleared, or shows something else.
void forget_cells(DrawnCells& drawn);

// The runs of cells on view that differ from what the display holds, row by
// row from the top, each row from the left; they count as drawn from now
// on. A run holds whole characters: it starts on the left half of a
// double-width character and ends on its right half, unless the view's edge
// cuts the character. A screen of another size than the one drawn is drawn
// whole.
std::vector<CellRun> take_changed_cells(DrawnCells& drawn, const Screen& screen, const View& view);

}  // namespace console
