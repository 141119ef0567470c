#include "console/console.hpp"

#include "console/number_form.hpp"
#include "console/plain_io.hpp"
#include "console/terminal.hpp"

namespace console {

namespace {

// Plain output is gathered and written in large pieces; flush() runs before
// every wait, so the operator always sees everything before a key is read.
constexpr std::size_t plain_flush_size = 16 * 1024;

// Whole texts only reach the output together, so that a character is
// never cut in two between writes.
void plain_write(Console& console, std::string_view bytes) {
  if (console.form != Form::plain) return;
  if (console.plain_pending.size() + bytes.size() > plain_flush_size) flush(console);
  console.plain_pending.append(bytes);
}

void show(Console& console) {
  if (console.form == Form::terminal) console.view = terminal::show(console.screen);
}

// Console mouse event kinds: 1 movement, 2 double click, 4 press, 8
// release; 0 for an event that is none of them.
int mouse_kind(const InputEvent& event) {
  switch (event.key) {
    case Key::mouse_press: return event.double_click ? 2 : 4;
    case Key::mouse_release: return 8;
    case Key::mouse_move: return 1;
    default: return 0;
  }
}

// Console mouse selection: bit 1 the first (left) button, bit 2 the second
// (right), and the kinds above.
bool mouse_event_counts(const Console& console, const InputEvent& event) {
  if (!console.mouse_input) return false;
  if ((console.mouse_kinds & mouse_kind(event)) == 0) return false;
  const int bit = event.button == 1 ? 1 : event.button == 2 ? 2 : event.button == 3 ? 4 : 0;
  return (console.mouse_buttons & bit) != 0;
}

// What a counted event gives back: a character as itself, a key without
// one as 0 and its keyboard scan code, a mouse button press as FF FF 4 and
// the button number.
std::string key_result(const InputEvent& event) {
  const auto scan = [](unsigned char code) { return std::string{'\0', static_cast<char>(code)}; };
  switch (event.key) {
    case Key::character: return typed_text(event);
    case Key::enter: return "\r";
    case Key::escape: return "\x1b";
    case Key::backspace: return "\b";
    case Key::tab: return "\t";
    case Key::up: return scan(0x48);
    case Key::down: return scan(0x50);
    case Key::left: return scan(0x4B);
    case Key::right: return scan(0x4D);
    case Key::home: return scan(0x47);
    case Key::end: return scan(0x4F);
    case Key::page_up: return scan(0x49);
    case Key::page_down: return scan(0x51);
    case Key::insert: return scan(0x52);
    case Key::delete_key: return scan(0x53);
    case Key::function:
      return scan(static_cast<unsigned char>(event.function_number <= 10 ? 0x3A + event.function_number
                                                                         : 0x85 + event.function_number - 11));
    case Key::mouse_press:
    case Key::mouse_release:
    case Key::mouse_move:
      return std::string{'\xff', '\xff', static_cast<char>(mouse_kind(event)), static_cast<char>(event.button)};
    default: return scan(0);
  }
}

bool is_key(Key key) {
  return key != Key::mouse_press && key != Key::mouse_release && key != Key::mouse_move && key != Key::wheel_up &&
         key != Key::wheel_down && key != Key::end_of_input;
}

}  // namespace

bool ends_key_wait(const Console& console, const InputEvent& event) {
  return is_key(event.key) || mouse_event_counts(console, event);
}

void open_console(Console& console) {
  console.form = Form::plain;
  if (terminal::usable() && terminal::open()) {
    console.form = Form::terminal;
    console.screen.utf8 = terminal::utf8_cells();
    return;
  }
  plain_io::open_input();
}

void close_console(Console& console) {
  flush(console);
  if (console.form == Form::terminal) {
    terminal::close();
  } else {
    plain_io::close_input();
  }
}

void flush(Console& console) {
  if (console.plain_pending.empty()) return;
  plain_io::write_out(console.plain_pending.data(), console.plain_pending.size());
  console.plain_pending.clear();
}

void copy_to_standard_output(Console& console, std::span<const std::string> lines) {
  if (plain_io::screen_is_standard_output()) return;
  flush(console);
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  plain_io::write_standard_output(text.data(), text.size());
}

void set_screen_size(Console& console, int columns, int rows) {
  set_size(console.screen, columns, rows);
  if (console.form == Form::terminal && console.screen.width == columns && console.screen.height == rows) {
    terminal::request_size(columns, rows);
    show(console);
  }
}

void set_mouse_input(Console& console, bool on) {
  console.mouse_input = on;
  if (console.form == Form::terminal) terminal::set_mouse_reports(on);
}

void select_mouse_events(Console& console, int buttons, int kinds) {
  console.mouse_buttons = buttons;
  console.mouse_kinds = kinds;
}

void set_colours(Console& console, int foreground, int background) {
  set_colours(console.screen, foreground, background);
}

void clear_screen(Console& console) {
  clear(console.screen);
  show(console);
}

void print_text(Console& console, std::string_view text) {
  if (console.form == Form::terminal) {
    while (!text.empty()) {  // one terminal write per row piece
      print_piece(console.screen, text);
      show(console);
    }
    return;
  }
  print_text(console.screen, text);
  plain_write(console, text);
}

void print_number(Console& console, long double value) { print_text(console, number_form(value)); }

void line_end(Console& console) {
  line_end(console.screen);
  show(console);
  plain_write(console, "\n");
}

void set_title(Console& console, std::string_view title) {
  // The plain form has no window whose title could be set.
  if (console.form == Form::terminal) terminal::set_title(title);
}

std::string wait_for_key(Console& console) {
  flush(console);
  if (console.form == Form::terminal) {
    show(console);
    InputEvent event;
    while (terminal::read_event(console.screen, -1, event)) {
      if (event.key == Key::end_of_input) return {};
      if (ends_key_wait(console, event)) return key_result(event);
    }
    return {};
  }
  return plain_io::read_key();
}

bool read_line_byte(Console& console, char& byte) {
  flush(console);
  return plain_io::read_byte(byte);
}

View visible_part(const Console& console) {
  if (console.form != Form::terminal) return whole_screen(console.screen);
  return console.view;
}

InputEvent read_event(Console& console) {
  flush(console);
  InputEvent event;
  if (console.form == Form::terminal) {
    show(console);
    while (terminal::read_event(console.screen, -1, event)) return event;
  }
  return InputEvent{};
}

void put_cells(Console& console, int row, int col, std::string_view bytes, unsigned char attr) {
  write_cells(console.screen, row, col, bytes, attr);
}

void put_cells(Console& console, int row, int col, std::span<const Cell> cells) {
  put_cells(console.screen, row, col, cells);
}

void place_cursor(Console& console, int row, int col) {
  place_cursor(console.screen, row, col);
  show(console);
}

void show_cursor(Console& console, bool visible) {
  // The plain form has no cursor to show.
  if (console.form != Form::terminal) return;
  terminal::set_cursor_visible(visible);
  show(console);
}

}  // namespace console
