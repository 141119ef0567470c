#include "dialogs/box_drawing.hpp"

#include <gtest/gtest.h>

#include "dialogs/input_box.hpp"
#include "dialogs/list_box.hpp"

namespace dialogs {
namespace {

TEST(FitCells, CutsAndPadsByCharacterNeverInsideOne) {
  console::Screen bytes;  // one byte per cell
  console::Screen utf8;
  utf8.utf8 = true;
  const std::string e_acute = "\xC3\xA9";
  const struct {
    const console::Screen* screen;
    std::string text;
    int cells;
    std::string fitted;
  } cases[] = {
      {&bytes, "EXAM.GBK", 4, "EXAM"},
      {&bytes, "EXAM", 6, "EXAM  "},
      {&bytes, "EXAM", 0, ""},
      {&bytes, e_acute + "t", 2, e_acute},  // two bytes, two cells
      {&utf8, e_acute + "t" + e_acute, 2, e_acute + "t"},
      {&utf8, e_acute, 3, e_acute + "  "},
      {&utf8, "\xC3", 2, "\xC3 "},  // a lone lead byte is a character of its own
  };
  for (const auto& c : cases) EXPECT_EQ(fit_cells(*c.screen, c.text, c.cells), c.fitted) << c.text;
  EXPECT_EQ(text_cells(utf8, e_acute + e_acute + "x"), 3);
}

TEST(CentredArea, StaysInsideTheScreenWhereItFits) {
  console::Screen screen;  // 80 by 30
  const struct {
    int row, col, height, width;
    int top, left;
  } cases[] = {
      {15, 40, 6, 52, 12, 14},
      {1, 1, 6, 20, 1, 1},      // would start above and left of the screen
      {30, 80, 6, 20, 25, 61},  // would end below and right of it
      {15, 40, 40, 100, 1, 1},  // larger than the screen: from the corner, clipped
  };
  for (const auto& c : cases) {
    const BoxArea area = centred_area(screen, c.row, c.col, c.height, c.width);
    EXPECT_EQ(area.top, c.top) << c.row << "," << c.col;
    EXPECT_EQ(area.left, c.left) << c.row << "," << c.col;
  }
}

// Fills the screen with a pattern in several colours.
void fill_pattern(console::Console& console) {
  console::Screen& screen = console.screen;
  for (int r = 1; r <= screen.height; ++r) {
    for (int c = 1; c <= screen.width; ++c) {
      console::cell_at(screen, r, c) =
          console::Cell{static_cast<unsigned char>('A' + (r + c) % 26), static_cast<unsigned char>((r * c) % 256)};
    }
  }
}

TEST(SavedScreen, BoxesGiveBackTheCellsAndTheCursor) {
  for (bool list : {false, true}) {
    console::Console console;  // plain form: the box meets the end of input at once
    fill_pattern(console);
    console.screen.row = 30;
    console.screen.col = 80;
    console.screen.pending_scroll = true;
    const console::Screen before = console.screen;
    const std::vector<std::string> items = {"B.GBK", "A.GBK"};
    const std::string result = list ? run_list_box(console, "title", "hint", items)
                                    : run_input_box(console, 15, 40, "question", "hint", "default");
    EXPECT_EQ(result, "");
    EXPECT_TRUE(console.screen.cells == before.cells) << (list ? "list box" : "input box");
    EXPECT_EQ(console.screen.row, 30);
    EXPECT_EQ(console.screen.col, 80);
    EXPECT_TRUE(console.screen.pending_scroll);
  }
}

TEST(SavedScreen, RestoreKeepsNeighbouringBytesApart) {
  // 0xC4 then 0xBF would read as one UTF-8 character if written together.
  console::Console console;
  console.screen.utf8 = true;
  console::cell_at(console.screen, 5, 5) = console::Cell{0xC4, 0x1F};
  console::cell_at(console.screen, 5, 6) = console::Cell{0xBF, 0x2E};
  const console::Screen before = console.screen;
  const SavedScreen saved = save_screen(console, BoxArea{4, 3, 3, 6});
  draw_frame(console, BoxArea{4, 3, 3, 6}, box_colour);
  EXPECT_FALSE(console.screen.cells == before.cells);
  restore_screen(console, saved);
  EXPECT_TRUE(console.screen.cells == before.cells);
}

}  // namespace
}  // namespace dialogs
