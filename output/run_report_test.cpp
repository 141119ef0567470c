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
  tally.warned.push_back({.line_number = 3, .student_number = "", .question_count = true, .answers = -6, .expected = -1});
  const std::vector<std::string> expected = {
      " E.gbk: 1 student record, -1 questions -> E.dat, E.txt, E.ans",
      " line 3, no student number: -6 answers, -1 expected",
      " header: -2 students, found 1",
  };
  EXPECT_EQ(run_report_lines(names, values, {}), expected);
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

}  // namespace
}  // namespace output
