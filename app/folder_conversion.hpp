// Every course file of a folder in one run, as an examination office
// converts a whole session: each converted as a command-line run in that
// folder converts it, the same outputs, messages and report, one after the
// other and without the key waits of its messages; then one summary with a
// line per course file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/course_conversion.hpp"
#include "console/console.hpp"
#include "platform/file_search.hpp"

namespace app {

struct NamedOutcome {
  std::string name;  // the course file as found in the folder
  CourseOutcome outcome;
};

// The summary, without line ends: a line per course file in the order of
// the run (" EXAM.GBK: converted, 30 student records, 60 questions, no
// findings"; " NOTES.GBK: refused (not a course file: UTF-16 text)"), then
// " 3 course files: 1 converted (0 of them with findings), 1 refused, 1
// failed".
std::vector<std::string> summary_lines(const std::vector<NamedOutcome>& outcomes);

// Converts the course files of the current directory that the list box
// offers (course_files_found: the first 1000 in byte order), each by its
// name as found, and shows the summary; a directory that cannot be read or
// holds no course file is named in a message. Returns the exit code: 0 when
// every course file was converted, 1 otherwise. Only on a terminal or
// Windows console does the end wait for a key.
int convert_every_course_file(platform::FileSearch& search, console::Console& console);

// The same for `folder`, made the current directory first (the current one
// when empty); a folder that cannot be made so is named in a message, and
// the exit code is 1.
int convert_folder(std::string_view folder, platform::FileSearch& search, console::Console& console);

}  // namespace app
