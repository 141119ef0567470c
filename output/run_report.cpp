#include "output/run_report.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "output/key_check.hpp"
#include "output/response_coding.hpp"

namespace output {

namespace {

// "1 answer", "3 answers", "0 answers", "-6 answers".
std::string counted(std::int64_t count, std::string_view thing) {
  std::string text = std::to_string(count);
  text += ' ';
  text += thing;
  if (count != 1) text += 's';
  return text;
}

std::string file_entry(const ReportedFile& file, const std::vector<textio::FileFailure>& failures) {
  const bool failed = std::any_of(failures.begin(), failures.end(), [&](const textio::FileFailure& failure) {
    return failure.file_name == file.asked_for;
  });
  return failed ? file.shown + " (failed)" : file.shown;
}

std::string record_line(const coursefile::WarnedRecord& record) {
  std::string text = " line " + std::to_string(record.line_number) + ", ";
  text += record.student_number.empty() ? "no student number" : "student " + record.student_number;
  text += ": ";
  if (record.question_count) {
    text += counted(record.answers, "answer") + ", " + std::to_string(record.expected) + " expected";
    if (record.multiple_version) text += "; ";
  }
  if (record.multiple_version) text += "multiple-version student number";
  return text;
}

bool student_count_differs(const coursefile::RunTally& tally) {
  if (!tally.header_read) return tally.student_records != 0;  // the run counts a missing header as 0
  return tally.declared_students < 0 || static_cast<std::uint64_t>(tally.declared_students) != tally.student_records;
}

}  // namespace

std::vector<std::string> run_report_lines(const ReportNames& names, const coursefile::CourseValues& values,
                                          const std::vector<textio::FileFailure>& failures) {
  const coursefile::RunTally& tally = values.tally;
  std::vector<std::string> lines;
  const std::int64_t students = static_cast<std::int64_t>(tally.student_records);
  lines.push_back(" " + file_entry(names.course_file, failures) + ": " + counted(students, "student record") + ", " +
                  (tally.header_read ? counted(tally.declared_questions, "question") : "no header record") + " -> " +
                  file_entry(names.dat_file, failures) + ", " + file_entry(names.txt_file, failures) + ", " +
                  file_entry(names.ans_file, failures));
  if (tally.byte_order_mark_skipped) lines.push_back(" byte-order mark: UTF-8, skipped");
  if (tally.line_feeds_end_lines) lines.push_back(" line ends: LF only, read as CR LF");
  for (const coursefile::WarnedRecord& record : tally.warned) lines.push_back(record_line(record));
  if (tally.warned_left_out > 0) lines.push_back(" ... and " + std::to_string(tally.warned_left_out) + " more");
  if (student_count_differs(tally)) {
    lines.push_back(" header: " + (tally.header_read ? counted(tally.declared_students, "student") : "none") +
                    ", found " + std::to_string(tally.student_records));
  }
  if (tally.students_without_key > 0) {
    lines.push_back(" student records without an answer key: " + std::to_string(tally.students_without_key) +
                    " (line " + std::to_string(tally.first_line_without_key) + " first)");
  }
  if (tally.most_answers > coursefile::answer_key_size) {
    lines.push_back(" questions " + std::to_string(coursefile::answer_key_size + 1) + " to " +
                    std::to_string(std::min(tally.most_answers, coded_positions)) + ": no key, the answer key holds " +
                    std::to_string(coursefile::answer_key_size));
  }
  KeyFindings key_findings = check_answer_key(values);
  for (std::string& line : key_findings.lines) lines.push_back(std::move(line));
  if (key_findings.left_out > 0)
    lines.push_back(" ... and " + counted(static_cast<std::int64_t>(key_findings.left_out), "more question"));
  return lines;
}

void show_run_report(const ReportNames& names, const coursefile::CourseValues& values,
                     const textio::ChannelTable& channels, console::Console& console) {
  // The run ends in bright white, which all but vanishes on the light grey
  // background; the report is read in black, and the run's colour comes back
  // after it.
  const int run_colour = console.screen.foreground;
  console::set_colours(console, console::black, console::keep_colour);
  const std::vector<std::string> lines = run_report_lines(names, values, channels.failures);
  for (const std::string& line : lines) {
    console::print_text(console, line);
    console::line_end(console);
  }
  console::set_colours(console, run_colour, console::keep_colour);
  console::copy_to_standard_output(console, lines);
}

}  // namespace output
