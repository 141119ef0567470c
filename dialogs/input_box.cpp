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

// Length of the longest start of text of at most `bytes` bytes that cuts no
// character in two.
std::size_t whole_characters(const console::Screen& screen, std::string_view text, std::size_t bytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = character_after(screen, text, end);
    if (next > bytes) break;
    end = next;
  }
  return end;
}

bool inside(int col, int left, std::string_view label) {
  return col >= left && col < left + static_cast<int>(label.size());
}

int cells_between(const console::Screen& screen, std::string_view text, std::size_t from, std::size_t to) {
  return text_cells(screen, text.substr(from, to - from));
}

// Moves the field's view as little as it must: the cursor stays in it, one
// cell left free after the text's end for the cursor there, and no room on
// the right stays empty while text on the left is hidden.
void keep_in_view(InputField& field, int width, const console::Screen& screen) {
  const std::string_view text = field.text;
  field.first = std::min(field.first, field.cursor);
  while (cells_between(screen, text, field.first, field.cursor) > width - 1) {
    field.first = character_after(screen, text, field.first);
  }
  while (field.first > 0) {
    const std::size_t before = character_before(screen, text, field.first);
    if (cells_between(screen, text, before, text.size()) > width - 1) break;
    field.first = before;
  }
}

}  // namespace

InputBoxLayout input_box_layout(const console::Screen& screen, const console::View& view, int row, int col,
                                std::string_view first_text, std::string_view second_text) {
  const int wanted = std::max({text_cells(screen, first_text), text_cells(screen, second_text), narrowest_field});
  const int inner = std::max(std::min(wanted + 2, view.cols - 2), 2 * static_cast<int>(ok_button.size()) + 3);
  InputBoxLayout layout;
  layout.area = centred_area(screen, view, row, col, 6, inner + 2);
  layout.field_row = layout.area.top + 2;
  layout.field_left = layout.area.left + 2;
  layout.field_width = inner - 2;
  layout.buttons_row = layout.area.top + 4;
  const int buttons_width = static_cast<int>(ok_button.size() + 3 + cancel_button.size());
  layout.ok_left = layout.area.left + 1 + (inner - buttons_width) / 2;
  layout.cancel_left = layout.ok_left + static_cast<int>(ok_button.size()) + 3;
  return layout;
}

namespace {

BoxState edit(InputField& field, const console::InputEvent& event, const InputBoxLayout& layout,
              const console::Screen& screen) {
  using console::Key;
  std::string& text = field.text;
  switch (event.key) {
    case Key::character: {
      const auto byte = static_cast<unsigned char>(event.ch);
      const std::string typed = console::typed_text(event);
      if (byte < 0x20 || byte == 0x7F || text.size() + typed.size() > input_limit) break;
      text.insert(field.cursor, typed);
      field.cursor += typed.size();
      break;
    }
    case Key::backspace:
      if (field.cursor > 0) {
        const std::size_t start = character_before(screen, text, field.cursor);
        text.erase(start, field.cursor - start);
        field.cursor = start;
      }
      break;
    case Key::delete_key: text.erase(field.cursor, character_after(screen, text, field.cursor) - field.cursor); break;
    case Key::left: field.cursor = character_before(screen, text, field.cursor); break;
    case Key::right: field.cursor = character_after(screen, text, field.cursor); break;
    case Key::home: field.cursor = 0; break;
    case Key::end: field.cursor = text.size(); break;
    case Key::enter: return BoxState::accepted;
    case Key::escape:
    case Key::end_of_input: return BoxState::cancelled;
    case Key::mouse_press:
      if (event.button != 1) break;
      if (event.row == layout.buttons_row && inside(event.col, layout.ok_left, ok_button)) return BoxState::accepted;
      if (event.row == layout.buttons_row && inside(event.col, layout.cancel_left, cancel_button)) {
        return BoxState::cancelled;
      }
      if (event.row == layout.field_row && event.col >= layout.field_left &&
          event.col < layout.field_left + layout.field_width) {
        const std::string_view shown = std::string_view(text).substr(field.first);
        field.cursor = field.first + first_cells(screen, shown, event.col - layout.field_left).size();
      }
      break;
    default: break;
  }
  return BoxState::open;
}

}  // namespace

BoxState input_box_event(InputField& field, const console::InputEvent& event, const InputBoxLayout& layout,
                         const console::Screen& screen) {
  const BoxState state = edit(field, event, layout, screen);
  keep_in_view(field, layout.field_width, screen);
  return state;
}

void draw_input_box(console::Console& console, const InputBoxLayout& layout, std::string_view first_text,
                    std::string_view second_text, const InputField& field) {
  const console::Screen& screen = console.screen;
  const BoxArea& area = layout.area;
  draw_box_with_texts(console, area, first_text, second_text, area.top + 3);

  const std::string_view shown = std::string_view(field.text).substr(field.first);
  console::put_cells(console, layout.field_row, layout.field_left, fit_cells(screen, shown, layout.field_width),
                     field_colour);
  console::put_cells(console, layout.buttons_row, layout.ok_left, ok_button, button_colour);
  console::put_cells(console, layout.buttons_row, layout.cancel_left, cancel_button, button_colour);

  console::place_cursor(console, layout.field_row,
                        layout.field_left + cells_between(screen, field.text, field.first, field.cursor));
}

std::string run_input_box(console::Console& console, int row, int col, std::string_view first_text,
                          std::string_view second_text, std::string_view default_text) {
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::visible_part(console), row, col, first_text, second_text);
  const SavedScreen saved = save_screen(console, layout.area);
  InputField field{std::string(default_text.substr(0, whole_characters(console.screen, default_text, input_limit))), 0};
  field.cursor = field.text.size();
  keep_in_view(field, layout.field_width, console.screen);
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
