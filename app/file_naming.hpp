// The run's file names: base name, course file and the three outputs.
#pragma once

#include <string>
#include <string_view>

#include "textio/channels.hpp"

namespace app {

struct RunFiles {
  std::string base_name;
  std::string course_file;  // base name + ".gbk"
  std::string dat_file;
  std::string ans_file;
  std::string txt_file;
  // How the names find their files where the file system tells case apart.
  textio::os::NameMatch match = textio::os::NameMatch::exact_or_any_case;
};

// A name chosen in the dialogs: upper case, every ".GBK" removed.
std::string base_name_from_chosen(std::string_view chosen_name);
// A name from the command line keeps its case: ".gbk" and ".GBK" removed
// wherever they stand, and an extension in any other mix of case at its end
// (as a shell completes the name of MiXeD.GbK).
std::string base_name_from_command_line(std::string_view course_name);

RunFiles run_files(std::string base_name);

// A course file named exactly, as a list entry that differs from another
// only in case: that file, and outputs named after it exactly, so that the
// two course files neither find nor overwrite each other's files.
RunFiles run_files_for_exact_file(std::string_view course_file);

// The files as the run opened them: each name as the file system has it
// (it may differ in case from the name built), or as built for a file that
// did not open. What the editors are given.
RunFiles files_as_opened(const RunFiles& files, const textio::ChannelTable& channels);

}  // namespace app
