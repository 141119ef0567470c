#include "platform/program_start.hpp"

namespace platform {

ProgramStart start_program(std::string_view command_line, int window_style, bool wait) {
  return start_program_os(std::string(command_line), window_style, wait);
}

std::vector<std::string> program_arguments(std::string_view command_line) {
  std::vector<std::string> arguments;
  const std::size_t split = command_line.find("  ");
  std::string_view words = command_line.substr(0, split);
  while (!words.empty()) {
    const std::size_t start = words.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    words.remove_prefix(start);
    const std::size_t end = words.find(' ');
    arguments.emplace_back(words.substr(0, end));
    words.remove_prefix(end == std::string_view::npos ? words.size() : end);
  }
  if (split != std::string_view::npos) {
    const std::string_view rest = command_line.substr(split + 2);
    if (!rest.empty()) arguments.emplace_back(rest);
  }
  return arguments;
}

}  // namespace platform
