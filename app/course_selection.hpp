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

// The course files of the current directory as the list box offers them.
// Entries 1 to 1000; entry 0 is never used.
struct CourseFileList {
  // The names as the list shows them: in upper case, except names that
  // differ from another one only in case, which keep their own spelling so
  // that the operator can tell them apart.
  std::array<std::string, 1001> names{};
  // True for the names kept in their own spelling: each is its file's name
  // exactly. The others find their file from the upper-case name.
  std::array<bool, 1001> exact{};
};

// Fills the list with the first 1000 course files of the current directory
// in the byte order of their upper-case names, the empty entries behind them.
void build_course_file_list(platform::FileSearch& search, CourseFileList& list);

struct CourseChoice {
  std::string name;    // the list entry, or the path and name as typed
  bool exact = false;  // a list entry kept in its own spelling: that file exactly
};

// Returns the choice, or nothing when the program is to end: a manual entry
// that names no file has then been reported and a key awaited.
std::optional<CourseChoice> select_course_file(console::Console& console, platform::FileSearch& search,
                                               CourseFileList& list);

}  // namespace app
