#include <unistd.h>

#include <cerrno>

#include "console/plain_io.hpp"

namespace console::plain_io {

void write_out(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(STDOUT_FILENO, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a closed pipe: the operator sees nothing more
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

// Standard output is the screen here whatever it is.
void write_standard_output(const char* data, std::size_t size) { write_out(data, size); }

bool read_byte(char& byte) {
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

bool output_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }
bool input_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }

}  // namespace console::plain_io
