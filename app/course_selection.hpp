// The operator's choice of the course file in an interactive run: the
// directory question, the list of course files, and the manual entry of a
// path and name when the list has none or is left without a choice.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "platform/file_search.hpp"

namespace app {

// The most course files the list box offers.
constexpr std::size_t listed_course_files = 1000;

// The course files of the current directory as the list box offers them.
// Entries 1 to 1000; entry 0 is never used.
struct CourseFileList {
  // The names as the list shows them: in upper case, except names that
  // differ from another one only in case, which keep their own spelling so
  // that the operator can tell them apart.
  std::array<std::string, listed_course_files + 1> names{};
  // True for the names kept in their own spelling: each is its file's name
  // exactly. The others find their file from the upper-case name.
  std::array<bool, listed_course_files + 1> exact{};
};

// The course files of the current directory, named as found, in the byte
// order of their upper-case names (platform/name_list.hpp): the first 1000
// are those the list offers.
std::vector<std::string> course_files_found(platform::FileSearch& search);

// Fills the list with the first 1000 course files of the current directory
// in the byte order of their upper-case names, the empty entries behind them.
void build_course_file_list(platform::FileSearch& search, CourseFileList& list);

// The list box's first entry where the directory holds two course files or
// more: " All 40 course files". No course file's name starts with a blank
// and lacks the extension, so it is never one of them.
std::string all_course_files_entry(std::size_t course_files);

struct CourseChoice {
  std::string name;    // the list entry, or the path and name as typed
  bool exact = false;  // a list entry kept in its own spelling: that file exactly
  bool all = false;    // the first entry: every course file of the directory
};

// Returns the choice, or nothing when the program is to end: a manual entry
// that names no file has then been reported and a key awaited. The list box
// offers all_course_files_entry first when it lists two names or more.
std::optional<CourseChoice> select_course_file(console::Console& console, platform::FileSearch& search,
                                               CourseFileList& list);

}  // namespace app
