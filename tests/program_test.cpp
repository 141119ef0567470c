// The command-line run end to end: a course file in, the console text, the
// bytes of the three output files and the exit code out.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "program_runner.hpp"
#include "worked_example.hpp"

namespace tests {
namespace {

namespace fs = std::filesystem;


std::string question_warning(const std::string& file) {
  return "   filename= " + file + "\n Discrepancy in number of questions\n  Any key to continue\n";
}

std::string version_warning(const std::string& file, const std::string& number) {
  return "\n   filename= " + file + "\n\n This may be a multiple version file.\n Student number " + number +
         " is present\n   Statistical detection results are meaningless.\n\n      Any key to continue.\n\n";
}

std::string student_warning(const std::string& file) {
  return "   filename= " + file + "\nDiscrepancy in the number of students\n Any key to continue\n";
}

TEST(CommandLineRun, ConvertsTheWorkedExampleByteForByte) {
  ScratchFolder folder;
  folder.put("EXAM.GBK", course);
  const RunResult run = run_program(folder.path, {"EXAM"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n" + header_line);
  EXPECT_EQ(folder.get("EXAM.dat"), "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4\r\n");
  EXPECT_EQ(folder.get("EXAM.txt"), ".24.\r\n-..12\r\nx..4\r\n");
  EXPECT_EQ(folder.get("EXAM.ans"), "1\r\n3\r\n2\r\n5\r\n");
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
}

TEST(CommandLineRun, ALongerLastRecordWarnsAndLengthensTheAnsFile) {
  ScratchFolder folder;
  std::string longer = course;
  longer.replace(longer.rfind("D,\r\n"), 4, "D,a,\r\n");
  folder.put("exam.gbk", longer);
  const RunResult run = run_program(folder.path, {"exam.gbk"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n" + header_line + question_warning("exam.gbk"));
  EXPECT_EQ(folder.get("exam.dat"), "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4-\r\n");
  EXPECT_EQ(folder.get("exam.txt"), ".24.\r\n-..12\r\nx..4-\r\n");
  EXPECT_EQ(folder.get("exam.ans"), "1\r\n3\r\n2\r\n5\r\n\r\n");
}

TEST(CommandLineRun, EveryWarningInOrderWithStandardInputAtItsEnd) {
  ScratchFolder folder;
  folder.put("v.gbk",
             "SD,0,x,,,,,,\r\n"                    // before any header: count 0 expected, 0 given
             "FH,,,,,,,,2,2\r\n"
             "SD,1111111,x,,,,,,a,b,\r\n"          // version number
             "SD,\" 2222222 \",x,,,,,,a,\r\n"      // both warnings, question count first
             "SD,11111111,x,,,,,,a,\r\n"           // eight ones: no version
             "SD,1111111a,x,,,,,,a,b,\r\n");       // question count only
  const RunResult run = run_program(folder.path, {"v"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n number of questions = 2  number of students =  2 \n" + version_warning("v.gbk", "1111111") +
                            question_warning("v.gbk") + version_warning("v.gbk", "2222222") +
                            question_warning("v.gbk") + student_warning("v.gbk"));
  EXPECT_EQ(folder.get("v.dat"), "0,x,,\r\n1111111,x,,12\r\n 2222222 ,x,,1\r\n11111111,x,,1\r\n1111111a,x,,12\r\n");
}

TEST(CommandLineRun, StudentCountWarning) {
  struct Case { std::string course; bool warns; };
  const Case cases[] = {
      {"FH,,,,,,,,1,3\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\nSD,3,,,,,,,a,\r\n", false},
      {"FH,,,,,,,,1,3\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\n", true},
      {"FH,,,,,,,,1,1\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\n", true},
      {"SD,1,,,,,,,\r\n", true},  // no header: 0 students declared
      {"junk\r\n", false},        // neither header nor students
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    folder.put("c.gbk", c.course);
    const RunResult run = run_program(folder.path, {"c"});
    EXPECT_EQ(run.output.ends_with(student_warning("c.gbk")), c.warns) << c.course;
    EXPECT_EQ(run.exit_code, 0);
  }
}

TEST(CommandLineRun, HelpAndVersionAnswerOnStandardOutputAndTouchNothing) {
  ScratchFolder folder;
  const RunResult help = run_program(folder.path, {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.output.starts_with("Usage: gbkconvert [COURSE]\n")) << help.output;
  EXPECT_EQ(help.errors, "");
  const RunResult version = run_program(folder.path, {"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output, "gbkconvert " GBK_VERSION "\n");
  EXPECT_EQ(version.errors, "");
  EXPECT_TRUE(fs::is_empty(folder.path));
  // Anything else is a course name, also what asks for help elsewhere.
  const struct { std::vector<std::string> args; std::string course_file; } names[] = {
      {{"/?"}, "/?.gbk"}, {{"-h"}, "-h.gbk"}, {{"--help", "exam"}, "--help exam.gbk"}, {{"--Version"}, "--Version.gbk"}};
  for (const auto& name : names) {
    const RunResult run = run_program(folder.path, name.args);
    EXPECT_EQ(run.output, "\n There is no file called " + name.course_file + "\n");
  }
}

TEST(CommandLineRun, MissingCourseFileEndsBeforeAnyFileIsTouched) {
  struct Case { std::vector<std::string> args; std::string course_file; };
  const Case cases[] = {
      {{"exam1"}, "exam1.gbk"},
      {{"exam1.Gbk"}, "exam1.Gbk.gbk"},          // a mixed-case extension stays in the base name
      {{"\"my", "exam\""}, "\"my exam\".gbk"},   // quotes stay part of the name
      {{"sub"}, "sub.gbk"},                      // a folder is no course file
      {{"fifo"}, "fifo.gbk"},                    // nor is a FIFO, and nothing blocks on it
      {{".hidden"}, ".hidden.gbk"},              // a hidden file counts as missing
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    fs::create_directory(folder.path / "sub.gbk");
    ASSERT_EQ(::mkfifo((folder.path / "fifo.gbk").c_str(), 0600), 0);
    folder.put(".hidden.gbk", course);
    folder.put("exam1.dat", "kept");
    const RunResult run = run_program(folder.path, c.args, {.input = "", .timeout_ms = 10000});
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "\n There is no file called " + c.course_file + "\n");
    EXPECT_EQ(folder.get("exam1.dat"), "kept");
    EXPECT_FALSE(folder.has("exam1.ans"));
  }
}

TEST(CommandLineRun, NamesFindFilesWhateverTheirCase) {
  ScratchFolder folder;
  folder.put("Exams/EXAM1.GBK", course);
  folder.put("Exams/exam1.DAT", "old bytes");
  const RunResult run = run_program(folder.path, {"exams/Exam1"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n" + header_line);
  EXPECT_EQ(folder.get("Exams/exam1.DAT"), "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4\r\n");
  EXPECT_FALSE(folder.has("Exams/Exam1.dat"));
  EXPECT_EQ(folder.get("Exams/Exam1.ans"), "1\r\n3\r\n2\r\n5\r\n");
}

TEST(CommandLineRun, OutputsAreEmptiedAndReplaced) {
  ScratchFolder folder;
  folder.put("e.gbk", "SH3,,,,,,,,a\r\nFH,,,,,,,,1,0\r\n");
  for (const char* name : {"e.dat", "e.txt", "e.ans"}) folder.put(name, "left over from an earlier run");
  const RunResult run = run_program(folder.path, {"e"});
  EXPECT_EQ(run.exit_code, 0);
  for (const char* name : {"e.dat", "e.txt", "e.ans"}) EXPECT_EQ(folder.get(name), "") << name;
}

TEST(CommandLineRun, LineRuleOfTheCourseFile) {
  struct Case { std::string course; std::string txt; };
  const Case cases[] = {
      {"FH\t\t\t\t\t\t\t\t1\t1\r\nSD\t1\tx\t\t\t\t\t\ta\t\r\n", "1\r\n"},       // tabs are commas
      {"FH,,,,,,,,1,1\r\nSD,1,,,,,,,b,\x1A" "SD,2,,,,,,,b,\r\n", "2\r\n"},  // 0x1A ends the file
      {"FH,,,,,,,,1,1\nSD,1,,,,,,,b,\n", ""},                                  // one single line
      {"FH,,,,,,,,1,1\rSD,1,,,,,,,b,", "2\r\n"},                               // CR alone, no final end
      {"", ""},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    folder.put("l.gbk", c.course);
    const RunResult run = run_program(folder.path, {"l"});
    EXPECT_EQ(folder.get("l.txt"), c.txt) << c.course;
    EXPECT_FALSE(run.timed_out);
  }
}

TEST(CommandLineRun, AnOutputHeldByAnotherProgramIsReportedAndLeftAlone) {
  ScratchFolder folder;
  folder.put("EXAM.GBK", course);
  folder.put("EXAM.dat", "held by someone else");
  const int fd = ::open((folder.path / "EXAM.dat").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const RunResult run = run_program(folder.path, {"EXAM"});
  ::close(fd);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(folder.get("EXAM.dat"), "held by someone else");
  EXPECT_EQ(folder.get("EXAM.txt"), ".24.\r\n-..12\r\nx..4\r\n");
  EXPECT_EQ(folder.get("EXAM.ans"), "1\r\n3\r\n2\r\n5\r\n");
  EXPECT_EQ(run.output, "\n" + header_line +
                            "   filename= EXAM.dat\n The file could not be opened: the file is in use by another "
                            "program\n  Any key to continue\n");
}

TEST(CommandLineRun, ACourseFileThatCannotBeReadIsReported) {
  ScratchFolder folder;
  folder.put("EXAM.GBK", course);
  const int fd = ::open((folder.path / "EXAM.GBK").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const RunResult run = run_program(folder.path, {"EXAM"});
  ::close(fd);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(folder.get("EXAM.dat"), "");  // the run ends as for an empty course file
  EXPECT_EQ(folder.get("EXAM.ans"), "");
  EXPECT_NE(run.output.find("   filename= EXAM.gbk\n The file could not be opened: "), std::string::npos)
      << run.output;
}

}  // namespace
}  // namespace tests
