#include "app/command_tail.hpp"

#include "textio/strings.hpp"

namespace app {

std::string command_tail_of(std::string_view line) {
  std::size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find('"', 1);
    at = close == std::string_view::npos ? line.size() : close + 1;
    while (at < line.size() && line[at] == ' ') ++at;
  } else {
    while (at < line.size() && static_cast<unsigned char>(line[at]) > 0x20) ++at;
    if (at < line.size() && line[at] == ' ') {
      while (at < line.size() && line[at] == ' ') ++at;
    }
  }
  return std::string(line.substr(at));
}

std::string command_tail_of(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return tail;
}

std::string command_line_course_name(std::string_view command_tail) { return std::string(textio::trim(command_tail)); }

std::optional<std::string> folder_to_convert_whole(std::string_view course_name) {
  constexpr std::string_view all_option = "--all";
  if (!course_name.starts_with(all_option)) return std::nullopt;
  std::string_view folder = course_name.substr(all_option.size());
  if (!folder.empty() && folder.front() != ' ') return std::nullopt;  // --allx is a course name
  folder = textio::trim(folder);
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = folder.substr(1, folder.size() - 2);
  }
  return std::string(folder);
}

}  // namespace app
