#include "app/folder_conversion.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace app {
namespace {

using Result = CourseOutcome::Result;

// An outcome whose course file was read; header_questions < 0: no header.
CourseOutcome read_as(Result result, std::string why, std::uint64_t records, std::int64_t header_questions,
                      std::uint64_t findings) {
  CourseOutcome outcome;
  outcome.result = result;
  outcome.why = std::move(why);
  outcome.read = true;
  outcome.student_records = records;
  outcome.header_read = header_questions >= 0;
  outcome.declared_questions = std::max<std::int64_t>(header_questions, 0);
  outcome.findings = findings;
  return outcome;
}

CourseOutcome unread(Result result, std::string why) {
  CourseOutcome outcome;
  outcome.result = result;
  outcome.why = std::move(why);
  return outcome;
}

// Every kind of line the summary has, and the totals that count them: a
// file converted with findings counts as converted, one that failed after
// its reading keeps its counts, one never read shows none.
TEST(FolderSummary, ALinePerCourseFileThenTheTotals) {
  const std::vector<NamedOutcome> outcomes = {
      {"A.GBK", read_as(Result::converted, "", 300, 60, 0)},
      {"b.gbk", read_as(Result::converted, "", 1, 1, 1)},
      {"C.gbk", read_as(Result::converted, "", 2, -1, 12)},
      {"HELD.GBK", unread(Result::failed, "HELD.gbk could not be opened: in use")},
      {"OUT.GBK", read_as(Result::failed, "OUT.dat could not be opened: in use", 3, 4, 0)},
      {"UTF16.GBK", unread(Result::refused, "not a course file: UTF-16 text")},
  };
  const std::vector<std::string> expected = {
      " A.GBK: converted, 300 student records, 60 questions, no findings",
      " b.gbk: converted, 1 student record, 1 question, 1 finding",
      " C.gbk: converted, 2 student records, no header record, 12 findings",
      " HELD.GBK: failed (HELD.gbk could not be opened: in use)",
      " OUT.GBK: failed (OUT.dat could not be opened: in use), 3 student records, 4 questions, no findings",
      " UTF16.GBK: refused (not a course file: UTF-16 text)",
      " 6 course files: 3 converted (2 of them with findings), 1 refused, 2 failed",
  };
  EXPECT_EQ(summary_lines(outcomes), expected);
  EXPECT_EQ(summary_lines({outcomes.front()}).back(),
            " 1 course file: 1 converted (0 of them with findings), 0 refused, 0 failed");
}

}  // namespace
}  // namespace app
