#include "tests/pty_harness.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>
#include <vterm.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace pty_test {

namespace {

using clock = std::chrono::steady_clock;

int on_termprop(VTermProp prop, VTermValue* value, void* user) {
  auto& program = *static_cast<PtyProgram*>(user);
  switch (prop) {
    case VTERM_PROP_TITLE: program.title = value->string != nullptr ? value->string : ""; break;
    case VTERM_PROP_CURSORVISIBLE: program.cursor_visible = value->boolean != 0; break;
    case VTERM_PROP_MOUSE: program.mouse_mode = value->number; break;
    default: break;
  }
  return 1;
}

// libvterm marks the right half of a double-width character this way.
constexpr uint32_t right_half = 0xFFFFFFFF;

std::string cell_chars(const VTermScreenCell& cell) {
  if (cell.chars[0] == right_half) return {};
  std::string text;
  for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
    const uint32_t cp = cell.chars[i];
    if (cp < 0x80) {
      text += static_cast<char>(cp);
    } else if (cp < 0x800) {
      text += static_cast<char>(0xC0 | (cp >> 6));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      text += static_cast<char>(0xE0 | (cp >> 12));
      text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (cp >> 18));
      text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return text.empty() ? " " : text;
}

std::string cells_text(const VTermScreenCell* cells, int cols) {
  std::string text;
  for (int c = 0; c < cols; ++c) text += cell_chars(cells[c]);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

int on_pushline(int cols, const VTermScreenCell* cells, void* user) {
  static_cast<PtyProgram*>(user)->scrollback.push_back(cells_text(cells, cols));
  return 1;
}

const VTermScreenCallbacks screen_callbacks = {
    nullptr, nullptr, nullptr, on_termprop, nullptr, nullptr, on_pushline, nullptr,
};

// The emulator's answers to the program's queries go back as input.
void on_terminal_output(const char* bytes, size_t size, void* user) {
  send(*static_cast<PtyProgram*>(user), std::string_view(bytes, size));
}

void reap(PtyProgram& program, bool block) {
  if (program.exited || program.pid < 0) return;
  int status = 0;
  const pid_t done = ::waitpid(program.pid, &status, block ? 0 : WNOHANG);
  if (done == program.pid) {
    program.exited = true;
    program.exit_status = status;
  }
}

int colour_index(const VTermColor& colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
  if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
  return -2;  // an RGB colour: never one of the console's
}

std::string sgr_mouse(int code, int row, int col, char final) {
  return "\x1b[<" + std::to_string(code) + ";" + std::to_string(col) + ";" + std::to_string(row) + final;
}

int button_code(int button) { return button == 1 ? 0 : button == 2 ? 2 : 1; }

// Whether the program's main thread is blocked reading standard input, or
// polling, with no time limit: the system call it is in, from /proc.
bool blocked_without_time_limit(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
  std::string line;
  if (!std::getline(file, line)) return false;
  std::istringstream fields(line);
  long number = -1;
  fields >> number;
  unsigned long args[3] = {};
  for (unsigned long& arg : args) fields >> std::hex >> arg;
  if (!fields) return false;  // "running", or no system call
  if (number == SYS_read) return args[0] == STDIN_FILENO;
  if (number == SYS_ppoll) return args[2] == 0;  // no timeout given
#if defined(SYS_poll)
  if (number == SYS_poll) return static_cast<int>(args[2]) < 0;
#endif
  return false;
}

}  // namespace

PtyProgram::~PtyProgram() {
  if (pid > 0 && !exited) {
    ::kill(pid, SIGKILL);
    reap(*this, true);
  }
  if (master >= 0) ::close(master);
  if (vt != nullptr) vterm_free(vt);
}

bool start_program(PtyProgram& program, const PtyOptions& options) {
  winsize size{};
  size.ws_row = static_cast<unsigned short>(options.rows);
  size.ws_col = static_cast<unsigned short>(options.cols);
  int slave = -1;
  if (::openpty(&program.master, &slave, nullptr, nullptr, &size) != 0) return false;
  ::tcgetattr(slave, &program.modes_at_start);
  if (const char* path = ::ttyname(slave)) program.terminal_path = path;
  ::fcntl(program.master, F_SETFD, FD_CLOEXEC);

  program.vt = vterm_new(options.rows, options.cols);
  vterm_set_utf8(program.vt, 1);
  vterm_output_set_callback(program.vt, on_terminal_output, &program);
  program.screen = vterm_obtain_screen(program.vt);
  vterm_screen_set_callbacks(program.screen, &screen_callbacks, &program);
  vterm_screen_reset(program.screen, 1);

  std::vector<std::string> environment = {"TERM=xterm-256color", "LANG=C.UTF-8"};
  for (const std::string& entry : options.environment) environment.push_back(entry);

  program.pid = ::fork();
  if (program.pid < 0) {
    ::close(slave);
    return false;
  }
  if (program.pid == 0) {
    ::close(program.master);
    if (::login_tty(slave) != 0) ::_exit(126);
    if (!options.working_directory.empty() && ::chdir(options.working_directory.c_str()) != 0) ::_exit(126);
    const auto redirect = [](const std::string& path, int fd, int flags) {
      if (path.empty()) return;
      const int file = ::open(path.c_str(), flags, 0600);
      if (file < 0 || ::dup2(file, fd) < 0) ::_exit(126);
      ::close(file);
    };
    redirect(options.input_file, STDIN_FILENO, O_RDONLY);
    redirect(options.output_file, STDOUT_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
    redirect(options.error_file, STDERR_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
    for (const std::string& entry : environment) {
      const std::size_t eq = entry.find('=');
      ::setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
    }
    for (const std::string& name : options.removed_environment) ::unsetenv(name.c_str());
    std::vector<char*> argv;
    for (const std::string& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(slave);
  return true;
}

void pump(PtyProgram& program, std::chrono::milliseconds timeout) {
  const auto deadline = clock::now() + timeout;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
    pollfd fd{program.master, POLLIN, 0};
    const int ready = ::poll(&fd, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready < 0 && errno == EINTR) continue;
    bool hung_up = ready > 0 && (fd.revents & (POLLHUP | POLLERR)) != 0;
    if (ready > 0 && (fd.revents & POLLIN) != 0) {
      char bytes[4096];
      const ssize_t n = ::read(program.master, bytes, sizeof bytes);
      if (n > 0) {
        program.output.append(bytes, static_cast<std::size_t>(n));
        vterm_input_write(program.vt, bytes, static_cast<std::size_t>(n));
        continue;  // drain everything that is there
      }
      hung_up = true;  // EIO: no process holds the terminal any more
    }
    reap(program, false);
    if (ready <= 0 || left <= 0 || program.exited) return;
    if (hung_up) ::usleep(1000);  // the last holder is about to end
  }
}

bool wait_until(PtyProgram& program, const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (clock::now() >= deadline) return false;
    pump(program, std::chrono::milliseconds(10));
  }
}

bool wait_for_text(PtyProgram& program, std::string_view text, std::chrono::milliseconds timeout) {
  return wait_until(
      program, [&] { return find_text(program, text).row != 0; }, timeout);
}

// Polling the terminal side makes the kernel hand over what it still
// buffers first, so a byte sent just before is never missed.
bool input_pending(const PtyProgram& program) {
  const int fd = ::open(program.terminal_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return true;
  pollfd p{fd, POLLIN, 0};
  const int ready = ::poll(&p, 1, 0);
  ::close(fd);
  return ready != 0 && (p.revents & POLLIN) != 0;
}

bool waits_for_input(const PtyProgram& program) {
  if (program.exited || program.pid <= 0) return false;
  return !input_pending(program) && blocked_without_time_limit(program.pid);
}

bool wait_for_input_wait(PtyProgram& program, std::chrono::milliseconds timeout) {
  if (!wait_until(
          program, [&] { return program.exited || waits_for_input(program); }, timeout))
    return false;
  pump(program, std::chrono::milliseconds(0));
  return !program.exited;
}

int wait_for_exit(PtyProgram& program, std::chrono::milliseconds timeout) {
  wait_until(
      program, [&] { return program.exited; }, timeout);
  if (!program.exited) return -1;
  pump(program, std::chrono::milliseconds(0));
  if (WIFEXITED(program.exit_status)) return WEXITSTATUS(program.exit_status);
  if (WIFSIGNALED(program.exit_status)) return 128 + WTERMSIG(program.exit_status);
  return -1;
}

void send(PtyProgram& program, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(program.master, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void draw_on_screen(PtyProgram& program, std::string_view bytes) {
  vterm_input_write(program.vt, bytes.data(), bytes.size());
}

void send_signal(PtyProgram& program, int signal) {
  if (program.pid > 0 && !program.exited) ::kill(program.pid, signal);
}

void resize(PtyProgram& program, int rows, int cols) {
  winsize size{};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(cols);
  vterm_set_size(program.vt, rows, cols);
  ::ioctl(program.master, TIOCSWINSZ, &size);
}

std::string row_text(const PtyProgram& program, int row) {
  int rows = 0;
  int cols = 0;
  vterm_get_size(program.vt, &rows, &cols);
  std::vector<VTermScreenCell> cells(static_cast<std::size_t>(cols));
  for (int c = 0; c < cols; ++c)
    vterm_screen_get_cell(program.screen, VTermPos{row - 1, c}, &cells[static_cast<std::size_t>(c)]);
  return cells_text(cells.data(), cols);
}

std::string screen_text(const PtyProgram& program) {
  std::string text;
  for (int row = 1; row <= screen_rows(program); ++row) text += row_text(program, row) + "\n";
  return text;
}

CellView cell(const PtyProgram& program, int row, int col) {
  VTermScreenCell c{};
  vterm_screen_get_cell(program.screen, VTermPos{row - 1, col - 1}, &c);
  CellView view;
  view.text = cell_chars(c);
  view.fg = colour_index(c.fg, true);
  view.bg = colour_index(c.bg, false);
  view.bold = c.attrs.bold != 0;
  view.reverse = c.attrs.reverse != 0;
  return view;
}

Position cursor(const PtyProgram& program) {
  VTermPos pos{};
  vterm_state_get_cursorpos(vterm_obtain_state(program.vt), &pos);
  return {pos.row + 1, pos.col + 1};
}

Position find_text(const PtyProgram& program, std::string_view text) {
  int rows = 0;
  int cols = 0;
  vterm_get_size(program.vt, &rows, &cols);
  for (int row = 1; row <= rows; ++row) {
    // The row's text with the column each byte stands in.
    std::string line;
    std::vector<int> columns;
    for (int col = 1; col <= cols; ++col) {
      const std::string chars = cell(program, row, col).text;
      line += chars;
      columns.insert(columns.end(), chars.size(), col);
    }
    const std::size_t at = line.find(text);
    if (at != std::string::npos) return {row, columns[at]};
  }
  return {};
}

int screen_rows(const PtyProgram& program) {
  int rows = 0;
  int cols = 0;
  vterm_get_size(program.vt, &rows, &cols);
  return rows;
}

termios current_modes(const PtyProgram& program) {
  termios modes{};
  ::tcgetattr(program.master, &modes);
  return modes;
}

int console_colour(int palette_index) {
  if (palette_index < 0 || palette_index > 15) return palette_index;
  return (palette_index & 8) | ((palette_index & 1) << 2) | (palette_index & 2) | ((palette_index & 4) >> 2);
}

std::string mouse_press(int button, int row, int col) { return sgr_mouse(button_code(button), row, col, 'M'); }
std::string mouse_release(int button, int row, int col) { return sgr_mouse(button_code(button), row, col, 'm'); }
std::string mouse_move(int row, int col) { return sgr_mouse(35, row, col, 'M'); }

}  // namespace pty_test
