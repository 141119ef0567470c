#include "program_runner.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tests {

namespace fs = std::filesystem;

std::string program_path() { return GBKCONVERT_PATH; }

std::string program_emulator() { return GBKCONVERT_EMULATOR; }

std::string source_file(const std::string& name) {
  std::ifstream in(fs::path(SOURCE_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void preload_into_run(const char* library) {
  ::setenv("LD_PRELOAD", library, 1);
  const char* sanitizer_options = std::getenv("ASAN_OPTIONS");
  std::string options = sanitizer_options != nullptr ? sanitizer_options : "";
  options += std::string(options.empty() ? "" : ":") + "verify_asan_link_order=0";
  ::setenv("ASAN_OPTIONS", options.c_str(), 1);
}

namespace {

void read_available(int fd, std::string& into, bool& open) {
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || errno != EINTR) {
    open = false;
  }
}

}  // namespace

RunResult run_program(const fs::path& folder, const std::vector<std::string>& arguments, const RunOptions& options) {
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (::pipe(in_pipe) != 0 || ::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) throw std::runtime_error("pipe");
  std::string program = options.program.empty() ? program_path() : options.program;
  std::vector<std::string> args = arguments;
  if (!program_emulator().empty()) {
    args.insert(args.begin(), program);
    program = program_emulator();
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in_pipe[0], 0);
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) ::close(fd);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    if (options.in_child != nullptr) options.in_child();
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(in_pipe[0]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);

  // Standard input is small in every test: hand it over, then end it.
  ::signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  while (written < options.input.size()) {
    const ssize_t n = ::write(in_pipe[1], options.input.data() + written, options.input.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  ::close(in_pipe[1]);

  RunResult result;
  bool out_open = true, err_open = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeout_ms);
  while (out_open || err_open) {
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      ::kill(pid, SIGKILL);
      break;
    }
    if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) continue;
    if (out_open && (fds[0].revents & (POLLIN | POLLHUP)) != 0) read_available(out_pipe[0], result.output, out_open);
    if (err_open && (fds[1].revents & (POLLIN | POLLHUP)) != 0) read_available(err_pipe[0], result.errors, err_open);
  }
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return result;
}

}  // namespace tests
