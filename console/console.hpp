// The console the operator sees: the screen model plus the form that shows
// it. The plain form (standard output not a terminal) prints text as bytes,
// a line end as "\n", nothing for clearing and colours, and reads one byte of
// standard input for a key, returning at once at end of input. The terminal
// form draws the model on the terminal and reads keys and mouse clicks.
#pragma once

#include <string>
#include <string_view>

#include "console/screen.hpp"

namespace console {

enum class Form { plain, terminal };

struct Console {
  Screen screen;
  Form form = Form::plain;
  bool mouse_input = false;
  int mouse_buttons = 0;  // bit 1: first button, bit 2: second button
  int mouse_kinds = 0;    // 1 movement, 2 double click, 4 press, 8 release
  std::string plain_pending;  // plain-form output not yet written
};

// Chooses the form: the terminal form when standard input and output are
// both terminals (and the terminal can show it), the plain form otherwise.
void open_console(Console& console);
// Gives the terminal back as it was found; safe to call more than once.
void close_console(Console& console);

void set_screen_size(Console& console, int columns, int rows);
void set_mouse_input(Console& console, bool on);
void select_mouse_events(Console& console, int buttons, int kinds);
void set_colours(Console& console, int foreground, int background);
void clear_screen(Console& console);
void print_text(Console& console, std::string_view text);
void print_number(Console& console, long double value);
void line_end(Console& console);
void set_title(Console& console, std::string_view title);

// Waits for a key press or a selected mouse button press; what was pressed
// comes back as bytes (every caller discards it). Plain form: one byte of
// standard input, or the empty text at end of input.
std::string wait_for_key(Console& console);

// Hands all pending output to the system (before every wait, at the end).
void flush(Console& console);

// What the dialog boxes read: one decoded key or mouse event. The plain form
// has no events to give and answers end_of_input at once.
enum class Key {
  character,  // ch holds the byte
  enter,
  escape,
  backspace,
  tab,
  up,
  down,
  left,
  right,
  home,
  end,
  page_up,
  page_down,
  insert,
  delete_key,
  function,  // function_number 1..12
  mouse_press,    // button 1 left, 2 right, 3 middle; row and col on the screen
  mouse_release,
  mouse_move,
  wheel_up,
  wheel_down,
  other,          // a key of no use to the boxes
  end_of_input,
};

struct InputEvent {
  Key key = Key::end_of_input;
  char ch = 0;
  int function_number = 0;
  int button = 0;
  int row = 0;  // mouse position, from 1
  int col = 0;
  bool double_click = false;  // a press the console reported as the second of a double click
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

InputEvent read_event(Console& console);

// Whether an event ends a wait for a key: any key, or a mouse event of a
// selected kind (move, double click, press, release) with a selected button.
// A wheel turn never does.
bool ends_key_wait(const Console& console, const InputEvent& event);

// Writes cells straight into the screen (clipped to it) without moving the
// cursor or scrolling: the boxes draw themselves with it.
void put_cells(Console& console, int row, int col, std::string_view bytes, unsigned char attr);
// The cursor where the boxes want it; place_cursor clears a pending scroll.
void place_cursor(Console& console, int row, int col);
void show_cursor(Console& console, bool visible);

}  // namespace console
