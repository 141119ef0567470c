#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/input_records.hpp"
#include "console/drawn_cells.hpp"
#include "console/terminal.hpp"
#include "console/utf16_cells.hpp"
#include "console/view.hpp"

namespace console::terminal {

namespace {

namespace records = console::input_records;

// The record values the decoder knows are the system's.
static_assert(records::windows::vk_return == VK_RETURN && records::windows::vk_escape == VK_ESCAPE &&
              records::windows::vk_back == VK_BACK && records::windows::vk_tab == VK_TAB &&
              records::windows::vk_prior == VK_PRIOR && records::windows::vk_next == VK_NEXT &&
              records::windows::vk_end == VK_END && records::windows::vk_home == VK_HOME &&
              records::windows::vk_left == VK_LEFT && records::windows::vk_up == VK_UP &&
              records::windows::vk_right == VK_RIGHT && records::windows::vk_down == VK_DOWN &&
              records::windows::vk_insert == VK_INSERT && records::windows::vk_delete == VK_DELETE &&
              records::windows::vk_f1 == VK_F1 && records::windows::vk_f12 == VK_F12);
static_assert(records::windows::vk_shift == VK_SHIFT && records::windows::vk_control == VK_CONTROL &&
              records::windows::vk_menu == VK_MENU && records::windows::vk_capital == VK_CAPITAL &&
              records::windows::vk_numlock == VK_NUMLOCK && records::windows::vk_scroll == VK_SCROLL &&
              records::windows::vk_lshift == VK_LSHIFT && records::windows::vk_rshift == VK_RSHIFT &&
              records::windows::vk_lcontrol == VK_LCONTROL && records::windows::vk_rcontrol == VK_RCONTROL &&
              records::windows::vk_lmenu == VK_LMENU && records::windows::vk_rmenu == VK_RMENU &&
              records::windows::vk_lwin == VK_LWIN && records::windows::vk_rwin == VK_RWIN);
static_assert(records::windows::left_alt_pressed == LEFT_ALT_PRESSED &&
              records::windows::right_alt_pressed == RIGHT_ALT_PRESSED &&
              records::windows::from_left_1st_button_pressed == FROM_LEFT_1ST_BUTTON_PRESSED &&
              records::windows::rightmost_button_pressed == RIGHTMOST_BUTTON_PRESSED &&
              records::windows::from_left_2nd_button_pressed == FROM_LEFT_2ND_BUTTON_PRESSED &&
              records::windows::mouse_moved == MOUSE_MOVED && records::windows::double_click == DOUBLE_CLICK &&
              records::windows::mouse_wheeled == MOUSE_WHEELED);

// The console as found, given back by close(), and what it shows now.
struct State {
  bool open = false;
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
  DWORD input_mode = 0;
  DWORD output_mode = 0;
  WORD attributes = 0x07;
  CONSOLE_CURSOR_INFO cursor{};
  std::wstring title;  // as found
  bool title_changed = false;
  bool mouse = false;
  bool cursor_visible = true;
  std::uint32_t buttons = 0;    // the mouse buttons down at the last mouse record
  bool utf8 = false;            // the program's code page is UTF-8: records are read as UTF-16
  char16_t high_surrogate = 0;  // the first half of a character typed in two records
  int rows = 0;                 // the console window's size in cells
  int cols = 0;
  View view;         // the part of the model the window shows
  DrawnCells drawn;  // what the console shows of the model
};

State state;

// A double-width character's halves, marked as the console knows them.
WORD half_mark(CellHalf half) {
  switch (half) {
    case CellHalf::left: return COMMON_LVB_LEADING_BYTE;
    case CellHalf::right: return COMMON_LVB_TRAILING_BYTE;
    case CellHalf::whole: break;
  }
  return 0;
}

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

void read_window_size() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(state.out, &info)) return;
  state.rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  state.cols = info.srWindow.Right - info.srWindow.Left + 1;
}

