#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/program_start.hpp"

namespace platform {

namespace {

constexpr int file_not_found = 53;

// Closes a pipe end on every way out of the parent's side.
struct PipeEnd {
  int fd = -1;
  ~PipeEnd() {
    if (fd >= 0) ::close(fd);
  }
  void close_now() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// In the child, after fork: only async-signal-safe calls from here on.
// A session of its own (no controlling terminal, no job-control signals of
// ours) and the null device as its standard streams, so that it never writes
// into our console and never reads the operator's keys.
void detach_from_console() {
  ::setsid();
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) ::close(null);
  }
  // The run ignores a closed pipe; the started program should not inherit that.
  ::signal(SIGPIPE, SIG_DFL);
}

[[noreturn]] void exec_or_report(char* const* argv, int report_fd) {
  ::execvp(argv[0], argv);
  const int error = errno;
  ssize_t ignored = ::write(report_fd, &error, sizeof error);
  (void)ignored;
  ::_exit(127);
}

bool read_all(int fd, void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

int wait_for(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

}  // namespace

ProgramStart start_program_os(const std::string& command_line, int, bool wait) {
  ProgramStart result;
  std::vector<std::string> arguments = program_arguments(command_line);
  if (arguments.empty() || arguments[0].empty()) {
    result.error = file_not_found;
    return result;
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // The report pipe carries the started program's number and, if it could
  // not be started, the reason; a successful exec closes it.
  int fds[2];
  if (::pipe(fds) != 0) {
    result.error = file_not_found;
    return result;
  }
  PipeEnd read_end{fds[0]};
  PipeEnd write_end{fds[1]};
  // Both ends close on exec, so that a successful exec ends the report. Set
  // after pipe() rather than by pipe2(), which macOS lacks; the run has one
  // thread, so nothing else can start a program in between.
  if (::fcntl(fds[0], F_SETFD, FD_CLOEXEC) != 0 || ::fcntl(fds[1], F_SETFD, FD_CLOEXEC) != 0) {
    result.error = file_not_found;
    return result;
  }

  const pid_t child = ::fork();
  if (child < 0) {
    result.error = 7;  // out of memory
    return result;
  }
  if (child == 0) {
    ::close(fds[0]);
    detach_from_console();
    // Not waited for: a second fork leaves the program to init, so it runs
    // on after we end and never stays behind as our zombie.
    if (!wait && ::fork() != 0) ::_exit(0);
    const pid_t self = ::getpid();
    ssize_t ignored = ::write(fds[1], &self, sizeof self);
    (void)ignored;
    exec_or_report(argv.data(), fds[1]);
  }

  write_end.close_now();
  pid_t started = -1;
  if (!wait) wait_for(child);  // the intermediate child ends at once
  if (!read_all(read_end.fd, &started, sizeof started) || started < 0) {
    if (wait) wait_for(child);
    result.error = 7;
    return result;
  }
  result.process_number = started;
  int exec_error = 0;
  if (read_all(read_end.fd, &exec_error, sizeof exec_error)) result.error = file_not_found;
  if (wait) wait_for(child);
  return result;
}

}  // namespace platform
