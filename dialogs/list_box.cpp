#include "dialogs/list_box.hpp"

#include <algorithm>

namespace dialogs {

namespace {

constexpr int narrowest_list = 30;
constexpr int wheel_step = 3;
constexpr int rows_around_items = 7;    // frame, title, hint, two rules, buttons, frame
constexpr int columns_around_item = 4;  // a blank, the item, a blank, the scroll bar

int count(const ListChoice& choice) { return static_cast<int>(choice.items.size()); }

void keep_in_view(ListChoice& choice, const ListBoxLayout& layout) {
  choice.selected = std::clamp(choice.selected, 0, std::max(0, count(choice) - 1));
  if (choice.selected < choice.top) choice.top = choice.selected;
  if (choice.selected >= choice.top + layout.visible_items) choice.top = choice.selected - layout.visible_items + 1;
  choice.top = std::clamp(choice.top, 0, std::max(0, count(choice) - layout.visible_items));
}

void scroll_by(ListChoice& choice, const ListBoxLayout& layout, int rows) {
  choice.top = std::clamp(choice.top + rows, 0, std::max(0, count(choice) - layout.visible_items));
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool starts_with(std::string_view item, std::string_view typed) {
  if (typed.size() == 1) return upper(item[0]) == upper(typed[0]);
  return item.starts_with(typed);
}

void jump_to_character(ListChoice& choice, std::string_view typed) {
  const int n = count(choice);
  for (int step = 1; step <= n; ++step) {
    const int at = (choice.selected + step) % n;
    if (starts_with(choice.items[static_cast<std::size_t>(at)], typed)) {
      choice.selected = at;
      return;
    }
  }
}

bool inside(int col, int left, std::string_view label) {
  return col >= left && col < left + static_cast<int>(label.size());
}

bool can_scroll(const ListChoice& choice, const ListBoxLayout& layout) { return count(choice) > layout.visible_items; }

// Row of the scroll bar's thumb, from 0, among the rows between the arrows.
int thumb_row(const ListChoice& choice, const ListBoxLayout& layout) {
  const int track = layout.visible_items - 2;
  const int last_top = count(choice) - layout.visible_items;
  if (track <= 0 || last_top <= 0) return 0;
  return choice.top * (track - 1) / last_top;
}

BoxState scroll_bar_click(ListChoice& choice, const ListBoxLayout& layout, int row) {
  const int at = row - layout.first_item_row;
  if (at == 0) {
    scroll_by(choice, layout, -1);
  } else if (at == layout.visible_items - 1) {
    scroll_by(choice, layout, 1);
  } else if (at - 1 < thumb_row(choice, layout)) {
    scroll_by(choice, layout, -layout.visible_items);
  } else if (at - 1 > thumb_row(choice, layout)) {
    scroll_by(choice, layout, layout.visible_items);
  }
  return BoxState::open;
}

BoxState mouse_press(ListChoice& choice, const console::InputEvent& event, const ListBoxLayout& layout) {
  if (event.button != 1) return BoxState::open;
  if (event.row == layout.buttons_row) {
    if (inside(event.col, layout.ok_left, ok_button)) {
      return count(choice) > 0 ? BoxState::accepted : BoxState::cancelled;
    }
    if (inside(event.col, layout.cancel_left, cancel_button)) return BoxState::cancelled;
    return BoxState::open;
  }
  const int row = event.row - layout.first_item_row;
  if (row < 0 || row >= layout.visible_items) return BoxState::open;
  if (event.col == layout.scroll_col && can_scroll(choice, layout)) return scroll_bar_click(choice, layout, event.row);
  if (event.col < layout.item_left || event.col >= layout.item_left + layout.item_width) return BoxState::open;
  const int clicked = choice.top + row;
  if (clicked >= count(choice)) return BoxState::open;
  if (clicked == choice.selected) return BoxState::accepted;
  choice.selected = clicked;
  return BoxState::open;
}

}  // namespace

std::vector<std::string_view> non_empty_items(std::span<const std::string> items) {
  std::vector<std::string_view> names;
  for (const std::string& item : items) {
    if (!item.empty()) names.emplace_back(item);
  }
  return names;
}

ListBoxLayout list_box_layout(const console::Screen& screen, const console::View& view, std::string_view first_text,
                              std::string_view second_text, const std::vector<std::string_view>& items) {
  int longest = 0;
  for (std::string_view item : items) longest = std::max(longest, text_cells(screen, item));
  const int wanted = std::max({text_cells(screen, first_text) + 2, text_cells(screen, second_text) + 2,
                               longest + columns_around_item, narrowest_list});
  const int inner = std::max(std::min(wanted, view.cols - 2), 2 * static_cast<int>(ok_button.size()) + 3);
  ListBoxLayout layout;
  layout.visible_items = std::clamp(static_cast<int>(items.size()), 1, std::max(1, view.rows - rows_around_items));
  const int height = layout.visible_items + rows_around_items;
  layout.area = centred_area(screen, view, view.top + view.rows / 2, view.left + view.cols / 2, height, inner + 2);
  layout.first_item_row = layout.area.top + 4;
  layout.item_left = layout.area.left + 2;
  layout.item_width = inner - 3;
  layout.scroll_col = layout.area.left + inner;
  layout.buttons_row = layout.first_item_row + layout.visible_items + 1;
  const int buttons_width = static_cast<int>(ok_button.size() + 3 + cancel_button.size());
  layout.ok_left = layout.area.left + 1 + (inner - buttons_width) / 2;
  layout.cancel_left = layout.ok_left + static_cast<int>(ok_button.size()) + 3;
  return layout;
}

BoxState list_box_event(ListChoice& choice, const console::InputEvent& event, const ListBoxLayout& layout) {
  using console::Key;
  const int page = layout.visible_items;
  switch (event.key) {
    case Key::up: --choice.selected; break;
    case Key::down: ++choice.selected; break;
    case Key::page_up: choice.selected -= page; break;
    case Key::page_down: choice.selected += page; break;
    case Key::home: choice.selected = 0; break;
    case Key::end: choice.selected = count(choice) - 1; break;
    case Key::character:
      if (count(choice) > 0 && static_cast<unsigned char>(event.ch) > 0x20) {
        jump_to_character(choice, console::typed_text(event));
      }
      break;
    case Key::enter: return count(choice) > 0 ? BoxState::accepted : BoxState::cancelled;
    case Key::escape:
    case Key::end_of_input: return BoxState::cancelled;
    case Key::wheel_up:
      scroll_by(choice, layout, -wheel_step);
      return BoxState::open;  // the view moves, the selection stays
    case Key::wheel_down: scroll_by(choice, layout, wheel_step); return BoxState::open;
    case Key::mouse_press: {
      const BoxState state = mouse_press(choice, event, layout);
      if (state != BoxState::open || event.col == layout.scroll_col) return state;
      break;
    }
    default: return BoxState::open;
  }
  keep_in_view(choice, layout);
  return BoxState::open;
}

void draw_list_box(console::Console& console, const ListBoxLayout& layout, std::string_view first_text,
                   std::string_view second_text, const ListChoice& choice) {
  const console::Screen& screen = console.screen;
  const BoxArea& area = layout.area;
  // The title is the folder: its end says which one it is.
  draw_box_with_texts(console, area, path_in_cells(screen, first_text, box_text_cells(area)), second_text,
                      area.top + 2);
  draw_rule(console, area, area.top + 3, box_colour);
  draw_rule(console, area, layout.buttons_row - 1, box_colour);

  const bool scrolls = can_scroll(choice, layout);
  for (int row = 0; row < layout.visible_items; ++row) {
    const int at = choice.top + row;
    const int screen_row = layout.first_item_row + row;
    if (at < count(choice)) {
      const unsigned char colour = at == choice.selected ? chosen_colour : box_colour;
      const std::string shown = name_in_cells(screen, choice.items[static_cast<std::size_t>(at)], layout.item_width);
      console::put_cells(console, screen_row, layout.item_left - 1,
                         " " + fit_cells(screen, shown, layout.item_width) + " ", colour);
    }
    if (scrolls) {
      std::string_view mark = ":";
      if (row == 0) {
        mark = "^";
      } else if (row == layout.visible_items - 1) {
        mark = "v";
      } else if (row - 1 == thumb_row(choice, layout)) {
        mark = "#";
      }
      console::put_cells(console, screen_row, layout.scroll_col, mark, box_colour);
    }
  }
  console::put_cells(console, layout.buttons_row, layout.ok_left, ok_button, button_colour);
  console::put_cells(console, layout.buttons_row, layout.cancel_left, cancel_button, button_colour);
  const int shown_row = std::clamp(choice.selected - choice.top, 0, layout.visible_items - 1);
  console::place_cursor(console, layout.first_item_row + shown_row, layout.item_left);
}

std::string run_list_box(console::Console& console, std::string_view first_text, std::string_view second_text,
                         std::span<const std::string> items) {
  ListChoice choice;
  choice.items = non_empty_items(items);
  const ListBoxLayout layout =
      list_box_layout(console.screen, console::visible_part(console), first_text, second_text, choice.items);
  const SavedScreen saved = save_screen(console, layout.area);
  console::show_cursor(console, false);
  BoxState state = BoxState::open;
  while (state == BoxState::open) {
    draw_list_box(console, layout, first_text, second_text, choice);
    state = list_box_event(choice, console::read_event(console), layout);
  }
  restore_screen(console, saved);
  console::show_cursor(console, true);
  if (state != BoxState::accepted || choice.items.empty()) return {};
  return std::string(choice.items[static_cast<std::size_t>(choice.selected)]);
}

}  // namespace dialogs
