#include <windows.h>

#include <vector>

#include "platform/program_start.hpp"
#include "textio/quiet_call_windows.hpp"

namespace platform {

namespace {

// The new process's and first thread's handles, closed on every way out.
struct ProcessHandles {
  PROCESS_INFORMATION info{};
  ~ProcessHandles() {
    if (info.hThread != nullptr) ::CloseHandle(info.hThread);
    if (info.hProcess != nullptr) ::CloseHandle(info.hProcess);
  }
  ProcessHandles() = default;
  ProcessHandles(const ProcessHandles&) = delete;
  ProcessHandles& operator=(const ProcessHandles&) = delete;
};

}  // namespace

// The system finds the program from the first word of the command line on
// its search path; only the window's show state is set.
ProgramStart start_program_os(const std::string& command_line, int window_style, bool wait) {
  ProgramStart result;
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');  // CreateProcessA may write into its command line

  STARTUPINFOA start_up{};
  start_up.cb = sizeof start_up;
  start_up.dwFlags = STARTF_USESHOWWINDOW;
  start_up.wShowWindow = static_cast<WORD>(window_style);

  ProcessHandles process;
  textio::os::QuietCall quiet;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &start_up, &process.info)) {
    const DWORD code = ::GetLastError();
    result.error = textio::os::error_number_of(code != 0 ? code : ERROR_FILE_NOT_FOUND);
    return result;
  }
  if (wait) ::WaitForSingleObject(process.info.hProcess, INFINITE);
  result.process_number = static_cast<long>(process.info.dwProcessId);
  return result;
}

}  // namespace platform
