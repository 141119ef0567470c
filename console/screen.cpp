#include "console/screen.hpp"

#include <algorithm>
#include <string>

#include "console/character_width.hpp"

namespace console {

namespace {

bool continuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
  return byte >= low && byte <= high;
}

}  // namespace

std::size_t utf8_character_length(std::string_view text) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 1;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 1;
  }
  const std::size_t available = std::min(text.size(), length);
  for (std::size_t i = 1; i < available; ++i) {
    if (!(i == 1 ? continuation(at(i), low, high) : continuation(at(i)))) return 1;
  }
  return available < length ? 0 : length;
}

Cell character_cell(std::string_view character, unsigned char attr) {
  Cell cell;
  cell.ch = static_cast<unsigned char>(character[0]);
  cell.attr = attr;
  cell.tail_size = static_cast<unsigned char>(character.size() - 1);
  for (std::size_t i = 1; i < character.size(); ++i) cell.tail[i - 1] = static_cast<unsigned char>(character[i]);
  if (cell.tail_size > 0 && character_width(code_point(cell)) == 2) cell.columns = 2;
  return cell;
}

namespace {

Cell blank(unsigned char attr) { return Cell{' ', attr}; }

Cell right_half(unsigned char attr) {
  Cell cell = blank(attr);
  cell.columns = 0;
  return cell;
}

// Before a cell is overwritten: the other half of the double-width character
// it belongs to becomes a blank, as on a terminal.
void release_halves(Screen& screen, int row, int col) {
  const Cell& cell = cell_at(screen, row, col);
  if (cell.columns == 0 && col > 1) {
    Cell& left = cell_at(screen, row, col - 1);
    left = blank(left.attr);
  } else if (cell.columns == 2 && col < screen.width) {
    Cell& right = cell_at(screen, row, col + 1);
    right = blank(right.attr);
  }
}

// Puts one character at row, col (inside the screen); a double-width one
// whose right half would leave the screen becomes a blank.
void put_character(Screen& screen, int row, int col, const Cell& cell) {
  release_halves(screen, row, col);
  if (cell.columns == 2 && col == screen.width) {
    cell_at(screen, row, col) = blank(cell.attr);
    return;
  }
  if (cell.columns == 2) release_halves(screen, row, col + 1);
  cell_at(screen, row, col) = cell;
  if (cell.columns == 2) cell_at(screen, row, col + 1) = right_half(cell.attr);
}

}  // namespace

std::string cell_text(const Cell& cell) {
  if (cell.columns == 0) return {};
  std::string text(1, static_cast<char>(cell.ch));
  for (int i = 0; i < cell.tail_size; ++i) text += static_cast<char>(cell.tail[static_cast<std::size_t>(i)]);
  return text;
}

char32_t code_point(const Cell& cell) {
  const int size = cell.tail_size + 1;
  char32_t cp = cell.ch & (size == 2 ? 0x1F : size == 3 ? 0x0F : 0x07);
  for (int i = 0; i < cell.tail_size; ++i) cp = (cp << 6) | (cell.tail[static_cast<std::size_t>(i)] & 0x3F);
  return cp;
}

std::size_t character_length(const Screen& screen, std::string_view text) {
  // The start of a character cut off by the end of the text is a byte of
  // its own.
  return screen.utf8 ? std::max<std::size_t>(utf8_character_length(text), 1) : 1;
}

int character_columns(const Screen& screen, std::string_view text) {
  return character_cell(text.substr(0, character_length(screen, text)), 0).columns;
}

unsigned char attribute(const Screen& screen) {
  return static_cast<unsigned char>(screen.foreground + 16 * screen.background);
}

Cell& cell_at(Screen& screen, int row, int col) {
  return screen.cells[static_cast<std::size_t>((row - 1) * screen.width + (col - 1))];
}

const Cell& cell_at(const Screen& screen, int row, int col) {
  return screen.cells[static_cast<std::size_t>((row - 1) * screen.width + (col - 1))];
}

void set_size(Screen& screen, int columns, int rows) {
  if (columns < 1 || rows < 1 || columns > 9999 || rows > 9999) return;
  std::vector<Cell> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (int r = 1; r <= std::min(rows, screen.height); ++r) {
    for (int c = 1; c <= std::min(columns, screen.width); ++c) {
      cells[static_cast<std::size_t>((r - 1) * columns + (c - 1))] = cell_at(screen, r, c);
    }
    Cell& last = cells[static_cast<std::size_t>(r * columns - 1)];
    if (last.columns == 2) last = blank(last.attr);  // its right half was cut off
  }
  screen.cells = std::move(cells);
  screen.width = columns;
  screen.height = rows;
  screen.row = std::min(screen.row, rows);
  screen.col = std::min(screen.col, columns);
}

