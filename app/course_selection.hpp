// The operator's choice of the course file in an interactive run: the
// directory question, the list of course files, and the manual entry of a
// path and name when the list has none or is left without a choice.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "console/console.hpp"
#include "platform/file_search.hpp"

namespace app {

// Entries 1 to 1000; entry 0 is never used.
using CourseFileList = std::array<std::string, 1001>;

// Fills entries 1..1000 with the names of the course files of the current
// directory, in upper case and byte order, at most 1000 of them, the empty
// entries behind the names.
void build_course_file_list(platform::FileSearch& search, CourseFileList& list);

// Returns the chosen name, or nothing when the program is to end: a manual
// entry that names no file has then been reported and a key awaited.
std::optional<std::string> select_course_file(console::Console& console, platform::FileSearch& search,
                                              CourseFileList& list);

}  // namespace app
