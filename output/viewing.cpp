#include "output/viewing.hpp"

#include "platform/editor_command.hpp"
#include "platform/program_start.hpp"

namespace output {

std::string editor_command_line(std::string_view editor, std::string_view file_name) {
  std::string line(editor);
  line += "  ";
  line += file_name;
  return line;
}

void view_outputs(std::string_view dat_file, std::string_view txt_file, std::string_view ans_file) {
  for (std::string_view file : {dat_file, txt_file, ans_file}) {
    platform::start_program(editor_command_line(platform::editor_command(), file), platform::show_normal, false);
  }
}

}  // namespace output
