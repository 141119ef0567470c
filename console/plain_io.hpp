// Standard streams for the plain console form, as raw bytes: no line-end
// translation, no buffering by the C library.
#pragma once

#include <cstddef>

namespace console::plain_io {

// The screen's bytes: standard output, or on Windows standard error when
// only that is a console.
void write_out(const char* data, std::size_t size);
// Standard output itself, whatever it is: answers such as --help that belong
// in a pipe or a file.
void write_standard_output(const char* data, std::size_t size);
// One byte of standard input; false at end of input or on an error.
bool read_byte(char& byte);
bool output_is_terminal();
bool input_is_terminal();

}  // namespace console::plain_io