std::wstring console_title() {
  std::wstring title(32768, L'\0');  // the longest title a console keeps
  const DWORD length = ::GetConsoleTitleW(title.data(), static_cast<DWORD>(title.size()));
  title.resize(std::min<std::size_t>(length, title.size() - 1));
  return title;
}

// A program whose code page is UTF-8 reads records in UTF-16, so that a typed
// character the console's own code page cannot hold arrives as itself.
bool read_record(INPUT_RECORD& record, DWORD& got) {
  return (state.utf8 ? ::ReadConsoleInputW(state.in, &record, 1, &got)
                     : ::ReadConsoleInputA(state.in, &record, 1, &got)) != FALSE;
}

// The record as the decoder takes it; false for one that counts for nothing
// (focus, menu and size records, key releases, modifier keys).
bool decode(const INPUT_RECORD& record, InputEvent& event) {
  if (record.EventType == KEY_EVENT) {
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    records::KeyRecord decoded{key.bKeyDown != FALSE, key.wVirtualKeyCode, 0,
                               static_cast<std::uint32_t>(key.dwControlKeyState)};
    if (!state.utf8) {
      decoded.ch = key.uChar.AsciiChar;
    } else if (decoded.key_down && !records::take_utf16_character(static_cast<char16_t>(key.uChar.UnicodeChar),
                                                                  state.high_surrogate, decoded)) {
      return false;
    }
    return records::decode_key(decoded, event);
  }
  if (record.EventType == MOUSE_EVENT && state.mouse) {
    const MOUSE_EVENT_RECORD& mouse = record.Event.MouseEvent;
    if (!records::decode_mouse(
            {mouse.dwMousePosition.X, mouse.dwMousePosition.Y, static_cast<std::uint32_t>(mouse.dwButtonState),
             static_cast<std::uint32_t>(mouse.dwEventFlags)},
            state.buttons, event)) {
      return false;
    }
    event.row += state.view.top - 1;  // the window shows the model from there
    event.col += state.view.left - 1;
    return true;
  }
  return false;
}

}  // namespace

bool usable() { return is_console(::GetStdHandle(STD_INPUT_HANDLE)) && is_console(screen_handle()); }

