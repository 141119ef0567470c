// Standard streams for the plain console form, as raw bytes: no line-end
// translation, no buffering by the C library.
#pragma once

#include <cstddef>

namespace console::plain_io {

void write_out(const char* data, std::size_t size);
// One byte of standard input; false at end of input or on an error.
bool read_byte(char& byte);
bool output_is_terminal();
bool input_is_terminal();

}  // namespace console::plain_io
