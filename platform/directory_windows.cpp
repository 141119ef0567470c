#include <windows.h>

#include <vector>

#include "platform/directory.hpp"
#include "textio/find_handle_windows.hpp"
#include "textio/quiet_call_windows.hpp"

namespace platform {

std::string current_directory() {
  std::vector<char> buffer(MAX_PATH + 1);
  while (true) {
    textio::os::QuietCall quiet;
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    // A longer directory name tells the size it needs instead of being cut.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

bool current_directory_listable() {
  textio::os::QuietCall quiet;
  WIN32_FIND_DATAA found{};
  textio::os::FindHandle search(::FindFirstFileA("*", &found));
  // The root of an empty drive lists nothing, and says so: no error.
  return search.handle != INVALID_HANDLE_VALUE || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

int change_directory_os(const std::string& path) {
  if (path.empty()) return path_not_found;
  textio::os::QuietCall quiet;
  if (::SetCurrentDirectoryA(path.c_str())) return 0;
  const DWORD code = ::GetLastError();
  // A missing directory, or a name that is no directory, is a path not found.
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_DIRECTORY || code == 0) return path_not_found;
  return textio::os::error_number_of(code);
}

}  // namespace platform
