#include "output/key_check.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace output {
namespace {

// One question of a class: its key entry, how many student records reach
// it, and the codes written there: ".", then "1" to "5", then any other
// ("-" is the rest of those that reach it).
struct Question {
  std::string key;
  std::uint64_t reached;
  std::array<std::uint64_t, coursefile::code_kinds> codes;
};

// The values a class leaves: a key record, a header declaring its
// questions, and records that reach each question as given (the counts of
// the questions must not grow with q).
coursefile::CourseValues class_of(const std::vector<Question>& questions) {
  coursefile::CourseValues values;
  values.tally.answer_key_read = true;
  values.tally.header_read = true;
  values.tally.declared_questions = static_cast<std::int64_t>(questions.size());
  values.tally.student_records = questions.empty() ? 0 : questions[0].reached;
  for (std::size_t q = 1; q <= questions.size(); ++q) {
    const Question& question = questions[q - 1];
    values.answer_key[q] = question.key;
    const std::uint64_t reaching_next = q < questions.size() ? questions[q].reached : 0;
    values.tally.code_counts.records_by_answers[q] = question.reached - reaching_next;
    values.tally.code_counts.codes[q - 1] = question.codes;
  }
  return values;
}

std::vector<std::string> findings(const coursefile::CourseValues& values) { return check_answer_key(values).lines; }

// Counts as {".", "1", "2", "3", "4", "5", other}.
TEST(KeyCheck, AKeyTheClassContradictsIsFound) {
  struct Case {
    const char* what;
    Question question;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"another option chosen by most",
       {"C", 250, {12, 20, 201, 0, 10, 5, 2}},
       {" question 1: key C chosen by 12 of 250; B chosen by 201"}},
      {"chosen by exactly half",
       {"A", 20, {4, 0, 10, 6, 0, 0, 0}},
       {" question 1: key A chosen by 4 of 20; B chosen by 10"}},
      {"a tie: the first in A to E order",
       {"E", 30, {0, 0, 14, 0, 14, 0, 0}},
       {" question 1: key E chosen by 0 of 28; B chosen by 14"}},
      {"ten answering, some records without an answer",
       {"B", 14, {0, 10, 0, 0, 0, 0, 0}},
       {" question 1: key B chosen by 0 of 10; A chosen by 10"}},
      {"a hard question keyed right: the key chosen most", {"D", 250, {90, 60, 60, 40, 0, 0, 0}}, {}},
      {"more than the key, but under half", {"D", 250, {40, 90, 60, 50, 0, 10, 0}}, {}},
      {"half, but not more than the key", {"D", 20, {10, 10, 0, 0, 0, 0, 0}}, {}},
      {"fewer than ten answering", {"B", 30, {0, 9, 0, 0, 0, 0, 0}}, {}},
      {"the key's own digit (a digit answer) is no other option", {"C", 20, {0, 0, 0, 20, 0, 0, 0}}, {}},
      {"no key", {"", 1, {}}, {" question 1: no key"}},
      {"no key, no record reaching it", {"", 0, {}}, {}},
      {"a key that is no option", {"F", 3, {}}, {" question 1: key \"F\" is not A to E"}},
      {"a key of two letters", {"AB", 3, {}}, {" question 1: key \"AB\" is not A to E"}},
      {"a key of 41 bytes, cut",
       {std::string(41, 'x'), 3, {}},
       {" question 1: key \"" + std::string(40, 'x') + "...\" is not A to E"}},
  };
  for (const Case& c : cases) EXPECT_EQ(findings(class_of({c.question})), c.lines) << c.what;
}

// Questions beyond the declared count, or beyond 100, and questions that
// short records do not reach are not checked; a file without a key
// record, a header or student records has no findings.
TEST(KeyCheck, OnlyQuestionsTheRecordsReachWithinTheDeclaredCount) {
  const Question contradicted = {"C", 250, {12, 20, 201, 0, 10, 5, 2}};
  const Question unkeyed = {"", 250, {}};
  coursefile::CourseValues values = class_of({contradicted, unkeyed, {"", 0, {}}});
  EXPECT_EQ(findings(values), (std::vector<std::string>{" question 1: key C chosen by 12 of 250; B chosen by 201",
                                                        " question 2: no key"}));
  values.tally.declared_questions = 1;
  EXPECT_EQ(findings(values).size(), 1u);
  values.tally.declared_questions = 0;
  EXPECT_EQ(findings(values).size(), 0u);
  values.tally.declared_questions = 40000;  // only the 100 questions the key holds
  values.tally.code_counts.records_by_answers[100] = 1;
  const KeyFindings all = check_answer_key(values);
  EXPECT_EQ(all.lines.size() + all.left_out, 100u);

  for (const auto unread : {&coursefile::RunTally::answer_key_read, &coursefile::RunTally::header_read}) {
    coursefile::CourseValues without = class_of({contradicted, unkeyed});
    without.tally.*unread = false;
    EXPECT_TRUE(findings(without).empty());
  }
  coursefile::CourseValues no_students = class_of({contradicted, unkeyed});
  no_students.tally.student_records = 0;
  EXPECT_TRUE(findings(no_students).empty());
}

TEST(KeyCheck, AtMostTenLinesAndHowManyMore) {
  for (const std::size_t unkeyed : {10u, 11u, 13u}) {
    const KeyFindings found = check_answer_key(class_of(std::vector<Question>(unkeyed, {"", 5, {}})));
    ASSERT_EQ(found.lines.size(), 10u);
    EXPECT_EQ(found.lines.back(), " question 10: no key");
    EXPECT_EQ(found.left_out, unkeyed - 10);
  }
}

}  // namespace
}  // namespace output
