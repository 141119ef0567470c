#include <windows.h>

#include <algorithm>
#include <vector>

#include "console/drawn_cells.hpp"
#include "console/terminal.hpp"

namespace console::terminal {

namespace {

// The console as found, given back by close(), and what it shows now.
struct State {
  bool open = false;
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
  DWORD input_mode = 0;
  DWORD output_mode = 0;
  WORD attributes = 0x07;
  CONSOLE_CURSOR_INFO cursor{};
  bool mouse = false;
  bool cursor_visible = true;
  DWORD buttons = 0;  // the mouse buttons down at the last mouse event
  DrawnCells drawn;  // what the console shows of the model
};

State state;

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// Screen output goes to standard output when it is a console, otherwise to
// standard error.
HANDLE screen_handle() {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  return is_console(out) ? out : ::GetStdHandle(STD_ERROR_HANDLE);
}

// No line editing, no echo, no processed input (Control-C is a key); mouse
// events only when asked for; quick-edit off, or clicks would select text
// instead of reaching the program.
DWORD input_mode(bool mouse) { return ENABLE_EXTENDED_FLAGS | (mouse ? ENABLE_MOUSE_INPUT : 0); }

void apply_cursor() {
  CONSOLE_CURSOR_INFO info = state.cursor;
  if (info.dwSize == 0) info.dwSize = 25;
  info.bVisible = state.cursor_visible ? TRUE : FALSE;
  ::SetConsoleCursorInfo(state.out, &info);
}

// Keys that change no character and end no wait: Control, the Shift keys,
// Alt, Caps Lock, Num Lock and Scroll Lock.
bool is_modifier(WORD key) {
  switch (key) {
    case VK_CONTROL: case VK_SHIFT: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
    case VK_LCONTROL: case VK_RCONTROL: case VK_LSHIFT: case VK_RSHIFT: case VK_LMENU: case VK_RMENU:
    case VK_LWIN: case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// A key press as the console's events tell it; false for one that does not
// count.
bool decode_key(const KEY_EVENT_RECORD& key, InputEvent& event) {
  if (!key.bKeyDown || is_modifier(key.wVirtualKeyCode)) return false;
  const WORD code = key.wVirtualKeyCode;
  const bool alt = (key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
  event = InputEvent{};
  switch (code) {
    case VK_RETURN: event.key = Key::enter; return true;
    case VK_ESCAPE: event.key = Key::escape; return true;
    case VK_BACK: event.key = Key::backspace; return true;
    case VK_TAB: event.key = Key::tab; return true;
    case VK_UP: event.key = Key::up; return true;
    case VK_DOWN: event.key = Key::down; return true;
    case VK_LEFT: event.key = Key::left; return true;
    case VK_RIGHT: event.key = Key::right; return true;
    case VK_HOME: event.key = Key::home; return true;
    case VK_END: event.key = Key::end; return true;
    case VK_PRIOR: event.key = Key::page_up; return true;
    case VK_NEXT: event.key = Key::page_down; return true;
    case VK_INSERT: event.key = Key::insert; return true;
    case VK_DELETE: event.key = Key::delete_key; return true;
    default: break;
  }
  if (code >= VK_F1 && code <= VK_F12) {
    event.key = Key::function;
    event.function_number = code - VK_F1 + 1;
    return true;
  }
  const char ch = key.uChar.AsciiChar;
  if (ch != 0 && !(alt && code >= 'A' && code <= 'Z')) {
    event.key = Key::character;
    event.ch = ch;
    return true;
  }
  event.key = Key::other;  // Alt with a letter, or a key without a character
  return true;
}

int button_number(DWORD bit) {
  if (bit == FROM_LEFT_1ST_BUTTON_PRESSED) return 1;
  if (bit == RIGHTMOST_BUTTON_PRESSED) return 2;
  if (bit == FROM_LEFT_2ND_BUTTON_PRESSED) return 3;
  return 0;
}

bool decode_mouse(const MOUSE_EVENT_RECORD& mouse, InputEvent& event) {
  event = InputEvent{};
  event.row = mouse.dwMousePosition.Y + 1;
  event.col = mouse.dwMousePosition.X + 1;
  const DWORD before = state.buttons;
  const DWORD now = mouse.dwButtonState & 0x1F;
  if (mouse.dwEventFlags == MOUSE_WHEELED) {
    event.key = static_cast<SHORT>(HIWORD(mouse.dwButtonState)) > 0 ? Key::wheel_up : Key::wheel_down;
    return true;
  }
  state.buttons = now;
  if (mouse.dwEventFlags == MOUSE_MOVED) {
    event.key = Key::mouse_move;
    event.button = button_number(now & (~now + 1));
    return true;
  }
  if (mouse.dwEventFlags != 0) return false;  // a double click is no press of its own
  const DWORD pressed = now & ~before;
  const DWORD released = before & ~now;
  const DWORD changed = pressed != 0 ? pressed : released;
  if (changed == 0) return false;
  event.key = pressed != 0 ? Key::mouse_press : Key::mouse_release;
  event.button = button_number(changed & (~changed + 1));
  return true;
}

}  // namespace

bool usable() { return is_console(::GetStdHandle(STD_INPUT_HANDLE)) && is_console(screen_handle()); }

bool open() {
  if (state.open) return true;
  if (!usable()) return false;
  state.in = ::GetStdHandle(STD_INPUT_HANDLE);
  state.out = screen_handle();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleMode(state.in, &state.input_mode) || !::GetConsoleMode(state.out, &state.output_mode) ||
      !::GetConsoleScreenBufferInfo(state.out, &info)) {
    return false;
  }
  state.attributes = info.wAttributes;
  ::GetConsoleCursorInfo(state.out, &state.cursor);
  state.cursor_visible = state.cursor.bVisible != FALSE;
  state.mouse = false;
  state.buttons = 0;
  state.drawn = DrawnCells{};
  ::SetConsoleMode(state.in, input_mode(false));
  ::SetConsoleMode(state.out, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
  state.open = true;
  return true;
}

void close() {
  if (!state.open) return;
  state.open = false;
  // What the run wrote stays on the screen; the next output starts on a line
  // of its own, in the colours the console had.
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (::GetConsoleScreenBufferInfo(state.out, &info) && info.dwCursorPosition.X != 0) {
    DWORD written = 0;
    ::WriteConsoleA(state.out, "\r\n", 2, &written, nullptr);
  }
  ::SetConsoleTextAttribute(state.out, state.attributes);
  ::SetConsoleCursorInfo(state.out, &state.cursor);
  ::SetConsoleMode(state.in, state.input_mode);
  ::SetConsoleMode(state.out, state.output_mode);
}

bool utf8_cells() { return false; }  // the console shows OEM code page 437 bytes

void set_title(std::string_view title) {
  if (!state.open) return;
  ::SetConsoleTitleA(std::string(title).c_str());
}

// First the buffer grows to hold the window, then the window takes its
// size, then the buffer shrinks to exactly that size.
void request_size(int columns, int rows) {
  if (!state.open || columns < 1 || rows < 1 || columns > 9999 || rows > 9999) return;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(state.out, &info)) return;
  const COORD wanted{static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
  const COORD grown{(std::max)(wanted.X, info.dwSize.X), (std::max)(wanted.Y, info.dwSize.Y)};
  ::SetConsoleScreenBufferSize(state.out, grown);
  const SMALL_RECT window{0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
  ::SetConsoleWindowInfo(state.out, TRUE, &window);
  ::SetConsoleScreenBufferSize(state.out, wanted);
}

void set_mouse_reports(bool on) {
  if (!state.open) return;
  state.mouse = on;
  ::SetConsoleMode(state.in, input_mode(on));
}

void set_cursor_visible(bool visible) {
  if (!state.open) return;
  state.cursor_visible = visible;
  apply_cursor();
}

View show(const Screen& screen) {
  const View all = whole_screen(screen);
  if (!state.open) return all;
  // Each run of changed cells is one cell-block write.
  std::vector<CHAR_INFO> piece;
  for (const CellRun& run : take_changed_cells(state.drawn, screen, all)) {
    piece.clear();
    for (int col = run.first; col <= run.last; ++col) {
      const Cell& cell = cell_at(screen, run.row, col);
      CHAR_INFO info{};
      info.Char.AsciiChar = static_cast<CHAR>(cell.ch);
      info.Attributes = cell.attr;
      piece.push_back(info);
    }
    const COORD size{static_cast<SHORT>(piece.size()), 1};
    SMALL_RECT region{static_cast<SHORT>(run.first - 1), static_cast<SHORT>(run.row - 1),
                      static_cast<SHORT>(run.last - 1), static_cast<SHORT>(run.row - 1)};
    ::WriteConsoleOutputA(state.out, piece.data(), size, COORD{0, 0}, &region);
  }
  // Text written by other means (the system's own messages) takes the
  // current colours; the console's cursor stands where the model's does.
  ::SetConsoleTextAttribute(state.out, attribute(screen));
  const int row = (std::min)((std::max)(screen.row, 1), screen.height);
  const int col = (std::min)((std::max)(screen.col, 1), screen.width);
  ::SetConsoleCursorPosition(state.out, COORD{static_cast<SHORT>(col - 1), static_cast<SHORT>(row - 1)});
  apply_cursor();
  return all;
}

bool read_event(const Screen&, int timeout_ms, InputEvent& event) {
  if (!state.open) {
    event = InputEvent{};
    return true;  // end_of_input
  }
  const ULONGLONG start = ::GetTickCount64();
  while (true) {
    DWORD waiting = 0;
    if (!::GetNumberOfConsoleInputEvents(state.in, &waiting)) {
      event = InputEvent{};  // the console has gone: end of input
      return true;
    }
    if (waiting > 0) {
      INPUT_RECORD record{};
      DWORD got = 0;
      if (!::ReadConsoleInputA(state.in, &record, 1, &got)) {
        event = InputEvent{};
        return true;
      }
      if (got == 1) {
        if (record.EventType == KEY_EVENT && decode_key(record.Event.KeyEvent, event)) return true;
        if (record.EventType == MOUSE_EVENT && state.mouse && decode_mouse(record.Event.MouseEvent, event)) {
          return true;
        }
      }
      continue;  // focus, menu and size events, key releases: not counted
    }
    if (timeout_ms >= 0 && ::GetTickCount64() - start >= static_cast<ULONGLONG>(timeout_ms)) return false;
    ::Sleep(1);
  }
}

}  // namespace console::terminal
