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
  const std::string wide = "\xE4\xB8\xAD";  // two columns
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
      {&utf8, wide + "t", 2, wide},
      {&utf8, wide + "t", 1, " "},  // half of it would not do
      {&utf8, "t" + wide + wide, 4, "t" + wide + " "},
  };
  for (const auto& c : cases) EXPECT_EQ(fit_cells(*c.screen, c.text, c.cells), c.fitted) << c.text;
  EXPECT_EQ(text_cells(utf8, e_acute + e_acute + "x"), 3);
  EXPECT_EQ(text_cells(utf8, wide + wide + "x"), 5);
}

// Names wider than the cells they may take keep their beginning and their
// end, the extension always; paths keep their end. The ellipsis is one cell
// on a UTF-8 screen and three dots on a screen of one byte per cell.
TEST(ShortenedTexts, NamesKeepBothEndsAndPathsTheirLastPart) {
  console::Screen bytes;
  console::Screen utf8;
  utf8.utf8 = true;
  const std::string dots = "\xE2\x80\xA6";
  const std::string wide = "\xE4\xB8\xAD";  // two columns
  const std::string e_acute = "\xC3\xA9";
  struct Case {
    const char* name;
    const console::Screen* screen;
    std::string text;
    int cells;
    std::string shown;
  };
  const Case names[] = {
      {"fits", &utf8, "EXAM.GBK", 8, "EXAM.GBK"},
      {"fits exactly, bytes", &bytes, "EXAM_GROUP_A.GBK", 16, "EXAM_GROUP_A.GBK"},
      {"halves about the ellipsis", &utf8, "ABCDEFGHIJ_GROUP_A.GBK", 15, "ABCDEFG" + dots + "P_A.GBK"},
      {"three dots on a byte screen", &bytes, "ABCDEFGHIJ_GROUP_A.GBK", 15, "ABCDEF..._A.GBK"},
      {"the extension wider than half", &utf8, "ABCDEFGHIJ.EXTENSION", 14, "ABC" + dots + ".EXTENSION"},
      {"the extension wider than the room", &utf8, "AB.EXTENSIONXYZ", 8, dots + "SIONXYZ"},
      {"no extension", &utf8, "ABCDEFGHIJKL", 7, "ABC" + dots + "JKL"},
      {"never half a wide character at the end", &utf8, "AAAAAAAAAA" + wide + ".GBK", 12, "AAAAAAA" + dots + ".GBK"},
      {"nor at the beginning: a cell short", &utf8, "A" + wide + wide + "BBBBBBBBBB.GBK", 9,
       "A" + wide + dots + ".GBK"},
      {"two-byte characters", &utf8, e_acute + e_acute + e_acute + "XXXXXXX" + e_acute + ".GBK", 11,
       e_acute + e_acute + e_acute + "XX" + dots + e_acute + ".GBK"},
      {"a lone lead byte is a character of its own", &utf8,
       "\xC3"
       "BCDEFGHIJ.GBK",
       9,
       "\xC3"
       "BCD" +
           dots + ".GBK"},
      {"narrower than the dots", &bytes, "ABCDEFGH.GBK", 2, "AB"},
  };
  for (const auto& c : names) EXPECT_EQ(name_in_cells(*c.screen, c.text, c.cells), c.shown) << c.name;

  const Case paths[] = {
      {"fits", &utf8, "/home/exams", 11, "/home/exams"},
      {"from a separator", &utf8, "/home/office/exams/2024/spring", 20, dots + "/exams/2024/spring"},
      {"a Windows path on a byte screen", &bytes, "C:\\office\\exams\\2024\\spring", 21, "...\\exams\\2024\\spring"},
      {"a last part too long: its end", &utf8, "/home/a_very_long_folder_name", 10, dots + "lder_name"},
      {"never half a wide character", &utf8, "/" + wide + wide + wide, 6, dots + wide + wide},
  };
  for (const auto& c : paths) EXPECT_EQ(path_in_cells(*c.screen, c.text, c.cells), c.shown) << c.name;
}

TEST(CentredArea, InsideThePartOfTheScreenOnViewWhereItFits) {
  console::Screen screen;  // 80 by 30
  const console::View all{1, 1, 30, 80};
  const struct {
    const char* name;
    console::View view;
    int row, col, height, width;
    int top, left;
  } cases[] = {
      {"centred", all, 15, 40, 6, 52, 12, 14},
      {"would start above and left of the screen", all, 1, 1, 6, 20, 1, 1},
      {"would end below and right of it", all, 30, 80, 6, 20, 25, 61},
      {"larger than the screen: from the corner, clipped", all, 15, 40, 40, 100, 1, 1},
      {"80 by 24: as on the whole screen", {1, 1, 24, 80}, 15, 40, 6, 52, 12, 14},
      {"80 by 24 showing rows 7 to 30", {7, 1, 24, 80}, 5, 40, 24, 60, 7, 10},
      {"40 by 10 showing rows 2 to 11", {2, 1, 10, 40}, 15, 40, 6, 40, 6, 1},
      {"40 by 10 showing columns 21 to 60", {1, 21, 10, 40}, 5, 10, 6, 20, 2, 21},
      {"taller than the view: from its top", {5, 1, 4, 80}, 15, 40, 6, 20, 5, 30},
      {"taller than the view near the bottom", {27, 1, 4, 80}, 15, 40, 6, 20, 25, 30},
  };
  for (const auto& c : cases) {
    const BoxArea area = centred_area(screen, c.view, c.row, c.col, c.height, c.width);
    EXPECT_EQ(area.top, c.top) << c.name;
    EXPECT_EQ(area.left, c.left) << c.name;
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

TEST(SavedScreen, ADoubleWidthCharacterTheBoxCutComesBackWhole) {
  console::Console console;
  console.screen.utf8 = true;
  console::write_cells(console.screen, 5, 2,
                       "\xE4\xB8\xAD"
                       "ab"
                       "\xE6\x96\x87",
                       0x1F);  // columns 2-3, 4, 5, 6-7
  const console::Screen before = console.screen;
  const BoxArea box{4, 3, 3, 4};  // columns 3 to 6: a half of each wide character
  const SavedScreen saved = save_screen(console, box);
  draw_frame(console, box, box_colour);
  EXPECT_EQ(console::cell_text(console::cell_at(console.screen, 5, 2)), " ");
  restore_screen(console, saved);
  EXPECT_TRUE(console.screen.cells == before.cells);
}

}  // namespace
}  // namespace dialogs
