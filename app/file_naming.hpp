// The run's file names: base name, course file and the three outputs.
#pragma once

#include <string>
#include <string_view>

namespace app {

struct RunFiles {
  std::string base_name;
  std::string course_file;  // base name + ".gbk"
  std::string dat_file;
  std::string ans_file;
  std::string txt_file;
};

// A name chosen in the dialogs: upper case, every ".GBK" removed.
std::string base_name_from_chosen(std::string_view chosen_name);
// A name from the command line keeps its case; ".gbk" and ".GBK" removed.
std::string base_name_from_command_line(std::string_view course_name);

RunFiles run_files(std::string base_name);

}  // namespace app
