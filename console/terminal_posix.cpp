#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console/glyphs.hpp"
#include "console/key_decoder.hpp"
#include "console/terminal.hpp"
#include "console/view.hpp"

namespace console::terminal {

namespace {

constexpr int fatal_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int notified_signals[] = {SIGWINCH, SIGTSTP, SIGCONT};

// What the signal handlers may touch: plain data, prepared in advance.
termios saved_modes{};
volatile sig_atomic_t modes_saved = 0;
int signal_pipe[2] = {-1, -1};

// The text that gives the terminal back, for the normal end and for a fatal
// signal. Two buffers, so that a handler never reads one half written.
struct RestoreText {
  char bytes[256];
  std::size_t size;
};
RestoreText restore_texts[2]{};
std::atomic<int> restore_current{0};

struct Saved {
  int signal;
  struct sigaction action;
};

struct State {
  bool open = false;
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
  int top = 1;  // model row and column at the terminal's top left
  int left = 1;
  int exit_row = 0;  // where the prompt goes after the run, and whether it
  bool exit_below = true;  // goes below that row
  int shown_width = 0;
  int shown_height = 0;
  std::vector<Cell> shown;  // what the terminal holds, model-sized
  std::vector<bool> shown_valid;
  std::string title;
  std::string input;  // bytes read but not yet decoded
  std::vector<Saved> saved_actions;
};

State state;

void write_all(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(STDOUT_FILENO, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the terminal is gone; nothing to show it on
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void write_all(const std::string& text) { write_all(text.data(), text.size()); }

void on_fatal_signal(int signal) {
  const int saved_errno = errno;
  const RestoreText& text = restore_texts[restore_current.load()];
  std::size_t done = 0;
  while (done < text.size) {
    const ssize_t n = ::write(STDOUT_FILENO, text.bytes + done, text.size - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (modes_saved != 0) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal, &default_action, nullptr);
  ::raise(signal);  // delivered when this handler returns
  errno = saved_errno;
}

void on_notified_signal(int signal) {
  const int saved_errno = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  if (signal_pipe[1] >= 0) (void)::write(signal_pipe[1], &byte, 1);
  errno = saved_errno;
}

void install(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  Saved saved{signal, {}};
  if (::sigaction(signal, &action, &saved.action) == 0) state.saved_actions.push_back(saved);
}

void restore_actions() {
  for (auto it = state.saved_actions.rbegin(); it != state.saved_actions.rend(); ++it) {
    ::sigaction(it->signal, &it->action, nullptr);
  }
  state.saved_actions.clear();
}

void read_size() {
  winsize size{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    state.rows = size.ws_row;
    state.cols = size.ws_col;
  } else {
    state.rows = 24;
    state.cols = 80;
  }
}

bool enter_raw_modes() {
  termios raw = saved_modes;
  // No line editing, no echo, no signals from Control-C, Control-Z or
  // Control-\, no flow control and no CR to LF: every key reaches the run.
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT | PARMRK);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  return ::tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

std::string cursor_to(int row, int col) { return "\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H"; }

// Console colour index (1 blue, 2 green, 4 red) to ANSI (1 red, 4 blue).
int ansi_colour(int index) { return ((index & 1) << 2) | (index & 2) | ((index & 4) >> 2); }

std::string sgr(unsigned char attr) {
  const int fg = attr & 0x0F;
  const int bg = attr >> 4;
  const int fg_code = fg < 8 ? 30 + ansi_colour(fg) : 90 + ansi_colour(fg - 8);
  const int bg_code = bg < 8 ? 40 + ansi_colour(bg) : 100 + ansi_colour(bg - 8);
  return "\x1b[" + std::to_string(fg_code) + ";" + std::to_string(bg_code) + "m";
}

std::string mouse_text(bool on) { return on ? "\x1b[?1000h\x1b[?1006h" : "\x1b[?1006l\x1b[?1000l"; }

// What hands the terminal back: default colours, no mouse reports, visible
// cursor, the title as found, the cursor on a fresh line below the output.
std::string give_back_text(int exit_row, bool below_cursor_used) {
  // CAN first: a signal may have cut a sequence of ours in half.
  std::string text = "\x18\x1b[0m" + mouse_text(false) + "\x1b[?25h";
  if (!state.first_draw) {
    text += cursor_to(exit_row, 1);
    if (below_cursor_used) text += "\r\n";
    text += "\x1b[J";
  }
  if (!state.title.empty()) text += "\x1b[23;2t";
  if (state.size_requested && state.found_rows > 0) {
    text += "\x1b[8;" + std::to_string(state.found_rows) + ";" + std::to_string(state.found_cols) + "t";
  }
  return text;
}

void prepare_restore_text(int exit_row, bool below_cursor_used) {
  const std::string text = give_back_text(exit_row, below_cursor_used);
  const int next = 1 - restore_current.load();
  RestoreText& target = restore_texts[next];
  target.size = std::min(text.size(), sizeof target.bytes);
  std::memcpy(target.bytes, text.data(), target.size);
  restore_current.store(next);
}

void refresh_restore_text() { prepare_restore_text(state.exit_row, state.exit_below); }

void leave_for_suspend() {
  write_all(give_back_text(state.rows, true));
  if (modes_saved != 0) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
}

void take_back_after_resume() {
  enter_raw_modes();
  std::string text;
  if (state.mouse) text += mouse_text(true);
  if (!state.title.empty()) text += "\x1b[22;2t\x1b]2;" + state.title + "\x07";
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

void draw(const Screen& screen) {
  const int visible_rows = std::min(state.rows, screen.height);
  const int visible_cols = std::min(state.cols, screen.width);
  const int top = follow_cursor(state.top, screen.row, visible_rows, screen.height);
  const int left = follow_cursor(state.left, screen.col, visible_cols, screen.width);
  if (top != state.top || left != state.left || screen.width != state.shown_width ||
      screen.height != state.shown_height) {
    state.full_redraw = true;
  }
  std::string out = "\x1b[?25l";
  if (state.full_redraw) {
    if (state.first_draw) {
      // What the terminal showed before the run moves up into its history.
      out += cursor_to(state.rows, 1) + std::string(static_cast<std::size_t>(state.rows), '\n');
      state.first_draw = false;
    }
    out += "\x1b[0m\x1b[H\x1b[2J";
    state.top = top;
    state.left = left;
    state.shown_width = screen.width;
    state.shown_height = screen.height;
    state.shown.assign(screen.cells.size(), Cell{});
    state.shown_valid.assign(screen.cells.size(), false);
    state.full_redraw = false;
  }
  int current_attr = -1;
  for (int r = 0; r < visible_rows; ++r) {
    const int row = state.top + r;
    int first = -1;
    int last = -1;
    for (int c = 0; c < visible_cols; ++c) {
      const std::size_t i = static_cast<std::size_t>((row - 1) * screen.width + (state.left + c - 1));
      if (!state.shown_valid[i] || !(state.shown[i] == screen.cells[i])) {
        if (first < 0) first = c;
        last = c;
      }
    }
    if (first < 0) continue;
    out += cursor_to(r + 1, first + 1);
    for (int c = first; c <= last; ++c) {
      const std::size_t i = static_cast<std::size_t>((row - 1) * screen.width + (state.left + c - 1));
      const Cell& cell = screen.cells[i];
      if (cell.attr != current_attr) {
        out += sgr(cell.attr);
        current_attr = cell.attr;
      }
      append_glyph(out, cell);
      state.shown[i] = cell;
      state.shown_valid[i] = true;
    }
  }
  const int cursor_row = screen.row - state.top + 1;
  out += cursor_to(cursor_row, screen.col - state.left + 1);
  if (state.cursor_visible) out += "\x1b[?25h";
  write_all(out);
  // After the run the prompt comes below the cursor's row, or on it when
  // nothing stands there yet.
  state.exit_row = cursor_row;
  state.exit_below = screen.col > 1;
  refresh_restore_text();
}

}  // namespace

bool usable() {
  if (::isatty(STDIN_FILENO) != 1 || ::isatty(STDOUT_FILENO) != 1) return false;
  const char* term = std::getenv("TERM");
  return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

bool open() {
  if (state.open) return true;
  if (::tcgetattr(STDIN_FILENO, &saved_modes) != 0) return false;
  modes_saved = 1;
  if (::pipe(signal_pipe) != 0) {
    modes_saved = 0;
    return false;
  }
  for (int fd : signal_pipe) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  state = State{};
  state.open = true;
  read_size();
  state.found_rows = state.rows;
  state.found_cols = state.cols;
  state.exit_row = state.rows;
  refresh_restore_text();
  static bool at_exit_registered = false;
  if (!at_exit_registered) {
    std::atexit([] { close(); });  // a run that calls exit() gives the terminal back too
    at_exit_registered = true;
  }
  for (int signal : fatal_signals) install(signal, on_fatal_signal);
  for (int signal : notified_signals) install(signal, on_notified_signal);
  if (!enter_raw_modes()) {
    close();
    return false;
  }
  return true;
}

void close() {
  if (!state.open) return;
  write_all(restore_texts[restore_current.load()].bytes, restore_texts[restore_current.load()].size);
  ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
  restore_actions();
  modes_saved = 0;
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
  std::string text = state.title.empty() ? "\x1b[22;2t" : "";
  state.title = clean.empty() ? " " : clean;
  text += "\x1b]2;" + state.title + "\x07";
  write_all(text);
  refresh_restore_text();
}

void request_size(int columns, int rows) {
  if (state.rows == rows && state.cols == columns) return;
  state.size_requested = true;
  write_all("\x1b[8;" + std::to_string(rows) + ";" + std::to_string(columns) + "t");
  refresh_restore_text();
}

void set_mouse_reports(bool on) {
  if (on == state.mouse) return;
  state.mouse = on;
  write_all(mouse_text(on));
}

void set_cursor_visible(bool visible) { state.cursor_visible = visible; }

void show(const Screen& screen) {
  if (!state.open) return;
  take_signals();
  draw(screen);
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
