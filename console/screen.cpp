#include "console/screen.hpp"

#include <algorithm>
#include <string>

namespace console {

namespace {

bool continuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
  return byte >= low && byte <= high;
}

std::size_t utf8_length(std::string_view text) {
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
  if (text.size() < length || !continuation(at(1), low, high)) return 1;
  for (std::size_t i = 2; i < length; ++i) {
    if (!continuation(at(i))) return 1;
  }
  return length;
}

Cell make_cell(std::string_view character, unsigned char attr) {
  Cell cell;
  cell.ch = static_cast<unsigned char>(character[0]);
  cell.attr = attr;
  cell.tail_size = static_cast<unsigned char>(character.size() - 1);
  for (std::size_t i = 1; i < character.size(); ++i) cell.tail[i - 1] = static_cast<unsigned char>(character[i]);
  return cell;
}

}  // namespace

std::string cell_text(const Cell& cell) {
  std::string text(1, static_cast<char>(cell.ch));
  for (int i = 0; i < cell.tail_size; ++i) text += static_cast<char>(cell.tail[static_cast<std::size_t>(i)]);
  return text;
}

std::size_t character_length(const Screen& screen, std::string_view text) {
  return screen.utf8 ? utf8_length(text) : 1;
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
    cell_at(screen, screen.row, screen.col) = make_cell(text.substr(used, length), piece.attr);
    used += length;
    ++screen.col;
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
  while (!text.empty()) {
    const std::size_t length = character_length(screen, text);
    if (col >= 1 && col <= screen.width) cell_at(screen, row, col) = make_cell(text.substr(0, length), attr);
    text.remove_prefix(length);
    ++col;
  }
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
