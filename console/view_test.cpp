#include "console/view.hpp"

#include <gtest/gtest.h>

namespace console {

// How failures name the values.
std::ostream& operator<<(std::ostream& out, const View& v) {
  return out << "top " << v.top << " left " << v.left << ", " << v.rows << " by " << v.cols;
}

namespace {

TEST(ViewFollowsTheCursor, MovingAsLittleAsItMustInsideTheScreen) {
  const struct {
    const char* name;
    View previous;
    int cursor_row;
    int cursor_col;
    int display_rows;
    int display_cols;
    View expected;
  } cases[] = {
      {"display as large as the screen", {1, 1, 30, 80}, 30, 80, 30, 80, {1, 1, 30, 80}},
      {"display larger than the screen", {1, 1, 30, 80}, 12, 3, 50, 200, {1, 1, 30, 80}},
      {"80 by 24, cursor on row 11", {1, 1, 24, 80}, 11, 1, 24, 80, {1, 1, 24, 80}},
      {"80 by 24, cursor on row 30", {1, 1, 24, 80}, 30, 1, 24, 80, {7, 1, 24, 80}},
      {"cursor back inside the view: no move", {7, 1, 24, 80}, 10, 1, 24, 80, {7, 1, 24, 80}},
      {"cursor above the view", {7, 1, 24, 80}, 3, 1, 24, 80, {3, 1, 24, 80}},
      {"40 by 10, cursor on row 11", {1, 1, 10, 40}, 11, 1, 10, 40, {2, 1, 10, 40}},
      {"40 by 10, cursor in column 60", {1, 1, 10, 40}, 5, 60, 10, 40, {1, 21, 10, 40}},
      {"cursor back left inside the view", {1, 21, 10, 40}, 5, 30, 10, 40, {1, 21, 10, 40}},
      {"display grew: the view stays inside the screen", {25, 41, 6, 40}, 30, 80, 24, 80, {7, 1, 24, 80}},
      {"one row", {1, 1, 1, 80}, 17, 1, 1, 80, {17, 1, 1, 80}},
  };
  for (const auto& c : cases) {
    Screen screen;
    place_cursor(screen, c.cursor_row, c.cursor_col);
    EXPECT_EQ(follow_cursor(c.previous, screen, c.display_rows, c.display_cols), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace console
