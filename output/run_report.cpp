#include "output/run_report.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "output/key_check.hpp"
#include "output/response_coding.hpp"

namespace output {

namespace {

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

std::string counted(std::int64_t count, std::string_view thing) {
  std::string text = std::to_string(count);
  text += ' ';
  text += thing;
  if (count != 1) text += 's';
  return text;
}

std::vector<ReportLine> run_report(const ReportNames& names, const coursefile::CourseValues& values,
                                   const std::vector<textio::FileFailure>& failures) {
  const coursefile::RunTally& tally = values.tally;
  std::vector<ReportLine> lines;
  const auto info = [&lines](std::string text) { lines.push_back({std::move(text), 0}); };
  const auto finding = [&lines](std::string text) { lines.push_back({std::move(text), 1}); };
  const auto left_out = [&lines](std::uint64_t count, std::string text) { lines.push_back({std::move(text), count}); };
  const std::int64_t students = static_cast<std::int64_t>(tally.student_records);
  info(" " + file_entry(names.course_file, failures) + ": " + counted(students, "student record") + ", " +
       (tally.header_read ? counted(tally.declared_questions, "question") : "no header record") + " -> " +
       file_entry(names.dat_file, failures) + ", " + file_entry(names.txt_file, failures) + ", " +
       file_entry(names.ans_file, failures));
  if (tally.byte_order_mark_skipped) info(" byte-order mark: UTF-8, skipped");
  if (tally.line_feeds_end_lines) info(" line ends: LF only, read as CR LF");
  for (const coursefile::WarnedRecord& record : tally.warned) finding(record_line(record));
  if (tally.warned_left_out > 0) {
    left_out(tally.warned_left_out, " ... and " + std::to_string(tally.warned_left_out) + " more");
  }
  if (student_count_differs(tally)) {
    finding(" header: " + (tally.header_read ? counted(tally.declared_students, "student") : "none") + ", found " +
            std::to_string(tally.student_records));
  }
  if (tally.students_without_key > 0) {
    finding(" student records without an answer key: " + std::to_string(tally.students_without_key) + " (line " +
            std::to_string(tally.first_line_without_key) + " first)");
  }
  if (tally.most_answers > coursefile::answer_key_size) {
    finding(" questions " + std::to_string(coursefile::answer_key_size + 1) + " to " +
            std::to_string(std::min(tally.most_answers, coded_positions)) + ": no key, the answer key holds " +
            std::to_string(coursefile::answer_key_size));
  }
  KeyFindings key_findings = check_answer_key(values);
  for (std::string& line : key_findings.lines) finding(std::move(line));
  if (key_findings.left_out > 0) {
    left_out(key_findings.left_out,
             " ... and " + counted(static_cast<std::int64_t>(key_findings.left_out), "more question"));
  }
  return lines;
}

std::vector<std::string> run_report_lines(const ReportNames& names, const coursefile::CourseValues& values,
                                          const std::vector<textio::FileFailure>& failures) {
  std::vector<std::string> texts;
  for (ReportLine& line : run_report(names, values, failures)) texts.push_back(std::move(line.text));
  return texts;
}

std::uint64_t findings_of(const std::vector<ReportLine>& report) {
  std::uint64_t findings = 0;
  for (const ReportLine& line : report) findings += line.findings;
  return findings;
}

std::uint64_t show_run_report(const ReportNames& names, const coursefile::CourseValues& values,
                              const textio::ChannelTable& channels, console::Console& console) {
  // The run ends in bright white, which all but vanishes on the light grey
  // background; the report is read in black, and the run's colour comes back
  // after it.
  const int run_colour = console.screen.foreground;
  console::set_colours(console, console::black, console::keep_colour);
  const std::vector<ReportLine> report = run_report(names, values, channels.failures);
  std::vector<std::string> lines;
  for (const ReportLine& line : report) {
    console::print_text(console, line.text);
    console::line_end(console);
    lines.push_back(line.text);
  }
  console::set_colours(console, run_colour, console::keep_colour);
  console::copy_to_standard_output(console, lines);
  return findings_of(report);
}

}  // namespace output
