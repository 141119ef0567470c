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

}  // namespace console
