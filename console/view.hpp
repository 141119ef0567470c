// The part of the screen a display shows when it is smaller than the
// screen. It follows the cursor, so the operator always sees where the
// cursor stands: where output goes on, the line a wait follows, the place
// typed text lands, the name selected in a list.
#pragma once

#include "console/screen.hpp"

namespace console {

struct View {
  int top = 1;   // screen row on the display's first row
  int left = 1;  // screen column on its first column
  int rows = 30;
  int cols = 80;
  friend bool operator==(const View&, const View&) = default;
};

View whole_screen(const Screen& screen);

// The view on a display of display_rows by display_cols after the screen
// changed: moved as little as it must to show the cursor, and never past
// the screen's edges.
View follow_cursor(const View& previous, const Screen& screen, int display_rows, int display_cols);

// Whether the view's edge cuts the double-width character the cell at col
// belongs to: its left half in the view's last column, or its right half in
// the first. A display shows such a half as a blank.
bool cut_by_view(const Cell& cell, int col, const View& view);

}  // namespace console
