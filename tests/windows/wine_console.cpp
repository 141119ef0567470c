#include "tests/windows/wine_console.hpp"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>

#include "tests/windows/wine_runner.hpp"

namespace wine_console {

namespace {

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> numeric_entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

// The fields of /proc/.../stat after the command name: state first.
std::vector<std::string> stat_fields(const std::string& path) {
  const std::string text = read_text(path);
  const std::size_t end_of_name = text.rfind(')');
  std::vector<std::string> fields;
  if (end_of_name == std::string::npos) return fields;
  std::istringstream rest(text.substr(end_of_name + 1));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

// A terminal's number as /proc/<pid>/stat gives a controlling terminal.
long terminal_number(const std::string& terminal_path) {
  struct stat info {};
  if (::stat(terminal_path.c_str(), &info) != 0) return -1;
  const unsigned long major_number = major(info.st_rdev);
  const unsigned long minor_number = minor(info.st_rdev);
  return static_cast<long>((minor_number & 0xFF) | (major_number << 8) | ((minor_number & ~0xFFul) << 12));
}

// The console host whose controlling terminal is the run's terminal.
pid_t find_host(const pty_test::PtyProgram& program) {
  const long terminal = terminal_number(program.terminal_path);
  for (const std::string& pid : numeric_entries("/proc")) {
    const std::vector<std::string> fields = stat_fields("/proc/" + pid + "/stat");
    if (fields.size() < 5 || std::stol(fields[4]) != terminal) continue;
    if (read_text("/proc/" + pid + "/cmdline").find("conhost.exe") != std::string::npos) return std::stoi(pid);
  }
  return -1;
}

bool alive(pid_t pid) {
  if (pid <= 0) return false;
  const std::vector<std::string> fields = stat_fields("/proc/" + std::to_string(pid) + "/stat");
  return !fields.empty() && fields[0] != "Z" && fields[0] != "X";
}

// Per thread of each process: whether it sleeps, how often and how long it
// has run (/proc/<pid>/task/<tid>/schedstat: nanoseconds on a processor,
// nanoseconds waiting for one, times run).
struct Threads {
  bool all_asleep = true;
  std::vector<std::uint64_t> activity;
  std::uint64_t run_ns = 0;
};

Threads look_at(const std::vector<pid_t>& pids) {
  Threads threads;
  for (pid_t pid : pids) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const std::string& tid : numeric_entries(tasks)) {
      const std::vector<std::string> fields = stat_fields(tasks + "/" + tid + "/stat");
      if (fields.empty() || fields[0] != "S") threads.all_asleep = false;
      std::istringstream schedstat(read_text(tasks + "/" + tid + "/schedstat"));
      std::uint64_t on_cpu = 0, waiting = 0, times_run = 0;
      schedstat >> on_cpu >> waiting >> times_run;
      threads.activity.push_back(std::stoull(tid));
      threads.activity.push_back(times_run);
      threads.run_ns += on_cpu;
    }
  }
  return threads;
}

}  // namespace

bool start(WineConsoleRun& run, const std::string& exe, const std::vector<std::string>& arguments,
           const std::string& cwd, int rows, int cols, const std::string& input_file, const std::string& output_file) {
  pty_test::PtyOptions options;
  options.input_file = input_file;
  options.output_file = output_file;
  options.argv = wine_runner::wine_command(exe, arguments);
  options.working_directory = cwd;
  options.rows = rows;
  options.cols = cols;
  options.environment = wine_runner::wine_settings();
  options.removed_environment = wine_runner::wine_removed_variables();
  return pty_test::start_program(run.program, options);
}

bool waits_for_operator(WineConsoleRun& run) {
  if (run.program.exited) return false;
  if (!alive(run.host)) run.host = find_host(run.program);
  if (run.host < 0 || pty_test::input_pending(run.program)) {
    run.quiet_looks = 0;
    return false;
  }
  const Threads threads = look_at({run.program.pid, run.host});
  const bool still = threads.all_asleep && threads.activity == run.last_activity;
  run.quiet_looks = still ? run.quiet_looks + 1 : 0;
  run.last_activity = threads.activity;
  return run.quiet_looks >= quiet_looks_needed;
}

bool wait_for_operator(WineConsoleRun& run, std::chrono::milliseconds timeout) {
  run.quiet_looks = 0;
  if (!pty_test::wait_until(
          run.program, [&] { return run.program.exited || waits_for_operator(run); }, timeout)) {
    return false;
  }
  pty_test::pump(run.program, std::chrono::milliseconds(0));
  return !run.program.exited;
}

int wait_for_end(WineConsoleRun& run, std::chrono::milliseconds timeout) {
  if (run.host < 0) run.host = find_host(run.program);
  const int code = pty_test::wait_for_exit(run.program, timeout);
  pty_test::wait_until(
      run.program, [&] { return !alive(run.host); }, timeout);
  pty_test::pump(run.program, std::chrono::milliseconds(0));
  return code;
}

std::chrono::nanoseconds cpu_time(const WineConsoleRun& run) {
  return std::chrono::nanoseconds(look_at({run.program.pid, run.host}).run_ns);
}

}  // namespace wine_console