void set_colours(Screen& screen, int foreground, int background) {
  if (foreground >= 0 && foreground < 16) screen.foreground = foreground;
  if (background >= 0 && background < 16) screen.background = background;
}

void clear(Screen& screen) {
  std::fill(screen.cells.begin(), screen.cells.end(), Cell{' ', attribute(screen)});
  place_cursor(screen, 1, 1);
}

void place_cursor(Screen& screen, int row, int col) {
  screen.row = std::clamp(row, 1, screen.height);
  screen.col = std::clamp(col, 1, screen.width);
  screen.pending_scroll = false;
}

void scroll_up(Screen& screen) {
  const auto width = static_cast<std::ptrdiff_t>(screen.width);
  std::copy(screen.cells.begin() + width, screen.cells.end(), screen.cells.begin());
  std::fill(screen.cells.end() - width, screen.cells.end(), Cell{' ', attribute(screen)});
}

Piece print_piece(Screen& screen, std::string_view& text) {
  Piece piece;
  if (screen.pending_scroll) {
    scroll_up(screen);
    screen.pending_scroll = false;
    piece.scrolled_first = true;
  }
  piece.row = screen.row;
  piece.col = screen.col;
  piece.attr = attribute(screen);
  std::size_t used = 0;
  while (used < text.size() && screen.col <= screen.width) {
    const std::size_t length = character_length(screen, text.substr(used));
    const Cell cell = character_cell(text.substr(used, length), piece.attr);
    if (cell.columns == 2 && screen.col == screen.width && screen.width > 1) {
      put_character(screen, screen.row, screen.col, blank(piece.attr));  // it goes on the next row
      ++screen.col;
      break;
    }
    put_character(screen, screen.row, screen.col, cell);
    used += length;
    screen.col += cell.columns;
  }
  piece.bytes = text.substr(0, used);
  text.remove_prefix(used);
  if (screen.col > screen.width) {
    // A full last row scrolls only when more output follows.
    screen.col = 1;
    if (screen.row < screen.height) {
      ++screen.row;
    } else {
      screen.pending_scroll = true;
    }
  }
  return piece;
}

void print_text(Screen& screen, std::string_view text) {
  while (!text.empty()) print_piece(screen, text);
}

void write_cells(Screen& screen, int row, int col, std::string_view text, unsigned char attr) {
  if (row < 1 || row > screen.height) return;
  while (!text.empty() && col <= screen.width) {
    const std::size_t length = character_length(screen, text);
    const Cell cell = character_cell(text.substr(0, length), attr);
    if (col >= 1) {
      put_character(screen, row, col, cell);
    } else if (col + cell.columns - 1 >= 1) {
      put_character(screen, row, 1, blank(attr));  // only its right half would be on the screen
    }
    text.remove_prefix(length);
    col += cell.columns;
  }
}

void put_cells(Screen& screen, int row, int col, std::span<const Cell> cells) {
  if (row < 1 || row > screen.height) return;
  const int first = std::max(col, 1);
  const int last = std::min(col + static_cast<int>(cells.size()) - 1, screen.width);
  if (first > last) return;
  for (int c = first; c <= last; ++c) cell_at(screen, row, c) = cells[static_cast<std::size_t>(c - col)];
  // Where the cells meet the rest of the row, no half may be left without
  // its other half.
  const auto lone_halves = [&](int left_col) {
    if (left_col < 1 || left_col >= screen.width) return;
    Cell& left = cell_at(screen, row, left_col);
    Cell& right = cell_at(screen, row, left_col + 1);
    if (left.columns == 2 && right.columns != 0) left = blank(left.attr);
    if (right.columns == 0 && left.columns != 2) right = blank(right.attr);
  };
  lone_halves(first - 1);
  lone_halves(last);
  if (cell_at(screen, row, 1).columns == 0) cell_at(screen, row, 1) = blank(cell_at(screen, row, 1).attr);
  Cell& row_end = cell_at(screen, row, screen.width);
  if (row_end.columns == 2) row_end = blank(row_end.attr);
}

int line_end(Screen& screen) {
  if (screen.row < screen.height) {
    ++screen.row;
    screen.col = 1;
    return 0;
  }
  int scrolls = 0;
  if (screen.pending_scroll) {
    scroll_up(screen);
    ++scrolls;
  }
  scroll_up(screen);
  screen.pending_scroll = false;
  screen.col = 1;
  return scrolls + 1;
}

}  // namespace console
