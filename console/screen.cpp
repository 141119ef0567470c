#include "console/screen.hpp"

#include <algorithm>

namespace console {

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
  const std::size_t room = static_cast<std::size_t>(screen.width - screen.col + 1);
  piece.bytes = text.substr(0, std::min(room, text.size()));
  piece.row = screen.row;
  piece.col = screen.col;
  piece.attr = attribute(screen);
  for (std::size_t i = 0; i < piece.bytes.size(); ++i) {
    cell_at(screen, screen.row, screen.col + static_cast<int>(i)) =
        Cell{static_cast<unsigned char>(piece.bytes[i]), piece.attr};
  }
  text.remove_prefix(piece.bytes.size());
  screen.col += static_cast<int>(piece.bytes.size());
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
