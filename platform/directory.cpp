#include "platform/directory.hpp"

namespace platform {

int change_directory(std::string_view path) {
  // A long path is passed whole: cut short it could name another directory.
  if (path.find_first_of("*?") != std::string_view::npos) return path_not_found;
  return change_directory_os(std::string(path));
}

}  // namespace platform
