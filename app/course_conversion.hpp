// One course file, found on disk, from the opening of its files to its
// report: a file that is no course file is refused before any output is
// opened, so that the outputs of an earlier run stay as they are; any other
// is converted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_naming.hpp"
#include "console/console.hpp"
#include "platform/file_search.hpp"

namespace app {

// A run that converts nothing must not pass for a successful one.
constexpr int nothing_converted = 1;

// What became of one course file, as a run's exit code and a line of the
// summary of a run over a whole folder tell it.
struct CourseOutcome {
  enum class Result {
    converted,  // every file of it opened, read and written
    refused,    // not converted: no course file, or no name that finds it
    failed,     // not found, or a file of it could not be opened, read or written
  };
  Result result = Result::failed;
  std::string why;    // refused, failed: in a few words
  bool read = false;  // the course file opened: the counts are its report's
  std::uint64_t student_records = 0;
  bool header_read = false;
  std::int64_t declared_questions = 0;
  std::uint64_t findings = 0;  // the findings its report lists (output/run_report.hpp)
};

// 0 for a course file converted, otherwise 1.
int exit_code_of(const CourseOutcome& outcome);

// Converts the course file at course_path (as found on disk, or the name
// with * or ? that found it) into the outputs of `files` and shows the
// report; in an interactive run the editors are started on the outputs. A
// file that is no course file (coursefile/course_file_check.hpp) is
// refused, named as found, before any output is opened: its lines are
// shown and a key awaited.
CourseOutcome convert_course_file(const RunFiles& files, std::string_view course_path, bool interactive,
                                  console::Console& console);

// The whole way from a course name to its outcome: the existence test
// (find_course_file, with typed_name and built_as_typed as it takes them),
// its messages and key wait when no one file is found, then the conversion.
CourseOutcome convert_named_course_file(RunFiles files, std::string_view typed_name, bool built_as_typed,
                                        bool interactive, platform::FileSearch& search, console::Console& console);

// The same from what the existence test found.
CourseOutcome convert_found_course_file(const FoundCourseFile& found, RunFiles files, std::string_view typed_name,
                                        bool interactive, platform::FileSearch& search, console::Console& console);

}  // namespace app
