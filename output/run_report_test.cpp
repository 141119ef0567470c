#include "output/run_report.hpp"

#include <gtest/gtest.h>

namespace output {
namespace {

const ReportNames names{{"E.gbk", "E.gbk"}, {"E.dat", "E.dat"}, {"E.txt", "E.txt"}, {"E.ans", "E.ans"}};

// What the whole-program runs rarely meet: a record without a student
// number, fewer than eight commas, a header with a negative count.
TEST(RunReport, OddRecordsAndHeadersAreShownAsCounted) {
  coursefile::CourseValues values;
  coursefile::RunTally& tally = values.tally;
  tally.student_records = 1;
  tally.header_read = true;
  tally.declared_questions = -1;
  tally.declared_students = -2;
  tally.warned.push_back(
      {.line_number = 3, .student_number = "", .question_count = true, .answers = -6, .expected = -1});
  const std::vector<std::string> expected = {
      " E.gbk: 1 student record, -1 questions -> E.dat, E.txt, E.ans",
      " line 3, no student number: -6 answers, -1 expected",
      " header: -2 students, found 1",
  };
  EXPECT_EQ(run_report_lines(names, values, {}), expected);
}

// A course file read with LF line ends says so right after the first line.
TEST(RunReport, LineFeedLineEndsAreToldAfterTheFirstLine) {
  coursefile::CourseValues values;
  coursefile::RunTally& tally = values.tally;
  tally.line_feeds_end_lines = true;
  tally.student_records = 2;
  tally.warned.push_back({.line_number = 3, .student_number = "7", .multiple_version = true});
  const std::vector<std::string> expected = {
      " E.gbk: 2 student records, no header record -> E.dat, E.txt, E.ans",
      " line ends: LF only, read as CR LF",
      " line 3, student 7: multiple-version student number",
      " header: none, found 2",
  };
  EXPECT_EQ(run_report_lines(names, values, {}), expected);
}

// What the course file lacks for the key, in the order of the report: the
// byte-order mark beside the line ends, the key lines before the key check.
TEST(RunReport, ByteOrderMarkAndWhatTheKeyLacksAreTold) {
  coursefile::CourseValues values;
  coursefile::RunTally& tally = values.tally;
  tally.byte_order_mark_skipped = true;
  tally.line_feeds_end_lines = true;
  tally.student_records = 5;
  tally.header_read = true;
  tally.declared_questions = 120;
  tally.declared_students = 5;
  tally.students_without_key = 2;
  tally.first_line_without_key = 4;
  tally.most_answers = 120;
  const std::vector<std::string> expected = {
      " E.gbk: 5 student records, 120 questions -> E.dat, E.txt, E.ans",
      " byte-order mark: UTF-8, skipped",
      " line ends: LF only, read as CR LF",
      " student records without an answer key: 2 (line 4 first)",
      " questions 101 to 120: no key, the answer key holds 100",
  };
  EXPECT_EQ(run_report_lines(names, values, {}), expected);
  // Codes go no further than the field list: position 142.
  tally.most_answers = 32767;
  EXPECT_EQ(run_report_lines(names, values, {}).back(), " questions 101 to 142: no key, the answer key holds 100");
  tally.most_answers = 100;
  EXPECT_EQ(run_report_lines(names, values, {}).back(), " student records without an answer key: 2 (line 4 first)");
}

// Each line stands for the findings it tells of: one for each warned
// record, the header's count, the records read before a key, the answers
// the key cannot hold and each question of the key check; " ... and N more"
// for the N it leaves out; none for the lines that only inform. A summary
// of many files counts from here.
TEST(RunReport, EachLineCountsTheFindingsItStandsFor) {
  coursefile::CourseValues values;
  coursefile::RunTally& tally = values.tally;
  tally.byte_order_mark_skipped = true;
  tally.line_feeds_end_lines = true;
  tally.student_records = 30;
  for (std::uint64_t line = 3; line < 3 + 25; ++line) {
    coursefile::note_warned_record(tally, {.line_number = line, .student_number = "7", .multiple_version = true});
  }
  tally.header_read = true;
  tally.declared_questions = 12;
  tally.declared_students = 31;
  tally.students_without_key = 2;
  tally.first_line_without_key = 3;
  tally.most_answers = 120;
  tally.answer_key_read = true;  // its entries all empty: 12 questions without a key
  tally.code_counts.records_by_answers[12] = 30;
  const std::vector<std::pair<std::string, std::uint64_t>> expected_lines = {
      {" E.gbk: 30 student records, 12 questions -> E.dat, E.txt, E.ans", 0},
      {" byte-order mark: UTF-8, skipped", 0},
      {" line ends: LF only, read as CR LF", 0},
  };
  const std::vector<ReportLine> report = run_report(names, values, {});
  ASSERT_EQ(report.size(), 3 + 20 + 1 + 3 + 10 + 1);
  for (std::size_t i = 0; i < expected_lines.size(); ++i) {
    EXPECT_EQ(report[i].text, expected_lines[i].first);
    EXPECT_EQ(report[i].findings, expected_lines[i].second) << report[i].text;
  }
  const auto findings_at = [&report](std::string_view start) {
    for (const ReportLine& line : report) {
      if (line.text.starts_with(start)) return line.findings;
    }
    ADD_FAILURE() << "no line starts with " << start;
    return std::uint64_t{0};
  };
  EXPECT_EQ(findings_at(" line 3, student 7"), 1u);
  EXPECT_EQ(findings_at(" ... and 5 more"), 5u);
  EXPECT_EQ(findings_at(" header: 31 students, found 30"), 1u);
  EXPECT_EQ(findings_at(" student records without an answer key"), 1u);
  EXPECT_EQ(findings_at(" questions 101 to 120"), 1u);
  EXPECT_EQ(findings_at(" question 1: no key"), 1u);
  EXPECT_EQ(findings_at(" ... and 2 more questions"), 2u);
  EXPECT_EQ(findings_of(report), 25u + 1 + 1 + 1 + 12);
  // A file with nothing to look at lists no finding.
  EXPECT_EQ(findings_of(run_report(names, coursefile::CourseValues{}, {})), 0u);
}

TEST(RunReport, OnlyAFileWithAFailureOnRecordIsNamedAsFailed) {
  const coursefile::CourseValues values;
  const std::vector<textio::FileFailure> failures = {{"E.txt", "could not be written completely", "disk full"},
                                                     {"other.dat", "could not be opened", "denied"}};
  EXPECT_EQ(run_report_lines(names, values, failures),
            std::vector<std::string>{" E.gbk: 0 student records, no header record -> E.dat, E.txt (failed), E.ans"});
  // Shown as found on disk, in another case: the failure is still its own.
  const ReportNames as_found{{"E.GBK", "E.gbk"}, {"E.DAT", "E.dat"}, {"E.TXT", "E.txt"}, {"E.ans", "E.ans"}};
  EXPECT_EQ(run_report_lines(as_found, values, failures),
            std::vector<std::string>{" E.GBK: 0 student records, no header record -> E.DAT, E.TXT (failed), E.ans"});
}

// Black on light grey reads at a contrast of 11:1 and more in the usual
// palettes, where the run's bright white gives 1.3:1 to 2:1; the colour the
// run ends with stays bright white.
TEST(RunReport, DrawnInBlackOnTheBackgroundThenTheRunsColourAgain) {
  console::Console console;  // plain form: the screen model alone
  console::set_colours(console, console::bright_white, console::light_grey);
  coursefile::CourseValues values;
  values.tally.student_records = 2;
  const textio::ChannelTable channels;
  show_run_report(names, values, channels, console);
  for (int row : {1, 2}) {
    const console::Cell& first = console::cell_at(console.screen, row, 2);
    EXPECT_EQ(first.attr, console::black + 16 * console::light_grey) << "row " << row;
  }
  EXPECT_EQ(console::cell_text(console::cell_at(console.screen, 2, 2)), "h");  // " header: none, found 2"
  EXPECT_EQ(console.screen.foreground, console::bright_white);
  EXPECT_EQ(console.screen.background, console::light_grey);
}

}  // namespace
}  // namespace output
