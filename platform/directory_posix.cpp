#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/directory.hpp"
#include "textio/file_system.hpp"

namespace platform {

std::string current_directory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

bool current_directory_listable() {
  DIR* stream = ::opendir(".");
  if (stream == nullptr) return false;
  ::closedir(stream);
  return true;
}

int change_directory_os(const std::string& path) {
  if (path.empty()) return path_not_found;
  // Names are typed as on a file system that ignores case: find the
  // directory the way the file searches find files.
  const std::string resolved = textio::os::resolve_name(path);
  if (::chdir(resolved.c_str()) == 0) return 0;
  switch (errno) {
    case EACCES:
    case EPERM: return 75;  // path/file access error
    default: return path_not_found;
  }
}

}  // namespace platform
