#include "console/console.hpp"

#include "console/number_form.hpp"
#include "console/plain_io.hpp"

namespace console {

namespace {

// Plain output is gathered and written in large pieces; flush() runs before
// every wait, so the operator always sees everything before a key is read.
constexpr std::size_t plain_flush_size = 16 * 1024;

void plain_write(Console& console, std::string_view bytes) {
  console.plain_pending.append(bytes);
  if (console.plain_pending.size() >= plain_flush_size) flush(console);
}

}  // namespace

void open_console(Console& console) { console.form = Form::plain; }

void close_console(Console& console) { flush(console); }

void flush(Console& console) {
  if (console.plain_pending.empty()) return;
  plain_io::write_out(console.plain_pending.data(), console.plain_pending.size());
  console.plain_pending.clear();
}

void set_screen_size(Console& console, int columns, int rows) { set_size(console.screen, columns, rows); }

void set_mouse_input(Console& console, bool on) { console.mouse_input = on; }

void select_mouse_events(Console& console, int buttons, int kinds) {
  console.mouse_buttons = buttons;
  console.mouse_kinds = kinds;
}

void set_colours(Console& console, int foreground, int background) {
  set_colours(console.screen, foreground, background);
}

void clear_screen(Console& console) { clear(console.screen); }

void print_text(Console& console, std::string_view text) {
  print_text(console.screen, text);
  plain_write(console, text);
}

void print_number(Console& console, long double value) { print_text(console, number_form(value)); }

void line_end(Console& console) {
  line_end(console.screen);
  plain_write(console, "\n");
}

void set_title(Console&, std::string_view) {
  // The plain form has no window whose title could be set.
}

std::string wait_for_key(Console& console) {
  flush(console);
  char byte = 0;
  if (!plain_io::read_byte(byte)) return {};
  return std::string(1, byte);
}

InputEvent read_event(Console& console) {
  flush(console);
  return InputEvent{};
}

void put_cells(Console& console, int row, int col, std::string_view bytes, unsigned char attr) {
  write_cells(console.screen, row, col, bytes, attr);
}

void place_cursor(Console& console, int row, int col) { place_cursor(console.screen, row, col); }

void show_cursor(Console&, bool) {
  // The plain form has no cursor to show.
}

}  // namespace console
