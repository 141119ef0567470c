#include "console/drawn_cells.hpp"

#include <algorithm>

namespace console {

void forget_cells(DrawnCells& drawn) { std::fill(drawn.known.begin(), drawn.known.end(), false); }

std::vector<CellRun> take_changed_cells(DrawnCells& drawn, const Screen& screen, const View& view) {
  if (drawn.width != screen.width || drawn.height != screen.height) {
    drawn.width = screen.width;
    drawn.height = screen.height;
    drawn.cells.assign(screen.cells.size(), Cell{});
    drawn.known.assign(screen.cells.size(), false);
  }
  const auto index = [&](int row, int col) { return static_cast<std::size_t>((row - 1) * screen.width + (col - 1)); };
  const auto unchanged = [&](int row, int col) {
    const std::size_t i = index(row, col);
    return drawn.known[i] && drawn.cells[i] == screen.cells[i];
  };
  const int top = std::max(view.top, 1);
  const int bottom = std::min(view.top + view.rows - 1, screen.height);
  const int left = std::max(view.left, 1);
  const int right = std::min(view.left + view.cols - 1, screen.width);
  std::vector<CellRun> runs;
  for (int row = top; row <= bottom; ++row) {
    int col = left;
    while (col <= right) {
      if (unchanged(row, col)) {
        ++col;
        continue;
      }
      CellRun run{row, col, col};
      while (col <= right && !unchanged(row, col)) ++col;
      run.last = col - 1;
      if (cell_at(screen, row, run.first).columns == 0 && run.first > left) --run.first;
      if (cell_at(screen, row, run.last).columns == 2 && run.last < right) col = ++run.last + 1;
      for (int c = run.first; c <= run.last; ++c) {
        drawn.cells[index(row, c)] = cell_at(screen, row, c);
        drawn.known[index(row, c)] = true;
      }
      runs.push_back(run);
    }
  }
  return runs;
}

}  // namespace console
