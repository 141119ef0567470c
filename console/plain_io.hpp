// Standard streams for the plain console form, as raw bytes: no line-end
// translation, no buffering by the C library.
#pragma once

#include <cstddef>
#include <string>

namespace console::plain_io {

// From open_input() to close_input(), keys from a POSIX terminal on standard
// input are the run's alone: Control-C and the other signal keys arrive as
// bytes and end no run, as in the terminal form. The terminal's modes come
// back at close_input(), at exit() and at a fatal signal. A Windows console
// keeps its own modes (keys reach the plain form there only when no output is
// a console).
void open_input();
void close_input();

// Writes to where the screen goes. Into a file or a pipe the bytes go
// unchanged; a terminal gets every control byte as its glyph, so that no
// byte of a file name, a path or a course file acts as a command.
void write_out(const char* data, std::size_t size);
// Standard output itself, whatever it is: answers such as --help that belong
// in a pipe or a file.
void write_standard_output(const char* data, std::size_t size);
// One byte of standard input as typed, with a terminal's line editing and
// echo; false at end of input or on an error.
bool read_byte(char& byte);
// One key: from a terminal the moment it is pressed, without line editing
// or echo; otherwise one byte. The empty text at end of input.
std::string read_key();
bool output_is_terminal();
// Whether the screen goes to standard output: it does unless standard output
// is no terminal (or console) while standard error is one, which then
// takes the screen.
bool screen_is_standard_output();
bool input_is_terminal();

}  // namespace console::plain_io
