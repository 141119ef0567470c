#include "tests/windows/wine_runner.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace wine_runner {

namespace {

std::string wine_prefix() {
  const char* given = std::getenv("GBK_TEST_WINEPREFIX");
  return given != nullptr && *given != '\0' ? given : WINE_PREFIX;
}

// The caller's environment less wine_removed_variables, plus wine_settings.
std::vector<std::string> wine_environment() {
  const std::vector<std::string> settings = wine_settings();
  const std::vector<std::string> removed = wine_removed_variables();
  const auto names = [](const std::string& entry, const std::string& name) {
    return entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=';
  };
  std::vector<std::string> env;
  for (char** at = environ; *at != nullptr; ++at) {
    const std::string entry(*at);
    bool dropped = false;
    for (const std::string& name : removed) dropped = dropped || names(entry, name);
    for (const std::string& setting : settings) dropped = dropped || names(entry, setting.substr(0, setting.find('=')));
    if (!dropped) env.push_back(entry);
  }
  env.insert(env.end(), settings.begin(), settings.end());
  return env;
}

struct Spawned {
  pid_t pid = -1;
  int input = -1;   // parent's end of the child's stdin pipe, if piped
  int output = -1;  // parent's end of the child's stdout pipe, if piped
};

// Starts argv; stdin from input_file (or a pipe when empty), stdout and
// stderr to the given files (or stdout to a pipe when out_file is empty).
Spawned spawn(const std::vector<std::string>& argv, const std::string& cwd, bool under_wine,
              const std::string& input_file, const std::string& out_file, const std::string& err_file) {
  std::vector<std::string> env_strings;
  std::vector<char*> env;
  if (under_wine) {
    env_strings = wine_environment();
    for (std::string& e : env_strings) env.push_back(e.data());
    env.push_back(nullptr);
  }
  std::vector<std::string> args = argv;
  std::vector<char*> arg_pointers;
  for (std::string& a : args) arg_pointers.push_back(a.data());
  arg_pointers.push_back(nullptr);

  int in_pipe[2] = {-1, -1};
  int out_pipe[2] = {-1, -1};
  if (input_file.empty() && ::pipe2(in_pipe, O_CLOEXEC) != 0) return {};
  if (out_file.empty() && ::pipe2(out_pipe, O_CLOEXEC) != 0) return {};

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);  // its own group, so that a hung run can be ended whole
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    const int in = input_file.empty() ? in_pipe[0] : ::open(input_file.c_str(), O_RDONLY);
    const int out = out_file.empty() ? out_pipe[1] : ::open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (under_wine) {
      ::execve(arg_pointers[0], arg_pointers.data(), env.data());
    } else {
      ::execv(arg_pointers[0], arg_pointers.data());
    }
    ::_exit(127);
  }
  Spawned spawned;
  spawned.pid = pid;
  if (input_file.empty()) {
    ::close(in_pipe[0]);
    spawned.input = in_pipe[1];
  }
  if (out_file.empty()) {
    ::close(out_pipe[1]);
    spawned.output = out_pipe[0];
  }
  return spawned;
}

int wait_with_timeout(pid_t pid, int timeout_seconds, bool& timed_out) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() > deadline) {
      timed_out = true;
      ::kill(-pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string scratch_file(const char* what) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          ("gbk-wine-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "." + what))
      .string();
}

}  // namespace

std::vector<std::string> wine_settings() {
  // No Mono or Gecko installer when the prefix is made. Wine spells Linux
  // file names in the code page of the caller's locale: under a locale
  // that is not UTF-8 (a login with no LANG) a name like 考试成绩.gbk
  // cannot be found, whatever the program's own code page.
  return {"WINEPREFIX=" + wine_prefix(), "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "LC_ALL=C.UTF-8"};
}

std::vector<std::string> wine_removed_variables() { return {"DISPLAY", "WAYLAND_DISPLAY"}; }

std::vector<std::string> wine_command(const std::string& exe, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{WINE_PROGRAM, exe};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

Result run(const std::vector<std::string>& argv, const std::string& cwd, const std::string& input, bool under_wine,
           int timeout_seconds) {
  const std::string in_file = scratch_file("in");
  const std::string out_file = scratch_file("out");
  const std::string err_file = scratch_file("err");
  std::ofstream(in_file, std::ios::binary) << input;
  Result result;
  const Spawned spawned = spawn(argv, cwd, under_wine, in_file, out_file, err_file);
  if (spawned.pid > 0) result.exit_code = wait_with_timeout(spawned.pid, timeout_seconds, result.timed_out);
  result.out = slurp(out_file);
  result.err = slurp(err_file);
  std::filesystem::remove(in_file);
  std::filesystem::remove(out_file);
  std::filesystem::remove(err_file);
  return result;
}

std::string prepare_wine(const std::string& probe_exe) {
  const std::string prefix = wine_prefix();
  std::filesystem::create_directories(std::filesystem::path(prefix).parent_path());
  {
    // Tests run side by side; one of them makes the prefix, the others wait.
    const int lock = ::open((prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0) return "cannot create the lock of the Wine prefix";
    ::flock(lock, LOCK_EX);
    std::string problem;
    // Wine writes the prefix's registry files only when its server ends,
    // seconds after wineboot has returned: a test that looked for them
    // booted the prefix again while others used it, and now and then that
    // boot failed. A mark of our own says the boot is done.
    const std::string booted = prefix + "/gbk-booted";
    if (!std::filesystem::exists(booted)) {
      const Result boot = run({WINE_PROGRAM, "wineboot", "-i"}, "/", {}, true, 300);
      if (boot.exit_code != 0) {
        problem = "wineboot -i failed: " + boot.err;
      } else {
        std::ofstream(booted) << "wineboot -i done\n";
      }
    }
    ::flock(lock, LOCK_UN);
    ::close(lock);
    if (!problem.empty()) return problem;
  }
  const Result probe = run(wine_command(probe_exe, {"upper", "61"}), "/", {}, true, 120);
  if (probe.exit_code != 0 || probe.out != "41\n") {
    return "a Windows program does not run under Wine (exit " + std::to_string(probe.exit_code) + "): " + probe.err;
  }
  return {};
}

Background start_background(const std::vector<std::string>& argv, const std::string& cwd, bool under_wine) {
  // Nothing reads what it says on standard error; a file for it would be
  // made by the child, maybe after the parent had removed it.
  const Spawned spawned = spawn(argv, cwd, under_wine, {}, {}, "/dev/null");
  return {spawned.pid, spawned.input, spawned.output};
}

bool wait_for_output(Background& program, const std::string& text, std::string& seen, int timeout_seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  while (seen.find(text) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{program.output, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[256];
    const ssize_t n = ::read(program.output, buffer, sizeof buffer);
    if (n <= 0) return false;
    seen.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

int finish_background(Background& program, int timeout_seconds) {
  if (program.input >= 0) ::close(program.input);
  program.input = -1;
  bool timed_out = false;
  const int code = program.pid > 0 ? wait_with_timeout(program.pid, timeout_seconds, timed_out) : -1;
  if (program.output >= 0) ::close(program.output);
  program.output = -1;
  program.pid = -1;
  return code;
}

std::string windows_path(const std::string& posix_path) {
  std::string path = "Z:" + posix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace wine_runner