bool open() {
  if (state.open) return true;
  if (!usable()) return false;
  state = State{};
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
  state.title = console_title();
  state.utf8 = utf8_cells();
  read_window_size();
  ::SetConsoleMode(state.in, input_mode(false));
  ::SetConsoleMode(state.out, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
  // Control-C never ends the run. A console delivers it as a key; Wine's
  // console host in a terminal leaves it to the terminal, which interrupts.
  ::SetConsoleCtrlHandler(nullptr, TRUE);
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
  if (state.title_changed) ::SetConsoleTitleW(state.title.c_str());
  ::SetConsoleMode(state.in, state.input_mode);
  ::SetConsoleMode(state.out, state.output_mode);
  ::SetConsoleCtrlHandler(nullptr, FALSE);
}

// Names reach the program in its code page: UTF-8 where the manifest is
// honoured, otherwise bytes the console shows in its OEM code page.
bool utf8_cells() { return ::GetACP() == CP_UTF8; }

void set_title(std::string_view title) {
  if (!state.open) return;
  ::SetConsoleTitleA(std::string(title).c_str());
  state.title_changed = true;
}

// First the buffer grows to hold the window, then the window takes its
// size, then the buffer shrinks to exactly that size. A console that cannot
// show a window that large gets the largest it can show, and show() draws
// the model through a view of that size that follows the cursor. (Wine's
// console host in a terminal can show no more than the terminal's rows and
// columns, but takes a larger window and draws its rows below the terminal's
// last row over that row.)
void request_size(int columns, int rows) {
  if (!state.open || columns < 1 || rows < 1 || columns > 9999 || rows > 9999) return;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(state.out, &info)) return;
  const COORD largest = ::GetLargestConsoleWindowSize(state.out);
  if (largest.X > 0) columns = std::min<int>(columns, largest.X);
  if (largest.Y > 0) rows = std::min<int>(rows, largest.Y);
  const COORD wanted{static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
  const COORD grown{(std::max)(wanted.X, info.dwSize.X), (std::max)(wanted.Y, info.dwSize.Y)};
  ::SetConsoleScreenBufferSize(state.out, grown);
  const SMALL_RECT window{0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
  ::SetConsoleWindowInfo(state.out, TRUE, &window);
  ::SetConsoleScreenBufferSize(state.out, wanted);
  read_window_size();
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
  if (!state.open) return whole_screen(screen);
  // A window smaller than the model shows the part around the cursor.
  const View view = follow_cursor(state.view, screen, state.rows > 0 ? state.rows : screen.height,
                                  state.cols > 0 ? state.cols : screen.width);
  if (view != state.view) forget_cells(state.drawn);  // every window cell shows another model cell
  state.view = view;
  // Each run of changed cells is one cell-block write: UTF-8 cells as their
  // characters, one byte per cell in the console's code page otherwise.
  std::vector<CHAR_INFO> piece;
  for (const CellRun& run : take_changed_cells(state.drawn, screen, view)) {
    piece.clear();
    if (screen.utf8) {
      for (const Utf16Cell& cell : utf16_cells(screen, view, run)) {
        CHAR_INFO info{};
        info.Char.UnicodeChar = static_cast<WCHAR>(cell.unit);
        info.Attributes = static_cast<WORD>(cell.attr | half_mark(cell.half));
        piece.push_back(info);
      }
    } else {
      for (int col = run.first; col <= run.last; ++col) {
        const Cell& cell = cell_at(screen, run.row, col);
        CHAR_INFO info{};
        info.Char.AsciiChar = static_cast<CHAR>(cell.ch);
        info.Attributes = cell.attr;
        piece.push_back(info);
      }
    }
    const COORD size{static_cast<SHORT>(piece.size()), 1};
    const SHORT row = static_cast<SHORT>(run.row - view.top);
    SMALL_RECT region{static_cast<SHORT>(run.first - view.left), row, static_cast<SHORT>(run.last - view.left), row};
    if (screen.utf8) {
      ::WriteConsoleOutputW(state.out, piece.data(), size, COORD{0, 0}, &region);
    } else {
      ::WriteConsoleOutputA(state.out, piece.data(), size, COORD{0, 0}, &region);
    }
  }
  // Text written by other means (the system's own messages) takes the
  // current colours; the console's cursor stands where the model's does.
  ::SetConsoleTextAttribute(state.out, attribute(screen));
  const int row = std::clamp(screen.row, 1, screen.height) - view.top;
  const int col = std::clamp(screen.col, 1, screen.width) - view.left;
  ::SetConsoleCursorPosition(state.out, COORD{static_cast<SHORT>(col), static_cast<SHORT>(row)});
  apply_cursor();
  return view;
}

// Blocks on the console's input handle until a record is there, then reads
// it: no polling, so a waiting run costs no processor time, and a console
// host that reads its terminal only for a waiting reader (Wine's) delivers.
bool read_event(const Screen&, int timeout_ms, InputEvent& event) {
  if (!state.open) {
    event = InputEvent{};
    return true;  // end_of_input
  }
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeout_ms < 0 ? 0 : timeout_ms);
  while (true) {
    DWORD wait_ms = INFINITE;
    if (timeout_ms >= 0) {
      const ULONGLONG now = ::GetTickCount64();
      wait_ms = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    }
    const DWORD waited = ::WaitForSingleObject(state.in, wait_ms);
    if (waited == WAIT_TIMEOUT) return false;
    INPUT_RECORD record{};
    DWORD got = 0;
    if (waited != WAIT_OBJECT_0 || !read_record(record, got)) {
      event = InputEvent{};  // the console has gone: end of input
      return true;
    }
    if (got == 1 && decode(record, event)) return true;
  }
}

}  // namespace console::terminal
