#include "console/view.hpp"

#include <algorithm>

namespace console {

namespace {

// The first line on view when `visible` of `total` lines are shown and
// `cursor` must be one of them.
int follow(int first, int cursor, int visible, int total) {
  if (cursor < first) first = cursor;
  if (cursor > first + visible - 1) first = cursor - visible + 1;
  return std::clamp(first, 1, total - visible + 1);
}

}  // namespace

View whole_screen(const Screen& screen) { return View{1, 1, screen.height, screen.width}; }

View follow_cursor(const View& previous, const Screen& screen, int display_rows, int display_cols) {
  View view;
  view.rows = std::clamp(display_rows, 1, screen.height);
  view.cols = std::clamp(display_cols, 1, screen.width);
  view.top = follow(previous.top, screen.row, view.rows, screen.height);
  view.left = follow(previous.left, screen.col, view.cols, screen.width);
  return view;
}

bool cut_by_view(const Cell& cell, int col, const View& view) {
  return (cell.columns == 0 && col == view.left) || (cell.columns == 2 && col == view.left + view.cols - 1);
}

}  // namespace console
