#include "app/file_naming.hpp"

#include "coursefile/records.hpp"
#include "textio/strings.hpp"

namespace app {

namespace {

constexpr std::string_view course_extension = ".gbk";

std::string without_course_extension_at_end(std::string_view name) {
  const bool has_extension = name.size() >= course_extension.size() &&
                             textio::upper_case_ascii(name.substr(name.size() - course_extension.size())) ==
                                 textio::upper_case_ascii(course_extension);
  if (has_extension) name.remove_suffix(course_extension.size());
  return std::string(name);
}

std::string as_opened(const textio::ChannelTable& channels, std::int16_t channel, const std::string& built) {
  std::string path = textio::opened_path(channels, channel);
  return path.empty() ? built : path;
}

}  // namespace

std::string base_name_from_chosen(std::string_view chosen_name) {
  return textio::remove_all(textio::upper_case(chosen_name), ".GBK");
}

std::string base_name_from_command_line(std::string_view course_name) {
  return without_course_extension_at_end(textio::remove_all(textio::remove_all(course_name, ".gbk"), ".GBK"));
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

RunFiles run_files_for_exact_file(std::string_view course_file) {
  RunFiles files = run_files(without_course_extension_at_end(course_file));
  files.course_file = std::string(course_file);
  files.match = textio::os::NameMatch::exact;
  return files;
}

RunFiles files_as_opened(const RunFiles& files, const textio::ChannelTable& channels) {
  RunFiles opened = files;
  opened.course_file = as_opened(channels, coursefile::course_channel, files.course_file);
  opened.dat_file = as_opened(channels, coursefile::dat_channel, files.dat_file);
  opened.ans_file = as_opened(channels, coursefile::ans_channel, files.ans_file);
  opened.txt_file = as_opened(channels, coursefile::txt_channel, files.txt_file);
  return opened;
}

}  // namespace app
