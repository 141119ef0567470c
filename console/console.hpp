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

#include "console/input_event.hpp"
#include "console/screen.hpp"
#include "console/view.hpp"

namespace console {

enum class Form { plain, terminal };

struct Console {
  Screen screen;
  Form form = Form::plain;
  View view;  // the part of the screen on the terminal, as last shown
  bool mouse_input = false;
  int mouse_buttons = 0;      // bit 1: first button, bit 2: second button
  int mouse_kinds = 0;        // 1 movement, 2 double click, 4 press, 8 release
  std::string plain_pending;  // plain-form output not yet written
  // False while a run converts one file after another: the waits that follow
  // a message of one file (its warnings, refusal, failures) return at once,
  // and the run waits once, at its end. Read by those waits, not here.
  bool message_waits = true;
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

// Writes the lines, each with "\n", to standard output as plain bytes when
// the screen does not go there: standard output is then a file or a pipe
// (the screen is on a terminal or standard error), which keeps what a run
// ends with, such as its report. Where the screen goes to standard output,
// the lines are there already and nothing more is written.
void copy_to_standard_output(Console& console, std::span<const std::string> lines);

// The next key or mouse event (console/input_event.hpp). The plain form has
// no events to give and answers end_of_input at once.
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
