#include <windows.h>

#include <string>
#include <string_view>

#include "console/glyphs.hpp"
#include "console/plain_io.hpp"

namespace console::plain_io {

namespace {

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// Screen output goes to standard output when it is a console, otherwise to
// standard error when that is one; with no console at all, to standard
// output as plain bytes.
HANDLE screen_handle() {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (is_console(out)) return out;
  HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  return is_console(err) ? err : out;
}

void write_all(HANDLE handle, const char* data, std::size_t size) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  while (size > 0) {
    const DWORD piece = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
    DWORD written = 0;
    // A closed pipe or a missing handle: the operator sees nothing more.
    if (!::WriteFile(handle, data, piece, &written, nullptr) || written == 0) return;
    data += written;
    size -= written;
  }
}

bool is_control(unsigned char byte) { return (byte < 0x20 && byte != '\n') || byte == 0x7F; }

void write_wide(HANDLE console, std::u16string_view text) {
  while (!text.empty()) {
    const DWORD piece = text.size() > 0x4000 ? 0x4000 : static_cast<DWORD>(text.size());
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data(), piece, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

// A program whose code page is UTF-8 writes the text as the terminal form
// shows it: valid UTF-8 as its characters, every other byte (and every
// control byte but the line end) as its code page 437 glyph.
void write_utf8_to_console(HANDLE console, const char* data, std::size_t size) {
  const std::string shown = visible_text(std::string_view(data, size));
  if (shown.empty()) return;
  std::u16string wide(shown.size(), u'\0');
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()),
                                           reinterpret_cast<wchar_t*>(wide.data()), static_cast<int>(wide.size()));
  write_wide(console, std::u16string_view(wide.data(), static_cast<std::size_t>(length > 0 ? length : 0)));
}

// On a console no byte of a file name, a path or a course file may act as a
// control (a bell, a backspace, an escape sequence of a console that reads
// them): a control byte is shown as its code page 437 glyph, as the
// terminal form shows it; everything else, line ends included, goes as it is.
void write_to_console(HANDLE console, const char* data, std::size_t size) {
  if (::GetACP() == CP_UTF8) {
    write_utf8_to_console(console, data, size);
    return;
  }
  const char* const end = data + size;
  while (data < end) {
    const char* run = data;
    while (run < end && !is_control(static_cast<unsigned char>(*run))) ++run;
    write_all(console, data, static_cast<std::size_t>(run - data));
    if (run == end) return;
    const wchar_t glyph = static_cast<wchar_t>(cp437_glyph(static_cast<unsigned char>(*run)));
    DWORD written = 0;
    ::WriteConsoleW(console, &glyph, 1, &written, nullptr);
    data = run + 1;
  }
}

}  // namespace

void write_out(const char* data, std::size_t size) {
  HANDLE screen = screen_handle();
  if (is_console(screen)) {
    write_to_console(screen, data, size);
  } else {
    write_all(screen, data, size);
  }
}

void write_standard_output(const char* data, std::size_t size) {
  write_all(::GetStdHandle(STD_OUTPUT_HANDLE), data, size);
}

bool read_byte(char& byte) {
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
  DWORD got = 0;
  // End of a file, a pipe whose writer is gone, or no input at all.
  return ::ReadFile(in, &byte, 1, &got, nullptr) != 0 && got == 1;
}

// Keys on a console reach the plain form only when no output is a console,
// through ReadFile in the console's own line mode.
void open_input() {}
void close_input() {}

std::string read_key() {
  char byte = 0;
  return read_byte(byte) ? std::string(1, byte) : std::string();
}

bool output_is_terminal() { return is_console(screen_handle()); }
bool screen_is_standard_output() { return screen_handle() == ::GetStdHandle(STD_OUTPUT_HANDLE); }
bool input_is_terminal() { return is_console(::GetStdHandle(STD_INPUT_HANDLE)); }

}  // namespace console::plain_io
