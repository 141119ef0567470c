#include "dialogs/input_box.hpp"

#include <algorithm>

namespace dialogs {

namespace {

constexpr int narrowest_field = 40;

std::size_t character_after(const console::Screen& screen, std::string_view text, std::size_t at) {
  return at >= text.size() ? text.size() : at + console::character_length(screen, text.substr(at));
}

std::size_t character_before(const console::Screen& screen, std::string_view text, std::size_t at) {
  std::size_t previous = 0;
  for (std::size_t i = 0; i < at; i = character_after(screen, text, i)) previous = i;
  return previous;
}

// Byte offset of the character in cell number `cells` (from 0) of the text.
std::size_t offset_of_cell(const console::Screen& screen, std::string_view text, int cells) {
  return first_cells(screen, text, cells).size();
}

bool inside(int col, int left, std::string_view label) {
  return col >= left && col < left + static_cast<int>(label.size());
}

// The first character of the field's view, so that the cursor stays in it.
int view_start(const console::Screen& screen, const InputField& field, int width) {
  const int cursor_cells = text_cells(screen, std::string_view(field.text).substr(0, field.cursor));
  return std::max(0, cursor_cells - width + 1);
}

}  // namespace

InputBoxLayout input_box_layout(const console::Screen& screen, int row, int col, std::string_view first_text,
                                std::string_view second_text) {
  const int wanted = std::max({text_cells(screen, first_text), text_cells(screen, second_text), narrowest_field});
  const int inner = std::max(std::min(wanted + 2, screen.width - 2), 2 * static_cast<int>(ok_button.size()) + 3);
  InputBoxLayout layout;
  layout.area = centred_area(screen, row, col, 6, inner + 2);
  layout.field_row = layout.area.top + 2;
  layout.field_left = layout.area.left + 2;
  layout.field_width = inner - 2;
  layout.buttons_row = layout.area.top + 4;
  const int buttons_width = static_cast<int>(ok_button.size() + 3 + cancel_button.size());
  layout.ok_left = layout.area.left + 1 + (inner - buttons_width) / 2;
  layout.cancel_left = layout.ok_left + static_cast<int>(ok_button.size()) + 3;
  return layout;
}

BoxState input_box_event(InputField& field, const console::InputEvent& event, const InputBoxLayout& layout,
                         const console::Screen& screen) {
  using console::Key;
  std::string& text = field.text;
  switch (event.key) {
    case Key::character: {
      const auto byte = static_cast<unsigned char>(event.ch);
      if (byte < 0x20 || byte == 0x7F || text.size() >= input_limit) break;
      text.insert(field.cursor, 1, event.ch);
      ++field.cursor;
      break;
    }
    case Key::backspace:
      if (field.cursor > 0) {
        const std::size_t start = character_before(screen, text, field.cursor);
        text.erase(start, field.cursor - start);
        field.cursor = start;
      }
      break;
    case Key::delete_key:
      text.erase(field.cursor, character_after(screen, text, field.cursor) - field.cursor);
      break;
    case Key::left:
      field.cursor = character_before(screen, text, field.cursor);
      break;
    case Key::right:
      field.cursor = character_after(screen, text, field.cursor);
      break;
    case Key::home:
      field.cursor = 0;
      break;
    case Key::end:
      field.cursor = text.size();
      break;
    case Key::enter:
      return BoxState::accepted;
    case Key::escape:
    case Key::end_of_input:
      return BoxState::cancelled;
    case Key::mouse_press:
      if (event.button != 1) break;
      if (event.row == layout.buttons_row && inside(event.col, layout.ok_left, ok_button)) return BoxState::accepted;
      if (event.row == layout.buttons_row && inside(event.col, layout.cancel_left, cancel_button)) {
        return BoxState::cancelled;
      }
      if (event.row == layout.field_row && event.col >= layout.field_left &&
          event.col < layout.field_left + layout.field_width) {
        const int cell = view_start(screen, field, layout.field_width) + event.col - layout.field_left;
        field.cursor = offset_of_cell(screen, text, cell);
      }
      break;
    default:
      break;
  }
  return BoxState::open;
}

void draw_input_box(console::Console& console, const InputBoxLayout& layout, std::string_view first_text,
                    std::string_view second_text, const InputField& field) {
  const console::Screen& screen = console.screen;
  const BoxArea& area = layout.area;
  const int text_width = area.width - 4;
  draw_frame(console, area, box_colour);
  console::put_cells(console, area.top + 1, area.left + 2, fit_cells(screen, first_text, text_width), box_colour);
  console::put_cells(console, area.top + 3, area.left + 2, fit_cells(screen, second_text, text_width), hint_colour);

  const int start = view_start(screen, field, layout.field_width);
  const std::string_view shown = std::string_view(field.text).substr(offset_of_cell(screen, field.text, start));
  console::put_cells(console, layout.field_row, layout.field_left, fit_cells(screen, shown, layout.field_width),
                     field_colour);
  console::put_cells(console, layout.buttons_row, layout.ok_left, ok_button, button_colour);
  console::put_cells(console, layout.buttons_row, layout.cancel_left, cancel_button, button_colour);

  const int cursor_cells = text_cells(screen, std::string_view(field.text).substr(0, field.cursor));
  console::place_cursor(console, layout.field_row, layout.field_left + cursor_cells - start);
}

std::string run_input_box(console::Console& console, int row, int col, std::string_view first_text,
                          std::string_view second_text, std::string_view default_text) {
  const InputBoxLayout layout = input_box_layout(console.screen, row, col, first_text, second_text);
  const SavedScreen saved = save_screen(console, layout.area);
  InputField field{std::string(default_text.substr(0, input_limit)), 0};
  field.cursor = field.text.size();
  console::show_cursor(console, true);
  BoxState state = BoxState::open;
  while (state == BoxState::open) {
    draw_input_box(console, layout, first_text, second_text, field);
    state = input_box_event(field, console::read_event(console), layout, console.screen);
  }
  restore_screen(console, saved);
  return state == BoxState::accepted ? field.text : std::string();
}

}  // namespace dialogs
