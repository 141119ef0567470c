#include "console/drawn_cells.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace console {

// How failures name the values.
std::ostream& operator<<(std::ostream& out, const CellRun& r) {
  return out << "row " << r.row << " " << r.first << ".." << r.last;
}

namespace {

#define WIDE_A "\xE4\xB8\xAD"  // two columns each
#define WIDE_B "\xE6\x96\x87"

using Writes = std::vector<std::pair<int, std::string>>;  // row 1 from column, text

Screen small_screen(bool utf8, const Writes& writes) {
  Screen screen;
  screen.utf8 = utf8;
  set_size(screen, 8, 3);
  for (const auto& [col, text] : writes) write_cells(screen, 1, col, text, 0x07);
  return screen;
}

// The runs a draw sends after the display showed `before` and the screen
// became `after`, seen through `view`.
TEST(DrawnCells, OnlyChangedCellsAndWholeCharacters) {
  const View all{1, 1, 3, 8};
  const struct {
    const char* name;
    bool utf8;
    Writes before;
    Writes after;
    View view;
    std::vector<CellRun> runs;
  } cases[] = {
      {"nothing changed", true, {{1, "abc"}}, {{1, "abc"}}, all, {}},
      {"one cell", true, {{1, "abc"}}, {{2, "x"}}, all, {{1, 2, 2}}},
      {"two places in a row", true, {{1, "abcdef"}}, {{2, "x"}, {5, "yz"}}, all, {{1, 2, 2}, {1, 5, 6}}},
      {"a wide character for another: both halves", true, {{3, WIDE_A}}, {{3, WIDE_B}}, all, {{1, 3, 4}}},
      {"a narrow one over a right half: from the left half", true, {{3, WIDE_A}}, {{4, "x"}}, all, {{1, 3, 4}}},
      {"a right half at the view's left edge", true, {{3, "ab"}}, {{3, WIDE_A}}, {1, 4, 3, 5}, {{1, 4, 4}}},
      {"a left half at the view's right edge", true, {{3, WIDE_A}}, {{3, WIDE_B}}, {1, 1, 3, 3}, {{1, 3, 3}}},
      {"rows outside the view", true, {{1, "abc"}}, {{1, "xyz"}}, {2, 1, 2, 8}, {}},
      {"a byte console: every byte a cell of its own", false, {{3, "abc"}}, {{3, WIDE_A}}, all, {{1, 3, 5}}},
  };
  for (const auto& c : cases) {
    Screen screen = small_screen(c.utf8, c.before);
    DrawnCells drawn;
    take_changed_cells(drawn, screen, whole_screen(screen));
    for (const auto& [col, text] : c.after) write_cells(screen, 1, col, text, 0x07);
    EXPECT_EQ(take_changed_cells(drawn, screen, c.view), c.runs) << c.name;
    EXPECT_TRUE(take_changed_cells(drawn, screen, c.view).empty()) << c.name << ": drawn once is enough";
  }
}

TEST(DrawnCells, AColourChangeIsAChange) {
  Screen screen = small_screen(true, {{1, "abc"}});
  DrawnCells drawn;
  take_changed_cells(drawn, screen, whole_screen(screen));
  write_cells(screen, 1, 2, "b", 0x1F);
  EXPECT_EQ(take_changed_cells(drawn, screen, whole_screen(screen)), (std::vector<CellRun>{{1, 2, 2}}));
}

TEST(DrawnCells, UnknownCellsAreDrawnWhole) {
  const std::vector<CellRun> whole_view = {{1, 1, 8}, {2, 1, 8}, {3, 1, 8}};
  Screen screen = small_screen(true, {{1, "abc"}});
  DrawnCells drawn;
  EXPECT_EQ(take_changed_cells(drawn, screen, whole_screen(screen)), whole_view) << "first draw";
  forget_cells(drawn);
  EXPECT_EQ(take_changed_cells(drawn, screen, whole_screen(screen)), whole_view) << "after the display was cleared";
  // Cells drawn only through a smaller view are unknown outside it.
  DrawnCells part;
  take_changed_cells(part, screen, View{2, 3, 1, 4});
  EXPECT_EQ(take_changed_cells(part, screen, whole_screen(screen)),
            (std::vector<CellRun>{{1, 1, 8}, {2, 1, 2}, {2, 7, 8}, {3, 1, 8}}));
  set_size(screen, 4, 3);
  EXPECT_EQ(take_changed_cells(drawn, screen, whole_screen(screen)),
            (std::vector<CellRun>{{1, 1, 4}, {2, 1, 4}, {3, 1, 4}}))
      << "a screen of another size";
}

}  // namespace
}  // namespace console
