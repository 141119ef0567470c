#include "dialogs/box_drawing.hpp"

#include <algorithm>
#include <span>

namespace dialogs {

namespace {

// First line of a box of `size` lines that wants to start at `start`, when
// the view shows `visible` lines from `view_first` of `total`.
int place(int start, int size, int view_first, int visible, int total) {
  if (size <= visible) return std::clamp(start, view_first, view_first + visible - size);
  return std::max(1, std::min(view_first, total - size + 1));
}

}  // namespace

BoxArea centred_area(const console::Screen& screen, const console::View& view, int row, int col, int height,
                     int width) {
  BoxArea area{row - height / 2, col - width / 2, height, width};
  area.top = place(area.top, height, view.top, view.rows, screen.height);
  area.left = place(area.left, width, view.left, view.cols, screen.width);
  return area;
}

int text_cells(const console::Screen& screen, std::string_view text) {
  int cells = 0;
  while (!text.empty()) {
    cells += console::character_columns(screen, text);
    text.remove_prefix(console::character_length(screen, text));
  }
  return cells;
}

std::string_view first_cells(const console::Screen& screen, std::string_view text, int cells) {
  std::size_t used = 0;
  int taken = 0;
  while (used < text.size()) {
    const std::string_view rest = text.substr(used);
    const int columns = console::character_columns(screen, rest);
    if (taken + columns > cells) break;
    taken += columns;
    used += console::character_length(screen, rest);
  }
  return text.substr(0, used);
}

std::string_view last_cells(const console::Screen& screen, std::string_view text, int cells) {
  // Where a character starts is known only from the front: a byte that
  // starts no valid UTF-8 character is a character of its own.
  std::vector<std::size_t> starts;
  std::vector<int> columns;
  for (std::size_t at = 0; at < text.size(); at += console::character_length(screen, text.substr(at))) {
    starts.push_back(at);
    columns.push_back(console::character_columns(screen, text.substr(at)));
  }
  std::size_t from = text.size();
  int taken = 0;
  for (std::size_t i = starts.size(); i-- > 0;) {
    if (taken + columns[i] > cells) break;
    taken += columns[i];
    from = starts[i];
  }
  return text.substr(from);
}

std::string fit_cells(const console::Screen& screen, std::string_view text, int cells) {
  if (cells <= 0) return {};
  std::string fitted(first_cells(screen, text, cells));
  fitted.append(static_cast<std::size_t>(cells - text_cells(screen, fitted)), ' ');
  return fitted;
}

std::string_view ellipsis(const console::Screen& screen) { return screen.utf8 ? "\xE2\x80\xA6" : "..."; }

std::string name_in_cells(const console::Screen& screen, std::string_view name, int cells) {
  if (text_cells(screen, name) <= cells) return std::string(name);
  const std::string_view mark = ellipsis(screen);
  const int room = cells - text_cells(screen, mark);
  if (room <= 0) return std::string(first_cells(screen, name, cells));
  const std::size_t dot = name.rfind('.');
  const int extension = dot == std::string_view::npos ? 0 : text_cells(screen, name.substr(dot));
  const std::string_view end = last_cells(screen, name, std::min(room, std::max(room / 2, extension)));
  const std::string_view beginning = first_cells(screen, name, room - text_cells(screen, end));
  return std::string(beginning) + std::string(mark) + std::string(end);
}

std::string path_in_cells(const console::Screen& screen, std::string_view path, int cells) {
  if (text_cells(screen, path) <= cells) return std::string(path);
  const std::string_view mark = ellipsis(screen);
  const int room = cells - text_cells(screen, mark);
  if (room <= 0) return std::string(last_cells(screen, path, cells));
  std::string_view end = last_cells(screen, path, room);
  const std::size_t separator = end.find_first_of("/\\");
  if (separator != std::string_view::npos && separator + 1 < end.size()) end.remove_prefix(separator);
  return std::string(mark) + std::string(end);
}

int box_text_cells(const BoxArea& area) { return area.width - 4; }

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

void draw_box_with_texts(console::Console& console, const BoxArea& area, std::string_view first_text,
                         std::string_view second_text, int hint_row) {
  const int text_width = box_text_cells(area);
  draw_frame(console, area, box_colour);
  console::put_cells(console, area.top + 1, area.left + 2, fit_cells(console.screen, first_text, text_width),
                     box_colour);
  console::put_cells(console, hint_row, area.left + 2, fit_cells(console.screen, second_text, text_width), hint_colour);
}

SavedScreen save_screen(const console::Console& console, const BoxArea& area) {
  const console::Screen& screen = console.screen;
  SavedScreen saved;
  saved.area.top = std::max(1, area.top);
  saved.area.left = std::max(1, area.left - 1);
  saved.area.height = std::min(area.top + area.height, screen.height + 1) - saved.area.top;
  saved.area.width = std::min(area.left + area.width + 1, screen.width + 1) - saved.area.left;
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
  const std::span<const console::Cell> cells(saved.cells);
  const auto width = static_cast<std::size_t>(std::max(saved.area.width, 0));
  for (int r = 0; r < saved.area.height; ++r) {
    console::put_cells(console, saved.area.top + r, saved.area.left,
                       cells.subspan(static_cast<std::size_t>(r) * width, width));
  }
  console::place_cursor(console, saved.row, saved.col);
  console.screen.pending_scroll = saved.pending_scroll;
}

}  // namespace dialogs
