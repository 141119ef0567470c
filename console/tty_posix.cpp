#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/tty.hpp"

namespace console::tty {

namespace {

constexpr int fatal_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// What the signal handlers may touch: plain data, prepared in advance.
termios found{};
volatile sig_atomic_t modes_taken = 0;
volatile sig_atomic_t output = STDOUT_FILENO;

// The farewell in two buffers, so that a handler never reads one half
// written.
struct Farewell {
  char bytes[256];
  std::size_t size;
};
Farewell farewells[2]{};
std::atomic<int> farewell_current{0};

struct Saved {
  int signal;
  struct sigaction action;
};
std::vector<Saved> saved_actions;

void write_farewell() {
  const Farewell& text = farewells[farewell_current.load()];
  std::size_t done = 0;
  while (done < text.size) {
    const ssize_t n = ::write(output, text.bytes + done, text.size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the terminal is gone
    done += static_cast<std::size_t>(n);
  }
}

void on_fatal_signal(int signal) {
  const int saved_errno = errno;
  write_farewell();
  if (modes_taken != 0) ::tcsetattr(STDIN_FILENO, TCSANOW, &found);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigemptyset(&default_action.sa_mask);
  ::sigaction(signal, &default_action, nullptr);
  ::raise(signal);  // delivered when this handler returns
  errno = saved_errno;
}

}  // namespace

int screen_output() {
  if (::isatty(STDOUT_FILENO) == 1) return STDOUT_FILENO;
  if (input_is_terminal() && ::isatty(STDERR_FILENO) == 1) return STDERR_FILENO;
  return STDOUT_FILENO;
}

bool input_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }

bool take_modes() {
  if (modes_taken != 0) return true;
  if (::tcgetattr(STDIN_FILENO, &found) != 0) return false;
  output = screen_output();
  modes_taken = 1;
  static bool at_exit_registered = false;
  if (!at_exit_registered) {
    std::atexit([] { give_back(); });  // a run that calls exit() gives the terminal back too
    at_exit_registered = true;
  }
  for (int signal : fatal_signals) catch_signal(signal, on_fatal_signal);
  return true;
}

const termios& found_modes() { return found; }

bool set_modes(const termios& modes) { return ::tcsetattr(STDIN_FILENO, TCSANOW, &modes) == 0; }

void set_farewell(std::string_view bytes) {
  const int next = 1 - farewell_current.load();
  Farewell& target = farewells[next];
  target.size = std::min(bytes.size(), sizeof target.bytes);
  if (target.size > 0) std::memcpy(target.bytes, bytes.data(), target.size);
  farewell_current.store(next);
}

void catch_signal(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  Saved saved{signal, {}};
  if (::sigaction(signal, &action, &saved.action) == 0) saved_actions.push_back(saved);
}

void give_back() {
  if (modes_taken == 0) return;
  write_farewell();
  ::tcsetattr(STDIN_FILENO, TCSANOW, &found);
  modes_taken = 0;
  set_farewell({});
  for (auto it = saved_actions.rbegin(); it != saved_actions.rend(); ++it) {
    ::sigaction(it->signal, &it->action, nullptr);
  }
  saved_actions.clear();
}

}  // namespace console::tty
