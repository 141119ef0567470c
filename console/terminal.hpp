// The terminal form of the console: a real terminal that mirrors the screen
// model cell for cell and delivers keys and mouse clicks. One terminal per
// process. terminal_posix.cpp drives an xterm-compatible terminal; a
// Windows console implements the same functions with the console API.
//
// The console operations change the model first and then call show(), so
// the terminal never holds anything the model does not. When the terminal
// window is smaller than the model, the part on view follows the cursor
// (console/view.hpp), so that the newest output and the prompt of a wait are
// always visible.
#pragma once

#include <string_view>

#include "console/input_event.hpp"
#include "console/screen.hpp"
#include "console/view.hpp"

namespace console::terminal {

// Whether the terminal form can work here: standard input is a terminal (a
// console), and so is the screen output (standard output, or standard error
// when standard output is redirected), and the terminal is not a dumb one.
bool usable();

// Takes the terminal over: no echo, no line editing, Control-C and the other
// control keys arrive as keys; fatal signals, suspend and resize are
// handled. Draws nothing yet. False when it could not: use the plain form.
bool open();

// Gives the terminal back as found (modes, mouse reports, cursor, title)
// and leaves the cursor on a fresh line below the last output, which stays
// readable. Safe to call more than once, and after a failed open().
void close();

// True when the model's cells hold UTF-8 characters; false when they hold
// bytes of the OEM code page 437.
bool utf8_cells();

void set_title(std::string_view title);
// Asks the window for this many columns and rows; a terminal may refuse.
void request_size(int columns, int rows);
// Mouse button reports on or off; they are filtered by the console.
void set_mouse_reports(bool on);
void set_cursor_visible(bool visible);

// Brings the terminal in line with the model: changed cells, the cursor's
// place and visibility. One write to the terminal per call. Returns the part
// of the model the terminal shows now.
View show(const Screen& screen);

// The next key or mouse event, waiting at most timeout_ms (negative: as long
// as it takes). False when the time ran out. When the terminal's input has
// ended (a hangup) the event is Key::end_of_input. While waiting, a resize
// or a resume after a suspend redraws the screen from the model.
bool read_event(const Screen& screen, int timeout_ms, InputEvent& event);

}  // namespace console::terminal
