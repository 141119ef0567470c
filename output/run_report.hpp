// The short report at the end of a run that opened its files: the course
// file, the student records and questions, the outputs; the student records
// that raised a warning, by line; the student count against the header;
// the questions whose key looks wrong (key_check.hpp). Counts are the run's
// full counts, never cut to 16 bits.
#pragma once

#include <string>
#include <vector>

#include "console/console.hpp"
#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"

namespace output {

// A file of the run as the report names it. Its failures are on record
// under the name the run asked for when it opened the file, which may differ
// from the name shown (the file as found, for instance, in another case).
struct ReportedFile {
  std::string shown;
  std::string asked_for;
};

struct ReportNames {
  ReportedFile course_file;
  ReportedFile dat_file;
  ReportedFile txt_file;
  ReportedFile ans_file;
};

// The report's lines, without line ends. A file with a failure on record is
// named as failed.
std::vector<std::string> run_report_lines(const ReportNames& names, const coursefile::CourseValues& values,
                                          const std::vector<textio::FileFailure>& failures);

// Prints the report from the cursor on, in black on the background in
// force, and then sets the foreground colour in force before; no wait
// follows it. Standard output apart from the screen (a file or a pipe)
// gets it as plain text too.
void show_run_report(const ReportNames& names, const coursefile::CourseValues& values,
                     const textio::ChannelTable& channels, console::Console& console);

}  // namespace output
