#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "console/drawn_cells.hpp"
#include "console/glyphs.hpp"
#include "console/key_decoder.hpp"
#include "console/terminal.hpp"
#include "console/view.hpp"
#include "console/tty.hpp"

namespace console::terminal {

namespace {

// Every sequence the terminal form sends, by name (xterm's control
// sequences; every terminal in use today knows them). A '#' stands for a
// decimal number, filled in by with_numbers().
struct EscapeTable {
  std::string_view cancel;            // CAN: ends a sequence a signal cut short
  std::string_view cursor_to;         // CUP: row, column
  std::string_view colours;           // SGR: foreground 30-37/90-97, background 40-47/100-107
  std::string_view default_colours;   // SGR 0
  std::string_view clear_screen;      // CUP to the top left, then ED 2
  std::string_view clear_below;       // ED 0: from the cursor to the end of the screen
  std::string_view hide_cursor;       // DECTCEM off
  std::string_view show_cursor;       // DECTCEM on
  std::string_view mouse_reports_on;  // button reports (1000) in the SGR form (1006)
  std::string_view mouse_reports_off;
  std::string_view push_title;   // XTWINOPS 22;2: the window keeps its title
  std::string_view pop_title;    // XTWINOPS 23;2: the title kept comes back
  std::string_view title_start;  // OSC 2: the title follows, then title_end
  std::string_view title_end;    // BEL
  std::string_view window_size;  // XTWINOPS 8: rows, columns
  std::string_view line_feed;    // LF: the next row, the screen scrolls at the bottom
  std::string_view new_line;     // CR LF
};

constexpr EscapeTable escape{
    .cancel = "\x18",
    .cursor_to = "\x1b[#;#H",
    .colours = "\x1b[#;#m",
    .default_colours = "\x1b[0m",
    .clear_screen = "\x1b[H\x1b[2J",
    .clear_below = "\x1b[J",
    .hide_cursor = "\x1b[?25l",
    .show_cursor = "\x1b[?25h",
    .mouse_reports_on = "\x1b[?1000h\x1b[?1006h",
    .mouse_reports_off = "\x1b[?1006l\x1b[?1000l",
    .push_title = "\x1b[22;2t",
    .pop_title = "\x1b[23;2t",
    .title_start = "\x1b]2;",
    .title_end = "\x07",
    .window_size = "\x1b[8;#;#t",
    .line_feed = "\n",
    .new_line = "\r\n",
};

std::string with_numbers(std::string_view pattern, std::initializer_list<int> numbers) {
  std::string text;
  auto number = numbers.begin();
  for (char c : pattern) {
    if (c == '#' && number != numbers.end()) {
      text += std::to_string(*number++);
    } else {
      text += c;
    }
  }
  return text;
}

constexpr int notified_signals[] = {SIGWINCH, SIGTSTP, SIGCONT};

// The signal handlers pass the signals that need more than a restore on
// through this pipe; read_event and show act on them.
int signal_pipe[2] = {-1, -1};

struct State {
  bool open = false;
  int output = STDOUT_FILENO;  // the terminal the screen goes to
  bool mouse = false;
  bool cursor_visible = true;
  bool size_requested = false;
  bool first_draw = true;
  bool full_redraw = true;
  bool input_ended = false;
  int rows = 0;  // the terminal's size
  int cols = 0;
  int found_rows = 0;  // its size when the run began
  int found_cols = 0;
  View view;               // the part of the model on the terminal
  int exit_row = 0;        // where the prompt goes after the run, and whether it
  bool exit_below = true;  // goes below that row
  DrawnCells drawn;        // what the terminal holds
  std::string title;
  std::string input;  // bytes read but not yet decoded
};

State state;

void write_all(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(state.output, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the terminal is gone; nothing to show it on
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void write_all(std::string_view text) { write_all(text.data(), text.size()); }

void on_notified_signal(int signal) {
  const int saved_errno = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  if (signal_pipe[1] >= 0) (void)::write(signal_pipe[1], &byte, 1);
  errno = saved_errno;
}

void read_size() {
  winsize size{};
  if (::ioctl(state.output, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    state.rows = size.ws_row;
    state.cols = size.ws_col;
  } else {
    state.rows = 24;
    state.cols = 80;
  }
}

bool enter_raw_modes() {
  termios raw = tty::found_modes();
  // No line editing, no echo, no signals from Control-C, Control-Z or
  // Control-\, no flow control and no CR to LF: every key reaches the run.
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT | PARMRK);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  return tty::set_modes(raw);
}

std::string cursor_to(int row, int col) { return with_numbers(escape.cursor_to, {row, col}); }

// Console colour index (1 blue, 2 green, 4 red) to ANSI (1 red, 4 blue).
int ansi_colour(int index) { return ((index & 1) << 2) | (index & 2) | ((index & 4) >> 2); }

std::string colours(unsigned char attr) {
  const int fg = attr & 0x0F;
  const int bg = attr >> 4;
  const int fg_code = fg < 8 ? 30 + ansi_colour(fg) : 90 + ansi_colour(fg - 8);
  const int bg_code = bg < 8 ? 40 + ansi_colour(bg) : 100 + ansi_colour(bg - 8);
  return with_numbers(escape.colours, {fg_code, bg_code});
}

std::string_view mouse_text(bool on) { return on ? escape.mouse_reports_on : escape.mouse_reports_off; }

// What hands the terminal back: default colours, no mouse reports, visible
// cursor, the title as found, the cursor on a fresh line below the output.
std::string give_back_text(int exit_row, bool below_cursor_used) {
  // A signal may have cut a sequence of ours in half.
  std::string text(escape.cancel);
  text += escape.default_colours;
  text += mouse_text(false);
  text += escape.show_cursor;
  if (!state.first_draw) {
    text += cursor_to(exit_row, 1);
    if (below_cursor_used) text += escape.new_line;
    text += escape.clear_below;
  }
  if (!state.title.empty()) text += escape.pop_title;
  if (state.size_requested && state.found_rows > 0) {
    text += with_numbers(escape.window_size, {state.found_rows, state.found_cols});
  }
  return text;
}

void refresh_farewell() { tty::set_farewell(give_back_text(state.exit_row, state.exit_below)); }

void leave_for_suspend() {
  write_all(give_back_text(state.rows, true));
  tty::set_modes(tty::found_modes());
}

void take_back_after_resume() {
  enter_raw_modes();
  std::string text;
  if (state.mouse) text += mouse_text(true);
  if (!state.title.empty()) {
    text += escape.push_title;
    text += escape.title_start;
    text += state.title;
    text += escape.title_end;
  }
  write_all(text);
  read_size();
  state.full_redraw = true;
}

void suspend() {
  leave_for_suspend();
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  struct sigaction ours {};
  ::sigaction(SIGTSTP, &default_action, &ours);
  ::raise(SIGTSTP);  // stops here until the shell continues the run
  ::sigaction(SIGTSTP, &ours, nullptr);
  take_back_after_resume();
}

// Acts on the signals the handlers passed on. True when a redraw is due.
bool take_signals() {
  if (signal_pipe[0] < 0) return false;
  unsigned char bytes[64];
  bool redraw = false;
  while (true) {
    const ssize_t n = ::read(signal_pipe[0], bytes, sizeof bytes);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      if (bytes[i] == SIGTSTP) {
        suspend();
        redraw = true;
      } else if (bytes[i] == SIGCONT) {
        take_back_after_resume();  // also after a stop that was not ours
        redraw = true;
      } else if (bytes[i] == SIGWINCH) {
        read_size();
        state.full_redraw = true;
        redraw = true;
      }
    }
  }
  return redraw;
}

// The glyphs of a run of changed cells. A double-width character that the
// view's edge cuts shows as a blank.
void append_run(std::string& out, const Screen& screen, const View& view, const CellRun& run, int& current_attr) {
  for (int col = run.first; col <= run.last; ++col) {
    const Cell& cell = cell_at(screen, run.row, col);
    if (cell.attr != current_attr) {
      out += colours(cell.attr);
      current_attr = cell.attr;
    }
    if (cut_by_view(cell, col, view)) {
      out += ' ';
    } else {
      append_glyph(out, cell);
    }
  }
}

void draw(const Screen& screen) {
  const View view = follow_cursor(state.view, screen, state.rows, state.cols);
  if (view != state.view || screen.width != state.drawn.width || screen.height != state.drawn.height) {
    state.full_redraw = true;
  }
  std::string out(escape.hide_cursor);
  if (state.full_redraw) {
    if (state.first_draw) {
      // What the terminal showed before the run moves up into its history.
      out += cursor_to(state.rows, 1);
      for (int i = 0; i < state.rows; ++i) out += escape.line_feed;
      state.first_draw = false;
    }
    out += escape.default_colours;
    out += escape.clear_screen;
    state.view = view;
    forget_cells(state.drawn);
    state.full_redraw = false;
  }
  int current_attr = -1;
  for (const CellRun& run : take_changed_cells(state.drawn, screen, view)) {
    out += cursor_to(run.row - view.top + 1, run.first - view.left + 1);
    append_run(out, screen, view, run, current_attr);
  }
  const int cursor_row = screen.row - view.top + 1;
  out += cursor_to(cursor_row, screen.col - view.left + 1);
  if (state.cursor_visible) out += escape.show_cursor;
  write_all(out);
  // After the run the prompt comes below the cursor's row, or on it when
  // nothing stands there yet.
  state.exit_row = cursor_row;
  state.exit_below = screen.col > 1;
  refresh_farewell();
}

}  // namespace

bool usable() {
  const int output = tty::screen_output();
  if (!tty::input_is_terminal() || ::isatty(output) != 1) return false;
  const char* term = std::getenv("TERM");
  return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

bool open() {
  if (state.open) return true;
  if (!tty::take_modes()) return false;
  if (::pipe(signal_pipe) != 0) {
    tty::give_back();
    return false;
  }
  for (int fd : signal_pipe) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  state = State{};
  state.open = true;
  state.output = tty::screen_output();
  read_size();
  state.found_rows = state.rows;
  state.found_cols = state.cols;
  state.exit_row = state.rows;
  refresh_farewell();
  for (int signal : notified_signals) tty::catch_signal(signal, on_notified_signal);
  if (!enter_raw_modes()) {
    close();
    return false;
  }
  return true;
}

void close() {
  if (!state.open) return;
  tty::give_back();
  for (int& fd : signal_pipe) {
    ::close(fd);
    fd = -1;
  }
  state.open = false;
}

bool utf8_cells() { return true; }

void set_title(std::string_view title) {
  std::string clean;
  for (char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) clean += c;  // a control byte would end the title early
  }
  // The title as found is pushed first and popped at the end.
  std::string text(state.title.empty() ? escape.push_title : "");
  state.title = clean.empty() ? " " : clean;
  text += escape.title_start;
  text += state.title;
  text += escape.title_end;
  write_all(text);
  refresh_farewell();
}

void request_size(int columns, int rows) {
  if (state.rows == rows && state.cols == columns) return;
  state.size_requested = true;
  write_all(with_numbers(escape.window_size, {rows, columns}));
  refresh_farewell();
}

void set_mouse_reports(bool on) {
  if (on == state.mouse) return;
  state.mouse = on;
  write_all(mouse_text(on));
}

void set_cursor_visible(bool visible) { state.cursor_visible = visible; }

View show(const Screen& screen) {
  if (!state.open) return whole_screen(screen);
  take_signals();
  draw(screen);
  return state.view;
}

bool read_event(const Screen& screen, int timeout_ms, InputEvent& event) {
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
  while (true) {
    if (take_signals()) draw(screen);
    if (!state.input.empty()) {
      const DecodedInput decoded = decode_input(state.input, state.input_ended);
      if (decoded.consumed > 0) {
        state.input.erase(0, decoded.consumed);
        event = decoded.event;
        return true;
      }
    }
    if (state.input_ended) {
      event = InputEvent{};
      return true;
    }
    int wait_ms = -1;
    if (timeout_ms >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
      wait_ms = left < 0 ? 0 : static_cast<int>(left);
    }
    // An unfinished sequence waits only briefly for its rest.
    if (!state.input.empty() && (wait_ms < 0 || wait_ms > lone_escape_ms)) wait_ms = lone_escape_ms;

    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signal_pipe[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, wait_ms);
    if (ready < 0) {
      if (errno == EINTR) continue;
      state.input_ended = true;
      continue;
    }
    if (ready == 0) {
      if (!state.input.empty()) {
        const DecodedInput decoded = decode_input(state.input, true);
        state.input.erase(0, decoded.consumed);
        event = decoded.event;
        return true;
      }
      if (timeout_ms >= 0) return false;
      continue;
    }
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      char bytes[256];
      const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
      if (n > 0) {
        state.input.append(bytes, static_cast<std::size_t>(n));
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        state.input_ended = true;
      }
    }
  }
}

}  // namespace console::terminal
