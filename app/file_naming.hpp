// The run's file names: base name, course file and the three outputs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_search.hpp"
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

// What the course file name of a run finds, where names may differ only in
// case.
struct FoundCourseFile {
  enum class How {
    none,       // no course file: the run ends
    one,        // one file: the names as built find it
    exactly,    // one of several named exactly: that file, outputs named exactly after it
    ambiguous,  // several, none named exactly: the run ends, naming them
  };
  How how = How::none;
  std::string path;                     // one, exactly: the course file as found on disk
  std::vector<std::string> candidates;  // ambiguous: the files found, in byte order
};

// Looks for the course file of files as the existence test does. Of files
// that differ only in case, the one named exactly is taken: named as typed
// (the name given on the command line, or chosen or typed in the dialogs),
// or, where the names were built keeping the case of that name
// (built_as_typed: a command-line run, a list entry in its own spelling),
// as built or by the base name with the extension in any case (exam finds
// exam.GBK beside EXAM.gbk). A name with * or ? finds one file when it
// finds any.
FoundCourseFile find_course_file(platform::FileSearch& search, const RunFiles& files, std::string_view typed_name,
                                 bool built_as_typed);

// The same choice among the files the existence test finds
// (platform::files_named for the course file name), where they are known
// already.
FoundCourseFile course_file_among(std::vector<std::string> paths, const RunFiles& files, std::string_view typed_name,
                                  bool built_as_typed);

// What a run that finds no course file says: " There is no file called
// EXAM.gbk", followed by " course files end in .GBK; exam.csv is not one"
// when the name typed names a normal file without that extension in any
// case; or, when the name finds only a folder, " EXAM.gbk is a folder, not
// a course file".
std::vector<std::string> no_course_file_lines(platform::FileSearch& search, const RunFiles& files,
                                              std::string_view typed_name);

// " Exam.gbk could be EXAM.GBK or exam.gbk: give the name exactly".
std::string ambiguous_course_name_message(std::string_view course_file, const std::vector<std::string>& candidates);

// The files as the run opened them: each name as the file system has it
// (it may differ in case from the name built); for a file that did not open
// the course file as found on disk, the outputs as built. What the editors
// and the report are given.
RunFiles files_as_opened(const RunFiles& files, const textio::ChannelTable& channels,
                         std::string_view course_file_found);

}  // namespace app
