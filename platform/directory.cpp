#include "platform/directory.hpp"

namespace platform {

int change_directory(std::string_view path) {
  const std::string cut(path.substr(0, 255));
  if (cut.find_first_of("*?") != std::string::npos) return path_not_found;
  return change_directory_os(cut);
}

}  // namespace platform
