#include "console/screen.hpp"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace console {
namespace {

constexpr unsigned char magenta_on_grey = 13 + 16 * 7;

Screen set_up_screen() {
  Screen screen;
  set_size(screen, 80, 30);
  set_colours(screen, light_magenta, light_grey);
  clear(screen);
  return screen;
}

std::string row_text(const Screen& screen, int row) {
  std::string text;
  for (int col = 1; col <= screen.width; ++col) text += cell_text(cell_at(screen, row, col));
  return text;
}

std::string blank_row(int width = 80) { return std::string(static_cast<std::size_t>(width), ' '); }

struct Cursor {
  int row;
  int col;
  bool pending;
  friend bool operator==(const Cursor&, const Cursor&) = default;
};

Cursor cursor_of(const Screen& screen) { return {screen.row, screen.col, screen.pending_scroll}; }

std::ostream& operator<<(std::ostream& out, const Cursor& c) {
  return out << "row " << c.row << " col " << c.col << (c.pending ? " pending scroll" : "");
}

TEST(ScreenStart, LightGreyOnBlackWithTheCursorHome) {
  const Screen screen;
  EXPECT_EQ(attribute(screen), 0x07);
  EXPECT_EQ(cursor_of(screen), (Cursor{1, 1, false}));
  EXPECT_EQ(screen.cells.size(), 80u * 30u);
}

TEST(ScreenClear, FillsEveryCellWithBlanksInTheCurrentColoursAndHomesTheCursor) {
  Screen screen = set_up_screen();
  print_text(screen, "text");
  screen.pending_scroll = true;
  set_colours(screen, light_blue, keep_colour);
  clear(screen);
  for (const Cell& cell : screen.cells) ASSERT_EQ(cell, (Cell{' ', 9 + 16 * 7}));
  EXPECT_EQ(cursor_of(screen), (Cursor{1, 1, false}));
}

// The cursor after printing `length` characters from (row, 1), then after a
// line end.
struct WrapCase {
  const char* name;
  int row;
  int length;
  Cursor after_print;
  Cursor after_line_end;
  int scrolls_at_line_end;
};

class RowWrap : public testing::TestWithParam<WrapCase> {};

TEST_P(RowWrap, CursorAndPendingScroll) {
  const WrapCase& c = GetParam();
  Screen screen = set_up_screen();
  place_cursor(screen, c.row, 1);
  print_text(screen, std::string(static_cast<std::size_t>(c.length), 'x'));
  EXPECT_EQ(cursor_of(screen), c.after_print);
  EXPECT_EQ(line_end(screen), c.scrolls_at_line_end);
  EXPECT_EQ(cursor_of(screen), c.after_line_end);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, RowWrap,
    testing::Values(WrapCase{"short_text_on_row_5", 5, 10, {5, 11, false}, {6, 1, false}, 0},
                    WrapCase{"full_row_5_leaves_an_empty_row", 5, 80, {6, 1, false}, {7, 1, false}, 0},
                    WrapCase{"eighty_one_on_row_5", 5, 81, {6, 2, false}, {7, 1, false}, 0},
                    WrapCase{"short_text_on_row_30", 30, 3, {30, 4, false}, {30, 1, false}, 1},
                    WrapCase{"full_row_30_pends_and_line_end_scrolls_twice", 30, 80, {30, 1, true}, {30, 1, false}, 2},
                    WrapCase{"row_29_into_row_30", 29, 100, {30, 21, false}, {30, 1, false}, 1},
                    WrapCase{"two_full_rows_from_29", 29, 160, {30, 1, true}, {30, 1, false}, 2}),
    [](const testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

TEST(ScreenPrint, EightyCharactersOnRow30StayVisibleUntilMoreOutputFollows) {
  Screen screen = set_up_screen();
  place_cursor(screen, 29, 1);
  print_text(screen, "row 29");
  place_cursor(screen, 30, 1);
  const std::string full(80, 'z');
  print_text(screen, full);
  EXPECT_EQ(row_text(screen, 30), full);
  EXPECT_EQ(row_text(screen, 29).substr(0, 6), "row 29");
  EXPECT_TRUE(screen.pending_scroll);

  print_text(screen, "N");
  EXPECT_EQ(row_text(screen, 28).substr(0, 6), "row 29");
  EXPECT_EQ(row_text(screen, 29), full);
  EXPECT_EQ(row_text(screen, 30), "N" + blank_row(79));
  EXPECT_EQ(cursor_of(screen), (Cursor{30, 2, false}));
}

TEST(ScreenPrint, ARowPieceEndsAtTheLastColumn) {
  Screen screen = set_up_screen();
  place_cursor(screen, 3, 75);
  std::string_view text = "0123456789";
  const Piece first = print_piece(screen, text);
  EXPECT_EQ(first.row, 3);
  EXPECT_EQ(first.col, 75);
  EXPECT_EQ(first.bytes, "012345");
  EXPECT_EQ(first.attr, magenta_on_grey);
  EXPECT_EQ(text, "6789");
  const Piece second = print_piece(screen, text);
  EXPECT_EQ(second.row, 4);
  EXPECT_EQ(second.col, 1);
  EXPECT_EQ(second.bytes, "6789");
  EXPECT_TRUE(text.empty());
}

TEST(ScreenPrint, APendingScrollIsDoneBeforeTheNextPieceAndReported) {
  Screen screen = set_up_screen();
  place_cursor(screen, 30, 80);
  std::string_view text = "ab";
  EXPECT_FALSE(print_piece(screen, text).scrolled_first);
  EXPECT_TRUE(screen.pending_scroll);
  const Piece next = print_piece(screen, text);
  EXPECT_TRUE(next.scrolled_first);
  EXPECT_EQ(next.row, 30);
  EXPECT_EQ(cell_at(screen, 29, 80).ch, 'a');
  EXPECT_EQ(cell_at(screen, 30, 1).ch, 'b');
}

TEST(ScreenPrint, AnEmptyTextChangesNothingNotEvenAPendingScroll) {
  Screen screen = set_up_screen();
  place_cursor(screen, 30, 1);
  print_text(screen, std::string(80, 'q'));
  const Screen before = screen;
  print_text(screen, "");
  EXPECT_TRUE(screen.pending_scroll);
  EXPECT_EQ(screen.cells, before.cells);
}

TEST(ScreenPrint, PlacingTheCursorDropsAPendingScroll) {
  Screen screen = set_up_screen();
  place_cursor(screen, 30, 80);
  print_text(screen, "e");
  ASSERT_TRUE(screen.pending_scroll);
  place_cursor(screen, 30, 1);
  print_text(screen, "f");
  EXPECT_EQ(cell_at(screen, 30, 80).ch, 'e');  // no scroll happened
  EXPECT_EQ(cell_at(screen, 30, 1).ch, 'f');
}

TEST(ScreenPrint, ControlBytesAreCellsNotControls) {
  Screen screen = set_up_screen();
  print_text(screen, std::string("a\tb\r\n\a\x1a", 7));
  const unsigned char expected[] = {'a', '\t', 'b', '\r', '\n', '\a', 0x1A};
  for (int col = 1; col <= 7; ++col) EXPECT_EQ(cell_at(screen, 1, col).ch, expected[col - 1]) << "column " << col;
  EXPECT_EQ(cursor_of(screen), (Cursor{1, 8, false}));
}

TEST(ScreenPrint, AUtf8CharacterTakesOneCellTwoWhenDoubleWidthAndAnInvalidByteOneOfItsOwn) {
  Screen screen = set_up_screen();
  screen.utf8 = true;
  // e-acute, a lone continuation byte, a CJK character, a cut sequence, an
  // overlong slash, a four-byte emoji; CJK and emoji take two columns.
  print_text(screen, "\xC3\xA9|\x80|\xE4\xB8\xAD|\xE4\xB8|\xC0\xAF|\xF0\x9F\x98\x80");
  const std::string expected[] = {"\xC3\xA9", "|",    "\x80", "|", "\xE4\xB8\xAD",     "", "|", "\xE4", "\xB8",
                                  "|",        "\xC0", "\xAF", "|", "\xF0\x9F\x98\x80", ""};
  for (int col = 1; col <= 15; ++col) {
    EXPECT_EQ(cell_text(cell_at(screen, 1, col)), expected[col - 1]) << "column " << col;
  }
  EXPECT_EQ(cell_at(screen, 1, 5).columns, 2);
  EXPECT_EQ(cell_at(screen, 1, 6).columns, 0);
  EXPECT_EQ(screen.col, 16);
}

// Each cell of a row: its text, "]" for the right half of a double-width
// character.
std::string cells_of(const Screen& screen, int row) {
  std::string text;
  for (int col = 1; col <= screen.width; ++col) {
    const Cell& cell = cell_at(screen, row, col);
    text += cell.columns == 0 ? "]" : cell_text(cell);
  }
  return text;
}

#define WIDE_A "\xE4\xB8\xAD"  // two columns each
#define WIDE_B "\xE6\x96\x87"
#define WIDE_C "\xE5\xAD\x97"

// A double-width character takes two cells; whatever overwrites either half
// leaves the other half blank, as a terminal does, and one that would be cut
// by the screen's edge leaves a blank instead.
TEST(ScreenWideCharacters, BothHalvesOrNeither) {
  const struct {
    const char* name;
    std::vector<std::pair<int, std::string>> writes;  // column, text
    std::string row;
  } cases[] = {
      {"two wide characters", {{1, WIDE_A WIDE_B}}, WIDE_A "]" WIDE_B "]    "},
      {"right half overwritten", {{1, WIDE_A}, {2, "x"}}, " x      "},
      {"left half overwritten", {{1, WIDE_A}, {1, "x"}}, "x       "},
      {"wide over two halves", {{1, WIDE_A WIDE_B}, {2, WIDE_C}}, " " WIDE_C "]     "},
      {"cut by the right edge", {{7, "a" WIDE_A}}, "      a "},
      {"cut by the left edge", {{0, WIDE_A "b"}}, " b      "},
      {"narrow over the right edge's wide", {{7, WIDE_A}, {8, "z"}}, "       z"},
  };
  for (const auto& c : cases) {
    Screen screen;
    screen.utf8 = true;
    set_size(screen, 8, 2);
    for (const auto& [col, text] : c.writes) write_cells(screen, 1, col, text, 0x07);
    EXPECT_EQ(cells_of(screen, 1), c.row) << c.name;
  }
}

TEST(ScreenWideCharacters, OneThatDoesNotFitInTheLastCellStartsTheNextRow) {
  Screen screen;
  screen.utf8 = true;
  set_size(screen, 8, 2);
  place_cursor(screen, 1, 7);
  std::string_view text = "a" WIDE_A "b";
  EXPECT_EQ(print_piece(screen, text).bytes, "a");
  EXPECT_EQ(cells_of(screen, 1), "      a ");
  EXPECT_EQ(cursor_of(screen), (Cursor{2, 1, false}));
  print_text(screen, text);
  EXPECT_EQ(cells_of(screen, 2), WIDE_A "]b     ");
  EXPECT_EQ(cursor_of(screen), (Cursor{2, 4, false}));
  // On the last row the blank fills it and the scroll waits for the rest.
  place_cursor(screen, 2, 8);
  text = WIDE_B;
  print_piece(screen, text);
  EXPECT_EQ(cursor_of(screen), (Cursor{2, 1, true}));
  print_text(screen, text);
  EXPECT_EQ(cells_of(screen, 1), WIDE_A "]b     ");
  EXPECT_EQ(cells_of(screen, 2), WIDE_B "]      ");
}

TEST(ScreenWideCharacters, SavedCellsPutBackKeepNoLoneHalf) {
  Screen screen;
  screen.utf8 = true;
  set_size(screen, 8, 1);
  write_cells(screen, 1, 1, WIDE_A WIDE_B WIDE_C "ab", 0x07);
  const std::vector<Cell> saved(screen.cells.begin(), screen.cells.end());
  write_cells(screen, 1, 1, "xxxxxxxx", 0x07);
  // Cells 2 to 5: the right half of A, all of B, the left half of C.
  put_cells(screen, 1, 2, std::span(saved).subspan(1, 4));
  EXPECT_EQ(cells_of(screen, 1), "x " WIDE_B "] xxx");
  put_cells(screen, 1, 1, saved);
  EXPECT_EQ(cells_of(screen, 1), WIDE_A "]" WIDE_B "]" WIDE_C "]ab");
  // Putting a narrow cell over a half releases the other half.
  put_cells(screen, 1, 4, std::span(saved).subspan(6, 1));
  EXPECT_EQ(cells_of(screen, 1), WIDE_A "] a" WIDE_C "]ab");
}

TEST(ScreenWideCharacters, NarrowingTheScreenCutsNoCharacterInHalf) {
  Screen screen;
  screen.utf8 = true;
  set_size(screen, 8, 1);
  write_cells(screen, 1, 1, "ab" WIDE_A "cd", 0x07);
  set_size(screen, 3, 1);
  EXPECT_EQ(cells_of(screen, 1), "ab ");
}

TEST(ScreenPrint, OnAByteConsoleEveryByteIsACell) {
  Screen screen = set_up_screen();
  print_text(screen, "\xC3\xA9");
  EXPECT_EQ(cell_at(screen, 1, 1).ch, 0xC3);
  EXPECT_EQ(cell_at(screen, 1, 2).ch, 0xA9);
  EXPECT_EQ(screen.col, 3);
}

TEST(ScreenPrint, AUtf8RowPieceCountsCharactersNotBytes) {
  Screen screen = set_up_screen();
  screen.utf8 = true;
  place_cursor(screen, 2, 79);
  std::string_view text = "\xC3\xA9\xC3\xA9\xC3\xA9";
  EXPECT_EQ(print_piece(screen, text).bytes, "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(text, "\xC3\xA9");
}

TEST(ScreenLineEnd, OnRow30ScrollsAndTheNewRowIsBlankInTheCurrentColours) {
  Screen screen = set_up_screen();
  place_cursor(screen, 1, 1);
  print_text(screen, "first");
  place_cursor(screen, 30, 1);
  print_text(screen, "last");
  set_colours(screen, light_blue, keep_colour);
  EXPECT_EQ(line_end(screen), 1);
  EXPECT_EQ(row_text(screen, 1), blank_row());  // "first" scrolled away
  EXPECT_EQ(row_text(screen, 29).substr(0, 4), "last");
  EXPECT_EQ(cell_at(screen, 29, 1).attr, magenta_on_grey);
  for (int col = 1; col <= 80; ++col) ASSERT_EQ(cell_at(screen, 30, col), (Cell{' ', 9 + 16 * 7}));
  EXPECT_EQ(cursor_of(screen), (Cursor{30, 1, false}));
}

TEST(ScreenScroll, MovesRowsUpWithoutMovingTheCursor) {
  Screen screen = set_up_screen();
  for (int row = 1; row <= 30; ++row) {
    place_cursor(screen, row, 1);
    print_text(screen, std::to_string(row));
  }
  place_cursor(screen, 12, 7);
  scroll_up(screen);
  EXPECT_EQ(row_text(screen, 1).substr(0, 2), "2 ");
  EXPECT_EQ(row_text(screen, 29).substr(0, 2), "30");
  EXPECT_EQ(row_text(screen, 30), blank_row());
  EXPECT_EQ(cursor_of(screen), (Cursor{12, 7, false}));
}

struct ColourCase {
  int foreground;
  int background;
  unsigned char expected;
};

TEST(ScreenColours, MinusOneOrSixteenKeepsThatColour) {
  const ColourCase cases[] = {
      {light_blue, keep_colour, 9 + 16 * 7},  // start-up screen: foreground only
      {keep_colour, black, 13 + 16 * 0},      // background only
      {keep_colour, keep_colour, 13 + 16 * 7}, {16, 16, 13 + 16 * 7},
      {bright_white, light_red, 15 + 16 * 12}, {0, 0, 0},
  };
  for (const ColourCase& c : cases) {
    Screen screen = set_up_screen();
    set_colours(screen, c.foreground, c.background);
    EXPECT_EQ(attribute(screen), c.expected) << c.foreground << " on " << c.background;
  }
}

TEST(ScreenColours, AChangeLeavesWhatIsOnTheScreen) {
  Screen screen = set_up_screen();
  print_text(screen, "old");
  set_colours(screen, light_blue, keep_colour);
  print_text(screen, "new");
  EXPECT_EQ(cell_at(screen, 1, 1).attr, magenta_on_grey);
  EXPECT_EQ(cell_at(screen, 1, 4).attr, 9 + 16 * 7);
}

TEST(ScreenSize, SizesAbove9999AreIgnoredAndTheCursorStaysInside) {
  Screen screen;
  set_size(screen, 10000, 30);
  EXPECT_EQ(screen.width, 80);
  set_size(screen, 80, 10000);
  EXPECT_EQ(screen.height, 30);
  place_cursor(screen, 30, 80);
  set_size(screen, 40, 10);
  EXPECT_EQ(screen.width, 40);
  EXPECT_EQ(screen.height, 10);
  EXPECT_EQ(screen.cells.size(), 400u);
  EXPECT_EQ(cursor_of(screen), (Cursor{10, 40, false}));
}

TEST(ScreenWriteCells, ClipsToTheScreenAndLeavesTheCursor) {
  Screen screen = set_up_screen();
  screen.utf8 = true;
  place_cursor(screen, 4, 4);
  write_cells(screen, 2, 78,
              "ab\xC3\xA9"
              "cd",
              0x1F);
  write_cells(screen, 0, 1, "x", 0x1F);
  write_cells(screen, 31, 1, "x", 0x1F);
  write_cells(screen, 3, -1, "xyz", 0x1F);
  EXPECT_EQ(row_text(screen, 2).substr(77), "ab\xC3\xA9");
  EXPECT_EQ(cell_at(screen, 2, 78).attr, 0x1F);
  EXPECT_EQ(row_text(screen, 3).substr(0, 2), "z ");
  EXPECT_EQ(row_text(screen, 1), blank_row());
  EXPECT_EQ(cursor_of(screen), (Cursor{4, 4, false}));
}

}  // namespace
}  // namespace console
