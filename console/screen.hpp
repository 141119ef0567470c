// The console's screen as plain data: a grid of cells (one character of the
// code page and one colour attribute each), the current colours, the cursor
// and the pending scroll. Every console form keeps this model; a terminal mirrors it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Colour indices of the console palette (1 blue, 2 green, 4 red, 8 bright).
enum Colour : int {
  black = 0,
  light_grey = 7,
  light_blue = 9,
  light_red = 12,
  light_magenta = 13,
  bright_white = 15,
};

constexpr int keep_colour = -1;  // in set_colours: leave this colour as it is

// One character of the console's code page. On a UTF-8 console a character
// may take up to four bytes: ch is its first, the rest follow in tail. A byte
// that starts no valid UTF-8 character is a character of its own. A
// double-width character takes two cells: its own, with columns 2, and the
// next one, its right half, which holds no character and has columns 0.
struct Cell {
  unsigned char ch = ' ';
  unsigned char attr = 0x07;  // foreground + 16 * background
  unsigned char tail_size = 0;
  std::array<unsigned char, 3> tail{};
  unsigned char columns = 1;
  friend bool operator==(const Cell&, const Cell&) = default;
};

// The bytes of the cell's character; nothing for the right half of a
// double-width character.
std::string cell_text(const Cell& cell);
// The code point of a cell that holds a character of several bytes (the
// model stores only valid UTF-8 sequences).
char32_t code_point(const Cell& cell);

struct Screen {
  int width = 80;
  int height = 30;
  std::vector<Cell> cells = std::vector<Cell>(80 * 30);
  int foreground = light_grey;
  int background = black;
  int row = 1;  // cursor, from 1
  int col = 1;
  bool pending_scroll = false;  // the last cell was filled; scroll before more
  bool utf8 = false;            // code page: UTF-8 characters, or one byte per cell
};

// Length of the character at the start of text (text not empty): 1 for a
// single-byte code page, else the length of a valid UTF-8 sequence, or 1 for
// a byte that starts none.
std::size_t character_length(const Screen& screen, std::string_view text);
// The length of the valid UTF-8 character at the start of text (not empty);
// 0 when text holds only the start of one, which more bytes could complete;
// 1 for a byte that starts none.
std::size_t utf8_character_length(std::string_view text);
// The cell of one whole character (bytes as character_length gives them).
Cell character_cell(std::string_view character, unsigned char attr);
// Cells the character at the start of text takes: 2 for a valid UTF-8
// character that terminals show two columns wide, otherwise 1.
int character_columns(const Screen& screen, std::string_view text);

unsigned char attribute(const Screen& screen);
Cell& cell_at(Screen& screen, int row, int col);
const Cell& cell_at(const Screen& screen, int row, int col);

// Sizes above 9999 are ignored. What fits of the old grid stays.
void set_size(Screen& screen, int columns, int rows);
// A colour outside 0..15 (keep_colour) leaves that colour unchanged.
void set_colours(Screen& screen, int foreground, int background);
void clear(Screen& screen);
void place_cursor(Screen& screen, int row, int col);  // clears a pending scroll
// Rows 2..height move up one row; the last row becomes blank in the current
// colours. The cursor stays.
void scroll_up(Screen& screen);

// One row piece of printed text, as it landed on the grid.
struct Piece {
  int row = 1;
  int col = 1;
  std::string_view bytes;
  unsigned char attr = 0x07;
  bool scrolled_first = false;  // a pending scroll was done before it
};

// Writes the next row piece of text at the cursor (one cell per character,
// two for a double-width one; no byte is a control) and removes it from
// text. A double-width character that does not fit in the row's last cell
// leaves that cell blank and starts the next row. A display that mirrors the
// model writes each piece in one go.
Piece print_piece(Screen& screen, std::string_view& text);
// The whole text, piece by piece.
void print_text(Screen& screen, std::string_view text);
// Cells written straight into the grid from row, col on, one per character
// (two for a double-width one), clipped to the screen; a double-width
// character cut by the screen's edge leaves a blank. Cursor and pending
// scroll stay as they are.
void write_cells(Screen& screen, int row, int col, std::string_view text, unsigned char attr);
// Cells copied as they are (saved from this screen before) into a row from
// col on, clipped to the screen. A character that another write had cut in
// half at either end of them keeps no half of itself.
void put_cells(Screen& screen, int row, int col, std::span<const Cell> cells);
// Returns how many times the screen scrolled (0 to 2).
int line_end(Screen& screen);

}  // namespace console
