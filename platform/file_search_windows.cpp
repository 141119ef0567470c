#include <windows.h>

#include "platform/file_search.hpp"
#include "textio/find_handle_windows.hpp"
#include "textio/quiet_call_windows.hpp"

namespace platform {

namespace {

int attributes_of(DWORD file_attributes) {
  int attributes = 0;
  if (file_attributes & FILE_ATTRIBUTE_HIDDEN) attributes |= hidden;
  if (file_attributes & FILE_ATTRIBUTE_SYSTEM) attributes |= system;
  if (file_attributes & FILE_ATTRIBUTE_DIRECTORY) attributes |= directory;
  return attributes;
}

}  // namespace

// The system matches the pattern (case ignored, "*.*" also matching names
// without a dot) and gives the names in its own order.
std::vector<DirectoryEntry> matching_entries(std::string_view pattern) {
  std::vector<DirectoryEntry> entries;
  std::string full(pattern);
  if (full.find('\0') != std::string::npos) return entries;
  if (full.ends_with('\\') || full.ends_with(':')) full += "*.*";
  // Missing drives and empty removable drives give no name, not a dialog.
  textio::os::QuietCall quiet;
  WIN32_FIND_DATAA found{};
  textio::os::FindHandle search(::FindFirstFileA(full.c_str(), &found));
  if (search.handle == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({std::string(found.cFileName), attributes_of(found.dwFileAttributes)});
  } while (::FindNextFileA(search.handle, &found));
  return entries;
}

}  // namespace platform
