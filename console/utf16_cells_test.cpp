#include "console/utf16_cells.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace console {

std::ostream& operator<<(std::ostream& out, const Utf16Cell& c) {
  return out << "U+" << std::hex << static_cast<unsigned>(c.unit) << std::dec << " attr " << static_cast<int>(c.attr)
             << " half " << static_cast<int>(c.half);
}

namespace {

#define WIDE "\xE8\x80\x83"            // U+8003, two columns
#define WIDE_EMOJI "\xF0\x9F\x98\x80"  // U+1F600, two columns, above U+FFFF

constexpr unsigned char attr = 0x7D;
constexpr Utf16Cell whole(char16_t unit) { return {unit, attr, CellHalf::whole}; }
constexpr Utf16Cell left(char16_t unit) { return {unit, attr, CellHalf::left}; }
constexpr Utf16Cell right() { return {right_half_unit, attr, CellHalf::right}; }

// What a UTF-16 console is given for row 1 of a screen 6 wide, seen through
// a view of the given columns.
TEST(Utf16Cells, EachCellAsTheTerminalFormShowsIt) {
  const struct {
    const char* name;
    std::string text;
    int view_left;
    int view_cols;
    std::vector<Utf16Cell> cells;
  } cases[] = {
      {"ASCII", "ab-Z", 1, 6, {whole(u'a'), whole(u'b'), whole(u'-'), whole(u'Z'), whole(u' '), whole(u' ')}},
      {"a wide character: left half, then the right half passed over",
       "a" WIDE "b",
       1,
       6,
       {whole(u'a'), left(u'\x8003'), right(), whole(u'b'), whole(u' '), whole(u' ')}},
      {"control bytes and bytes that are no UTF-8 as code page 437 glyphs",
       "\t\x1b\x80\xE8",
       1,
       6,
       {whole(u'\x25CB'), whole(u'\x2190'), whole(u'\x00C7'), whole(u'\x03A6'), whole(u' '), whole(u' ')}},
      {"valid UTF-8 of one column, and a combining mark as U+FFFD",
       "\xC3\xA4\xCC\x81",
       1,
       6,
       {whole(u'\x00E4'), whole(u'\xFFFD'), whole(u' '), whole(u' '), whole(u' '), whole(u' ')}},
      {"above U+FFFF: U+FFFD and a blank, still two columns",
       WIDE_EMOJI "x",
       1,
       6,
       {whole(u'\xFFFD'), whole(u' '), whole(u'x'), whole(u' '), whole(u' '), whole(u' ')}},
      {"a left half at the view's right edge is a blank", "ab" WIDE, 1, 3, {whole(u'a'), whole(u'b'), whole(u' ')}},
      {"a right half at the view's left edge is a blank", "ab" WIDE "c", 4, 3, {whole(u' '), whole(u'c'), whole(u' ')}},
  };
  for (const auto& c : cases) {
    Screen screen;
    screen.utf8 = true;
    set_size(screen, 6, 2);
    set_colours(screen, attr % 16, attr / 16);
    clear(screen);
    write_cells(screen, 1, 1, c.text, attr);
    const View view{1, c.view_left, 2, c.view_cols};
    const CellRun run{1, c.view_left, c.view_left + c.view_cols - 1};
    EXPECT_EQ(utf16_cells(screen, view, run), c.cells) << c.name;
  }
}

}  // namespace
}  // namespace console
