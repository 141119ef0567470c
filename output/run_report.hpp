// The short report at the end of a run that opened its files: the course
// file, the student records and questions, the outputs; the student records
// that raised a warning, by line; the student count against the header;
// the questions whose key looks wrong (key_check.hpp). Counts are the run's
// full counts, never cut to 16 bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// "1 answer", "3 answers", "0 answers", "-6 answers": the report's counts,
// and those of any text that counts the same way.
std::string counted(std::int64_t count, std::string_view thing);

// A line of the report, without its line end, and the findings it stands
// for: a line that tells something to look at in the course file or its
// outputs (a warned record, the header's count, a question of the key
// check ...) one; " ... and N more" the N it leaves out; a line that only
// informs (the files, the byte-order mark, the line ends) none. A summary
// counts a file's findings from here, so that a new kind of line counts
// where it is made.
struct ReportLine {
  std::string text;
  std::uint64_t findings = 0;
};

// The report. A file with a failure on record is named as failed.
std::vector<ReportLine> run_report(const ReportNames& names, const coursefile::CourseValues& values,
                                   const std::vector<textio::FileFailure>& failures);

// Its lines' texts.
std::vector<std::string> run_report_lines(const ReportNames& names, const coursefile::CourseValues& values,
                                          const std::vector<textio::FileFailure>& failures);

// The findings its lines stand for.
std::uint64_t findings_of(const std::vector<ReportLine>& report);

// Prints the report from the cursor on, in black on the background in
// force, and then sets the foreground colour in force before; no wait
// follows it. Standard output apart from the screen (a file or a pipe)
// gets it as plain text too. Returns the findings it lists.
std::uint64_t show_run_report(const ReportNames& names, const coursefile::CourseValues& values,
                              const textio::ChannelTable& channels, console::Console& console);

}  // namespace output
