#include "coursefile/records.hpp"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace coursefile {
namespace {

textio::SplitLine split(std::string_view line) {
  textio::SplitLine result;
  textio::split_fields(line, 150, result);
  return result;
}

TEST(RecordKind, TrimmedFieldOneComparedExactly) {
  struct Case {
    std::string_view line;
    RecordKind kind;
  };
  const Case cases[] = {
      {"SH3,x", RecordKind::answer_key},   {"FH,x", RecordKind::header},
      {"SD,1", RecordKind::student},       {"  SD  ,1", RecordKind::student},
      {"\" SD \",1", RecordKind::student}, {"SD", RecordKind::student},
      {"sh3,x", RecordKind::none},         {"Fh,x", RecordKind::none},
      {"SD1,x", RecordKind::none},         {"", RecordKind::none},
      {"    ", RecordKind::none},          {"\tSD,1", RecordKind::none},
  };
  for (const Case& c : cases) EXPECT_EQ(record_kind(split(c.line)), c.kind) << c.line;
}

TEST(AnswerCount, SeparatingCommasMinusEight) {
  struct Case {
    std::string_view line;
    std::int16_t count;
  };
  const Case cases[] = {
      {"SD,s,n,4,5,6,7,8,a,b,d,", 3},
      {"SD,s,n,4,5,6,7,8,a,b,d", 2},
      {"SD,1,2", -6},
      {"SD,1001,\"Smith, J\",,,,,,a,B,d,E,", 4},  // the quoted comma adds no answer
  };
  for (const Case& c : cases) EXPECT_EQ(answer_count(split(c.line)), c.count) << c.line;
  std::string huge = "SD";
  for (int i = 0; i < 40008; ++i) huge += ',';
  EXPECT_EQ(answer_count(split(huge)), static_cast<std::int16_t>(40000 - 65536));
}

TEST(AnswerKey, EveryRecordSetsAllHundredEntries) {
  CourseValues values;
  take_answer_key(split("SH3,x,x,x,x,x,x,x,a,A,x,ab,, d ,e,B"), values);
  const char* expected[] = {"A", "A", "x", "ab", "", "D", "E", "B"};
  for (int q = 1; q <= 8; ++q) EXPECT_EQ(key_entry(values, q), expected[q - 1]) << q;
  EXPECT_EQ(key_entry(values, 9), "");
  take_answer_key(split("SH3,,,,,,,,c"), values);
  EXPECT_EQ(key_entry(values, 1), "C");
  EXPECT_EQ(key_entry(values, 2), "");  // a shorter second record empties the rest
  EXPECT_EQ(key_entry(values, 101), "");
  EXPECT_EQ(key_entry(values, 0), "");
}

TEST(Header, SetsTheCountsAndPrintsThemInNumberForm) {
  struct Case {
    std::string_view line;
    std::int16_t questions, students;
    std::string_view console_text;
  };
  const Case cases[] = {
      {"FH,,,,,,,,40,25", 40, 25, " number of questions = 40  number of students =  25 \n"},
      {"FH,,,,,,,,4,3,", 4, 3, " number of questions = 4  number of students =  3 \n"},
      {"FH,,,,,,,,-3", -3, 0, " number of questions =-3  number of students =  0 \n"},
      {"FH,,,,,,,, 40.5 ,41.5", 40, 42, " number of questions = 40  number of students =  42 \n"},
      {"FH,,,,,,,,abc,40000", 0, -25536, " number of questions = 0  number of students = -25536 \n"},
  };
  for (const Case& c : cases) {
    CourseValues values;
    values.current_questions = 99;
    console::Console console;
    take_header(split(c.line), values, console);
    EXPECT_EQ(values.declared_questions, c.questions) << c.line;
    EXPECT_EQ(values.current_questions, c.questions) << c.line;
    EXPECT_EQ(values.declared_students, c.students) << c.line;
    EXPECT_EQ(console.plain_pending, c.console_text);
  }
}

// The checks wait for the operator after a warning; standard input at its
// end lets every wait return at once.
class StudentChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_stdin = ::dup(0);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, 0);
    ::close(null);
  }
  void TearDown() override {
    ::dup2(saved_stdin, 0);
    ::close(saved_stdin);
  }
  int saved_stdin = -1;
  console::Console console;
  textio::ChannelTable channels;
  CourseValues values;
};

TEST_F(StudentChecks, CountsRecordsAndFollowsTheAnswerCount) {
  values.current_questions = 40;
  const std::int16_t counts[] = {39, 39, 40};
  for (std::int16_t count : counts) {
    std::string line = "SD,1";
    for (int i = 0; i < count + 6; ++i) line += ",a";
    line += ",";
    check_student(split(line), values, "EXAM.gbk", console, channels);
    EXPECT_EQ(values.last_answer_count, count);
    EXPECT_EQ(values.current_questions, count);
  }
  EXPECT_EQ(values.student_count, 3);
  values.student_count = 32767;
  check_student(split("SD,1"), values, "EXAM.gbk", console, channels);
  EXPECT_EQ(values.student_count, -32768);
}

TEST_F(StudentChecks, WarnedRecordsAreNotedWithFullCountsAndAShortStudentNumber) {
  take_header(split("FH,,,,,,,,4,70000"), values, console);
  EXPECT_EQ(values.tally.declared_students, 70000);
  EXPECT_EQ(values.declared_students, 70000 - 65536);
  std::string many_answers = "SD, " + std::string(50, '9') + " ,x";
  for (int i = 0; i < 40006; ++i) many_answers += ',';
  std::string version = "SD,2222222,x";
  for (int i = 0; i < 40006; ++i) version += ',';
  values.tally.lines_read = 70001;
  check_student(split(many_answers), values, "EXAM.gbk", console, channels);  // 40000 answers, 4 expected
  values.tally.lines_read = 70002;
  check_student(split(version), values, "EXAM.gbk", console, channels);  // the same count in 16 bits and in full
  values.tally.lines_read = 70003;
  check_student(split("SD,1001,x,,,,,,a,b,c,d,"), values, "EXAM.gbk", console, channels);
  EXPECT_EQ(values.tally.student_records, 3u);

  ASSERT_EQ(values.tally.warned.size(), 3u);
  const WarnedRecord& first = values.tally.warned[0];
  EXPECT_EQ(first.line_number, 70001u);
  EXPECT_EQ(first.student_number, std::string(40, '9') + "...");
  EXPECT_TRUE(first.question_count);
  EXPECT_EQ(first.answers, 40000);
  EXPECT_EQ(first.expected, 4);
  EXPECT_FALSE(first.multiple_version);
  const WarnedRecord& second = values.tally.warned[1];
  EXPECT_EQ(second.student_number, "2222222");
  EXPECT_FALSE(second.question_count);
  EXPECT_TRUE(second.multiple_version);
  const WarnedRecord& third = values.tally.warned[2];
  EXPECT_EQ(third.line_number, 70003u);
  EXPECT_EQ(third.answers, 4);
  EXPECT_EQ(third.expected, 40000);
}

}  // namespace
}  // namespace coursefile
