#include "dialogs/box_drawing.hpp"

#include <algorithm>

namespace dialogs {

BoxArea centred_area(const console::Screen& screen, int row, int col, int height, int width) {
  BoxArea area{row - height / 2, col - width / 2, height, width};
  area.top = std::max(1, std::min(area.top, screen.height - height + 1));
  area.left = std::max(1, std::min(area.left, screen.width - width + 1));
  return area;
}

int text_cells(const console::Screen& screen, std::string_view text) {
  int cells = 0;
  while (!text.empty()) {
    text.remove_prefix(console::character_length(screen, text));
    ++cells;
  }
  return cells;
}

std::string_view first_cells(const console::Screen& screen, std::string_view text, int cells) {
  std::size_t used = 0;
  for (int taken = 0; taken < cells && used < text.size(); ++taken) {
    used += console::character_length(screen, text.substr(used));
  }
  return text.substr(0, used);
}

std::string fit_cells(const console::Screen& screen, std::string_view text, int cells) {
  if (cells <= 0) return {};
  std::string fitted(first_cells(screen, text, cells));
  fitted.append(static_cast<std::size_t>(cells - text_cells(screen, fitted)), ' ');
  return fitted;
}

void draw_frame(console::Console& console, const BoxArea& area, unsigned char attr) {
  if (area.width < 2 || area.height < 2) return;
  const std::string edge = "+" + std::string(static_cast<std::size_t>(area.width - 2), '-') + "+";
  const std::string inside = "|" + std::string(static_cast<std::size_t>(area.width - 2), ' ') + "|";
  console::put_cells(console, area.top, area.left, edge, attr);
  for (int r = 1; r < area.height - 1; ++r) console::put_cells(console, area.top + r, area.left, inside, attr);
  console::put_cells(console, area.top + area.height - 1, area.left, edge, attr);
}

void draw_rule(console::Console& console, const BoxArea& area, int row, unsigned char attr) {
  if (area.width < 2) return;
  console::put_cells(console, row, area.left, "+" + std::string(static_cast<std::size_t>(area.width - 2), '-') + "+",
                     attr);
}

SavedScreen save_screen(const console::Console& console, const BoxArea& area) {
  const console::Screen& screen = console.screen;
  SavedScreen saved;
  saved.area.top = std::max(1, area.top);
  saved.area.left = std::max(1, area.left);
  saved.area.height = std::min(area.top + area.height, screen.height + 1) - saved.area.top;
  saved.area.width = std::min(area.left + area.width, screen.width + 1) - saved.area.left;
  for (int r = 0; r < saved.area.height; ++r) {
    for (int c = 0; c < saved.area.width; ++c) {
      saved.cells.push_back(console::cell_at(screen, saved.area.top + r, saved.area.left + c));
    }
  }
  saved.row = screen.row;
  saved.col = screen.col;
  saved.pending_scroll = screen.pending_scroll;
  return saved;
}

void restore_screen(console::Console& console, const SavedScreen& saved) {
  // Cell by cell: neighbouring cells must not merge into one character.
  std::size_t at = 0;
  for (int r = 0; r < saved.area.height; ++r) {
    for (int c = 0; c < saved.area.width; ++c, ++at) {
      const console::Cell& cell = saved.cells[at];
      console::put_cells(console, saved.area.top + r, saved.area.left + c, console::cell_text(cell), cell.attr);
    }
  }
  console::place_cursor(console, saved.row, saved.col);
  console.screen.pending_scroll = saved.pending_scroll;
}

}  // namespace dialogs
