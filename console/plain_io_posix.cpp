#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "console/glyphs.hpp"
#include "console/key_decoder.hpp"
#include "console/plain_io.hpp"
#include "console/tty.hpp"

namespace console::plain_io {

namespace {

bool keys_from_terminal = false;
termios run_modes{};  // the terminal's modes between key waits

void write_bytes(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a closed pipe: the operator sees nothing more
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

// Whether more bytes of the key pressed arrive: the rest of an escape
// sequence or of a UTF-8 character comes with its first byte.
bool more_bytes_of(const std::string& key) {
  if (decode_input(key, false).consumed != 0) return false;
  pollfd input{STDIN_FILENO, POLLIN, 0};
  while (true) {
    const int ready = ::poll(&input, 1, lone_escape_ms);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

}  // namespace

void open_input() {
  if (!tty::input_is_terminal() || !tty::take_modes()) return;
  run_modes = tty::found_modes();
  run_modes.c_lflag &= ~static_cast<tcflag_t>(ISIG);
  keys_from_terminal = tty::set_modes(run_modes);
}

void close_input() {
  if (!keys_from_terminal) return;
  tty::give_back();
  keys_from_terminal = false;
}

void write_out(const char* data, std::size_t size) {
  const int fd = tty::screen_output();
  if (::isatty(fd) == 1) {
    const std::string shown = visible_text(std::string_view(data, size));
    write_bytes(fd, shown.data(), shown.size());
    return;
  }
  write_bytes(fd, data, size);
}

void write_standard_output(const char* data, std::size_t size) { write_bytes(STDOUT_FILENO, data, size); }

bool read_byte(char& byte) {
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

std::string read_key() {
  char byte = 0;
  if (!keys_from_terminal) return read_byte(byte) ? std::string(1, byte) : std::string();
  // No line editing and no echo for the wait alone; keys typed before it
  // are already queued and end it at once.
  termios key_modes = run_modes;
  key_modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
  key_modes.c_cc[VMIN] = 1;
  key_modes.c_cc[VTIME] = 0;
  tty::set_modes(key_modes);
  std::string key;
  if (read_byte(byte)) {
    key += byte;
    while (more_bytes_of(key) && read_byte(byte)) key += byte;
  }
  tty::set_modes(run_modes);
  return key;
}

bool output_is_terminal() { return ::isatty(tty::screen_output()) == 1; }
bool screen_is_standard_output() { return tty::screen_output() == STDOUT_FILENO; }
bool input_is_terminal() { return tty::input_is_terminal(); }

}  // namespace console::plain_io
