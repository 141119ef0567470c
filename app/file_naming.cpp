#include "app/file_naming.hpp"

#include "textio/strings.hpp"

namespace app {

std::string base_name_from_chosen(std::string_view chosen_name) {
  return textio::remove_all(textio::upper_case(chosen_name), ".GBK");
}

std::string base_name_from_command_line(std::string_view course_name) {
  return textio::remove_all(textio::remove_all(course_name, ".gbk"), ".GBK");
}

RunFiles run_files(std::string base_name) {
  RunFiles files;
  files.course_file = base_name + ".gbk";
  files.dat_file = base_name + ".dat";
  files.ans_file = base_name + ".ans";
  files.txt_file = base_name + ".txt";
  files.base_name = std::move(base_name);
  return files;
}

}  // namespace app
