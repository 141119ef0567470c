// The console the operator sees: the screen model plus the form that shows
// it. The terminal form draws the model on a terminal and reads keys and
// mouse clicks. The plain form (no terminal for the screen, a dumb one, or
// keys that do not come from a terminal) prints text as bytes, a line end as
// "\n", nothing for clearing and colours; into a file or a pipe the bytes go
// unchanged, on a terminal every control byte shows as its glyph. Its key
// wait reads one key the moment it is pressed when standard input is a
// terminal, otherwise one byte of standard input, returning at once at end of
// input.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "console/screen.hpp"
#include "console/view.hpp"

namespace console {

enum class Form { plain, terminal };

struct Console {
  Screen screen;
  Form form = Form::plain;
  View view;  // the part of the screen on the terminal, as last shown
  bool mouse_input = false;
  int mouse_buttons = 0;  // bit 1: first button, bit 2: second button
  int mouse_kinds = 0;    // 1 movement, 2 double click, 4 press, 8 release
  std::string plain_pending;  // plain-form output not yet written
};

// Chooses the form: the terminal form when standard input is a terminal and
// so is the screen output (standard output, or standard error when standard
// output is redirected), and the terminal can show it; the plain form
// otherwise.
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
// comes back as bytes (every caller discards it). Plain form: one key, or
// one byte of standard input when that is no terminal; the empty text at end
// of input.
std::string wait_for_key(Console& console);

// Plain form: the next byte of a line the operator types (on a terminal with
// its own line editing and echo) or a script gives; false at end of input.
bool read_line_byte(Console& console, char& byte);

// The part of the screen the operator sees: all of it, unless a terminal
// smaller than the screen shows only the part around the cursor.
View visible_part(const Console& console);

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
  char ch = 0;  // a character's (first) byte
  int function_number = 0;
  int button = 0;
  int row = 0;  // mouse position, from 1
  int col = 0;
  bool double_click = false;  // a press the console reported as the second of a double click
  std::string tail = {};  // the other bytes of a UTF-8 character of several
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// The bytes of a character event.
std::string typed_text(const InputEvent& event);

InputEvent read_event(Console& console);

// Whether an event ends a wait for a key: any key, or a mouse event of a
// selected kind (move, double click, press, release) with a selected button.
// A wheel turn never does.
bool ends_key_wait(const Console& console, const InputEvent& event);

// Writes cells straight into the screen (clipped to it) without moving the
// cursor or scrolling: the boxes draw themselves with it. A terminal shows
// them with the next placement of the cursor or wait, so that a whole box
// reaches it at once, never half drawn.
void put_cells(Console& console, int row, int col, std::string_view bytes, unsigned char attr);
// Puts back cells saved from the screen before (what a box covered).
void put_cells(Console& console, int row, int col, std::span<const Cell> cells);
// The cursor where the boxes want it; place_cursor clears a pending scroll.
void place_cursor(Console& console, int row, int col);
void show_cursor(Console& console, bool visible);

}  // namespace console
