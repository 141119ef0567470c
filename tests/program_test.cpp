// The command-line run end to end: a course file in, the console text, the
// bytes of the three output files and the exit code out.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

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
  EXPECT_EQ(run.output, "\n" + header_line + exam_report("EXAM.GBK"));
  EXPECT_EQ(folder.get("EXAM.dat"), "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4\r\n");
  EXPECT_EQ(folder.get("EXAM.txt"), ".24.\r\n-..12\r\nx..4\r\n");
  EXPECT_EQ(folder.get("EXAM.ans"), "1\r\n3\r\n2\r\n5\r\n");
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
}

// The file a new user converts first raises each warning, and its report is
// the one the README shows for it, line for line.
TEST(CommandLineRun, TheExampleRaisesEachWarningAndEndsWithTheReportTheReadmeShows) {
  ScratchFolder folder;
  const std::string example = source_file("examples/WARN.GBK");
  ASSERT_FALSE(example.empty());
  folder.put("examples/WARN.GBK", example);
  const RunResult run = run_program(folder.path, {"examples/WARN"});
  EXPECT_EQ(run.exit_code, 0);
  for (const std::string& warning :
       {question_warning("examples/WARN.gbk"), version_warning("examples/WARN.gbk", "2222222"),
        student_warning("examples/WARN.gbk")}) {
    EXPECT_NE(run.output.find(warning), std::string::npos) << warning << "\nin\n" << run.output;
  }
  const std::string readme = source_file("doc/README.md");
  const std::size_t section = readme.find("\n## The report at the end of a run\n");
  ASSERT_NE(section, std::string::npos);
  const std::size_t from = readme.find("\n```\n", section);
  ASSERT_NE(from, std::string::npos);
  const std::size_t to = readme.find("\n```\n", from + 5);
  ASSERT_NE(to, std::string::npos);
  const std::string shown = readme.substr(from + 5, to + 1 - (from + 5));
  EXPECT_TRUE(run.output.ends_with(shown)) << "the README shows\n" << shown << "the run printed\n" << run.output;
}

TEST(CommandLineRun, ALongerLastRecordWarnsAndLengthensTheAnsFile) {
  ScratchFolder folder;
  std::string longer = course;
  longer.replace(longer.rfind("D,\r\n"), 4, "D,a,\r\n");
  folder.put("exam.gbk", longer);
  const RunResult run = run_program(folder.path, {"exam.gbk"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n" + header_line + question_warning("exam.gbk") +
                            " exam.gbk: 3 student records, 4 questions -> exam.dat, exam.txt, exam.ans\n"
                            " line 5, student 1003: 5 answers, 4 expected\n");
  EXPECT_EQ(folder.get("exam.dat"), "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4-\r\n");
  EXPECT_EQ(folder.get("exam.txt"), ".24.\r\n-..12\r\nx..4-\r\n");
  EXPECT_EQ(folder.get("exam.ans"), "1\r\n3\r\n2\r\n5\r\n\r\n");
}

TEST(CommandLineRun, EveryWarningInOrderWithStandardInputAtItsEnd) {
  ScratchFolder folder;
  folder.put("v.gbk",
             "SD,0,x,,,,,,\r\n"  // before any header: count 0 expected, 0 given
             "FH,,,,,,,,2,2\r\n"
             "SD,1111111,x,,,,,,a,b,\r\n"      // version number
             "SD,\" 2222222 \",x,,,,,,a,\r\n"  // both warnings, question count first
             "SD,11111111,x,,,,,,a,\r\n"       // eight ones: no version
             "SD,1111111a,x,,,,,,a,b,\r\n");   // question count only
  const RunResult run = run_program(folder.path, {"v"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n number of questions = 2  number of students =  2 \n" + version_warning("v.gbk", "1111111") +
                            question_warning("v.gbk") + version_warning("v.gbk", "2222222") +
                            question_warning("v.gbk") + student_warning("v.gbk") +
                            " v.gbk: 5 student records, 2 questions -> v.dat, v.txt, v.ans\n"
                            " line 3, student 1111111: multiple-version student number\n"
                            " line 4, student 2222222: 1 answer, 2 expected; multiple-version student number\n"
                            " line 6, student 1111111a: 2 answers, 1 expected\n"
                            " header: 2 students, found 5\n"
                            " student records without an answer key: 5 (line 1 first)\n");
  EXPECT_EQ(folder.get("v.dat"), "0,x,,\r\n1111111,x,,12\r\n 2222222 ,x,,1\r\n11111111,x,,1\r\n1111111a,x,,12\r\n");
}

TEST(CommandLineRun, StudentCountWarningAndTheReportsCount) {
  struct Case {
    std::string course;
    bool warns;
    std::string report;
  };
  const Case cases[] = {
      {"SH3,,,,,,,,a\r\nFH,,,,,,,,1,3\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\nSD,3,,,,,,,a,\r\n", false,
       " c.gbk: 3 student records, 1 question -> c.dat, c.txt, c.ans\n"},
      {"SH3,,,,,,,,a\r\nFH,,,,,,,,1,3\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\n", true,
       " c.gbk: 2 student records, 1 question -> c.dat, c.txt, c.ans\n header: 3 students, found 2\n"},
      {"SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,1,,,,,,,a,\r\nSD,2,,,,,,,a,\r\n", true,
       " c.gbk: 2 student records, 1 question -> c.dat, c.txt, c.ans\n header: 1 student, found 2\n"},
      // No header: 0 students declared.
      {"SH3,,,,,,,,a\r\nSD,1,,,,,,,\r\n", true,
       " c.gbk: 1 student record, no header record -> c.dat, c.txt, c.ans\n header: none, found 1\n"},
      // Neither header nor students.
      {"SH3,,,,,,,,a\r\n", false, " c.gbk: 0 student records, no header record -> c.dat, c.txt, c.ans\n"},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    folder.put("c.gbk", c.course);
    const RunResult run = run_program(folder.path, {"c"});
    EXPECT_EQ(run.output.ends_with(student_warning("c.gbk") + c.report), c.warns) << c.course;
    EXPECT_TRUE(run.output.ends_with(c.report)) << run.output;
    EXPECT_EQ(run.exit_code, 0);
  }
}

// Every student record warns: the answer counts go 1, 2, 1, 2, ... under a
// header of 2. Lines are numbered as the run reads them: an empty line counts,
// a lone line feed ends no line.
TEST(CommandLineRun, ReportShowsTheFirstTwentyWarnedRecordsAndCountsTheRest) {
  std::string course_text = "SH3,,,,,,,,a,b\r\nFH,,,,,,,,2,24\r\n\r\nSD,0,x,,,,,,a,\nnote\r\n";
  std::string report = " w.gbk: 24 student records, 2 questions -> w.dat, w.txt, w.ans\n";
  std::uint64_t line_number = 4;
  for (int record = 1; record <= 24; ++record, ++line_number) {
    const bool two_answers = record % 2 == 0;
    if (record > 1)
      course_text += "SD," + std::to_string(1000 + record) + ",x,,,,,," + (two_answers ? "a,b," : "a,") + "\r\n";
    const std::string student = record == 1 ? "0" : std::to_string(1000 + record);
    if (record <= 20) {
      report += " line " + std::to_string(line_number) + ", student " + student + ": " +
                (two_answers ? "2 answers, 1 expected\n" : "1 answer, 2 expected\n");
    }
  }
  report += " ... and 4 more\n";
  ScratchFolder folder;
  folder.put("w.gbk", course_text);
  const RunResult run = run_program(folder.path, {"w"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 0);
  std::string warnings;
  for (int record = 1; record <= 24; ++record) warnings += question_warning("w.gbk");
  EXPECT_EQ(run.output, "\n number of questions = 2  number of students =  24 \n" + warnings + report);
}

// Counts beyond 16 bits: the console's header line and student count check
// wrap as they always have; the report counts in full.
TEST(CommandLineRun, ReportCountsBeyondSixteenBits) {
  struct Case {
    int declared;
    int students;
    std::string header_line;
    bool warns;
    std::string report_end;
  };
  const Case cases[] = {
      {40000, 40000, " number of questions = 1  number of students = -25536 \n", false,
       " L.gbk: 40000 student records, 1 question -> L.dat, L.txt, L.ans\n"
       " line 40002, student 40000: 2 answers, 1 expected\n"},
      {39999, 40000, " number of questions = 1  number of students = -25537 \n", true,
       " line 40002, student 40000: 2 answers, 1 expected\n header: 39999 students, found 40000\n"},
      // 65539 and 3 agree in 16 bits: no warning, but the report tells.
      {65539, 3, " number of questions = 1  number of students =  3 \n", false,
       " L.gbk: 3 student records, 1 question -> L.dat, L.txt, L.ans\n"
       " line 5, student 3: 2 answers, 1 expected\n header: 65539 students, found 3\n"},
  };
  for (const Case& c : cases) {
    std::string course_text = "SH3,,,,,,,,a\r\nFH,,,,,,,,1," + std::to_string(c.declared) + "\r\n";
    for (int student = 1; student < c.students; ++student)
      course_text += "SD," + std::to_string(student) + ",,,,,,,a,\r\n";
    course_text += "SD," + std::to_string(c.students) + ",,,,,,,a,b,\r\n";  // the last one warns
    ScratchFolder folder;
    folder.put("L.gbk", course_text);
    const RunResult run = run_program(folder.path, {"L"});
    EXPECT_FALSE(run.timed_out);
    EXPECT_TRUE(run.output.starts_with("\n" + c.header_line)) << run.output.substr(0, 200);
    EXPECT_EQ(run.output.find(student_warning("L.gbk")) != std::string::npos, c.warns) << c.declared;
    EXPECT_TRUE(run.output.ends_with(c.report_end))
        << run.output.substr(run.output.size() - std::min<std::size_t>(run.output.size(), 400));
  }
}

TEST(CommandLineRun, HelpAndVersionAnswerOnStandardOutputAndTouchNothing) {
  ScratchFolder folder;
  const RunResult help = run_program(folder.path, {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.output.starts_with("Usage: gbkconvert [COURSE]\n")) << help.output;
  EXPECT_EQ(help.errors, "");
  // -h, as tools commonly take it, asks the same.
  const RunResult short_help = run_program(folder.path, {"-h"});
  EXPECT_EQ(short_help.exit_code, 0);
  EXPECT_EQ(short_help.output, help.output);
  for (std::string_view told : {"report", "key check", "not a course file", "gbkconvert --all [FOLDER]"}) {
    EXPECT_NE(help.output.find(told), std::string::npos) << told;
  }
  const RunResult version = run_program(folder.path, {"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output, "gbkconvert " GBK_VERSION "\n");
  EXPECT_EQ(version.errors, "");
  EXPECT_TRUE(fs::is_empty(folder.path));
  // Anything else is a course name, also what asks for help elsewhere.
  const struct {
    std::vector<std::string> args;
    std::string course_file;
  } names[] = {{{"/?"}, "/?.gbk"},
               {{"-H"}, "-H.gbk"},
               {{"--help", "exam"}, "--help exam.gbk"},
               {{"--Version"}, "--Version.gbk"}};
  for (const auto& name : names) {
    const RunResult run = run_program(folder.path, name.args);
    EXPECT_EQ(run.output, "\n There is no file called " + name.course_file + "\n");
  }
}

TEST(CommandLineRun, MissingCourseFileEndsBeforeAnyFileIsTouched) {
  struct Case {
    std::vector<std::string> args;
    std::string course_file;
    std::string said = "There is no file called " + course_file;
  };
  const Case cases[] = {
      {{"exam1"}, "exam1.gbk"},
      {{"exam2.Gbk"}, "exam2.gbk"},             // an extension in any case is left off
      {{"\"my", "exam\""}, "\"my exam\".gbk"},  // quotes stay part of the name
      {{"sub"}, "sub.gbk", "sub.gbk is a folder, not a course file"},
      {{"SUB"}, "SUB.gbk", "SUB.gbk is a folder, not a course file"},
      {{"fifo"}, "fifo.gbk"},        // a FIFO is no course file, and nothing blocks on it
      {{".hidden"}, ".hidden.gbk"},  // a hidden file counts as missing
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    fs::create_directory(folder.path / "sub.gbk");
    ASSERT_EQ(::mkfifo((folder.path / "fifo.gbk").c_str(), 0600), 0);
    folder.put(".hidden.gbk", course);
    folder.put("exam1.dat", "kept");
    const RunResult run = run_program(folder.path, c.args, {.input = "", .timeout_ms = 10000});
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1) << "a run that converts nothing is no success";
    EXPECT_EQ(run.output, "\n " + c.said + "\n");
    EXPECT_EQ(folder.get("exam1.dat"), "kept");
    EXPECT_FALSE(folder.has("exam1.ans"));
  }
}

TEST(CommandLineRun, NamesFindFilesWhateverTheirCase) {
  ScratchFolder folder;
  folder.put("Exams/EXAM1.GBK", course);
  folder.put("Exams/exam1.DAT", "old bytes");
  // As a shell completes a name: the extension in a case of its own.
  const RunResult run = run_program(folder.path, {"exams/Exam1.gBk"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "\n" + header_line +
                            " Exams/EXAM1.GBK: 3 student records, 4 questions -> Exams/exam1.DAT, Exams/Exam1.txt, "
                            "Exams/Exam1.ans\n");
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
  struct Case {
    std::string course;
    std::string txt;
  };
  const Case cases[] = {
      {"FH\t\t\t\t\t\t\t\t1\t1\r\nSD\t1\tx\t\t\t\t\t\ta\t\r\n", "1\r\n"},  // tabs are commas
      {"FH,,,,,,,,1,1\r\nSD,1,,,,,,,b,\x1A"
       "SD,2,,,,,,,b,\r\n",
       "2\r\n"},                                    // 0x1A ends the file
      {"FH,,,,,,,,1,1\nSD,1,,,,,,,b,\n", "2\r\n"},  // LF only: as CR LF
      {"FH,,,,,,,,1,1\nSD,1,,,,,,,b,\r\n", ""},     // with a CR: one line
      {"FH,,,,,,,,1,1\rSD,1,,,,,,,b,", "2\r\n"},    // CR alone, no final end
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

// A course file saved with LF line ends (no CR before its end) converts as
// the same file with CR LF: the same outputs, console text, exit code and
// report, which says so in one line after its first. Warnings, a tab line, a
// 0x1A with a CR behind it, and plain student lines across the read blocks.
TEST(CommandLineRun, ACourseFileWithLineFeedsOnlyConvertsAsWithCrLf) {
  std::string many = "SH3,,,,,,,,a,b,c,d,e\r\nFH,,,,,,,,5,6000\r\n";
  for (int s = 0; s < 6000; ++s) many += "SD," + std::to_string(3000000 + s) + ",G,,,,,,a,c,b,e,d,\r\n";
  many += "SD,1234567,G,,,,,,a,b,\r\nSD,9,G\t,,,,,,a,b,c,d,e,\r\n";
  const std::string courses[] = {
      course,
      "SD,0,x,,,,,,\r\nFH,,,,,,,,2,2\r\nSD,1111111,x,,,,,,a,b,\r\nSD,\" 2222222 \",x,,,,,,a,\r\n"
      "SD\t3\tx\t\t\t\t\t\ta\t\r\nSD,4,x,,,,,,a,b,\x1A\r\nSD,5,x,,,,,,a,\r\n",
      many,
  };
  for (const std::string& crlf : courses) {
    // Every CR before the 0x1A goes; one behind it is never read.
    const std::size_t end = std::min(crlf.find('\x1A'), crlf.size());
    std::string lf;
    std::copy_if(crlf.begin(), crlf.begin() + static_cast<std::ptrdiff_t>(end), std::back_inserter(lf),
                 [](char c) { return c != '\r'; });
    lf += crlf.substr(end);
    ScratchFolder with_crlf;
    ScratchFolder with_lf;
    with_crlf.put("c.gbk", crlf);
    with_lf.put("c.gbk", lf);
    const RunResult expected = run_program(with_crlf.path, {"c"});
    const RunResult run = run_program(with_lf.path, {"c"});
    std::string output = expected.output;
    const std::size_t report = output.find(" c.gbk: ");
    ASSERT_NE(report, std::string::npos) << output;
    output.insert(output.find('\n', report) + 1, " line ends: LF only, read as CR LF\n");
    EXPECT_EQ(run.output, output);
    EXPECT_EQ(run.exit_code, expected.exit_code);
    for (const char* name : {"c.dat", "c.txt", "c.ans"}) EXPECT_EQ(with_lf.get(name), with_crlf.get(name)) << name;
    EXPECT_EQ(with_lf.get("c.gbk"), lf);
  }
}

// Answers in lines longer than the 4,080 bytes whose commas fill one count
// of the comma counting, taken the general way: a line with a tab (4,082
// bytes, 2,031 answers), and a line of SD and 4,079 commas (4,071 answers)
// that the first read block ends in the middle of. Neither may lose
// answers: no warning, and every answer coded.
TEST(CommandLineRun, LongLinesKeepEveryAnswer) {
  std::string tab_line = "SD\t1234567,abc,,,,,";
  for (int q = 0; q < 2031; ++q) tab_line += ",a";
  tab_line += ",";
  constexpr std::size_t read_block = 256 * 1024;
  const struct {
    std::string line;
    int answers;
    std::size_t starts_at;
  } cases[] = {
      {tab_line, 2031, 0},
      {"SD" + std::string(4079, ','), 4071, read_block - 100},
  };
  for (const auto& c : cases) {
    std::string text = "FH,,,,,,,," + std::to_string(c.answers) + ",1\r\n";
    if (c.starts_at > 0) text += std::string(c.starts_at - text.size() - 2, 'P') + "\r\n";
    ScratchFolder folder;
    folder.put("long.gbk", text + c.line + "\r\n");
    const RunResult run = run_program(folder.path, {"long"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "\n number of questions = " + std::to_string(c.answers) +
                              "  number of students =  1 \n long.gbk: 1 student record, " + std::to_string(c.answers) +
                              " questions -> long.dat, long.txt, long.ans\n student records without an answer key: 1 "
                              "(line " +
                              std::string(c.starts_at > 0 ? "3" : "2") +
                              " first)\n questions 101 to 142: no key, the answer key holds 100\n")
        << c.line.size() << " bytes";
    EXPECT_EQ(folder.get("long.txt").size(), static_cast<std::size_t>(c.answers) + 2) << c.line.size() << " bytes";
    std::string ans;
    for (int q = 0; q < c.answers; ++q) ans += "\r\n";  // no answer key: every line empty
    EXPECT_EQ(folder.get("long.ans"), ans) << c.line.size() << " bytes";
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
                            "program\n  Any key to continue\n"
                            " EXAM.GBK: 3 student records, 4 questions -> EXAM.dat (failed), EXAM.txt, EXAM.ans\n");
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
  EXPECT_NE(run.output.find("   filename= EXAM.gbk\n The file could not be opened: "), std::string::npos) << run.output;
  // The report names the course file as it is on disk, as it does a file that opened.
  EXPECT_TRUE(
      run.output.ends_with(" EXAM.GBK (failed): 0 student records, no header record -> EXAM.dat, EXAM.txt, EXAM.ans\n"))
      << run.output;
}

// Course files whose names differ only in case: each named exactly (as
// built, as typed, or by its base name) converts into outputs named exactly
// after it and touches no other file; a name that is neither converts
// nothing, names both, and opens no file.
TEST(CommandLineRun, CourseFilesThatDifferOnlyInCaseKeepToTheirOwnOutputs) {
  const std::string other = "SH3,,,,,,,,b\r\nFH,,,,,,,,1,1\r\nSD,7,x,,,,,,b,\r\n";
  const std::string other_report = " number of questions = 1  number of students =  1 \n";
  ScratchFolder folder;
  folder.put("EXAM.GBK", course);
  folder.put("exam.gbk", other);

  const RunResult lower = run_program(folder.path, {"exam"});
  EXPECT_EQ(lower.exit_code, 0);
  EXPECT_EQ(lower.output,
            "\n" + other_report + " exam.gbk: 1 student record, 1 question -> exam.dat, exam.txt, exam.ans\n");
  EXPECT_FALSE(folder.has("EXAM.dat"));

  for (const char* name : {"EXAM", "EXAM.GBK", "EXAM.gbk"}) {
    const RunResult upper = run_program(folder.path, {name});
    EXPECT_EQ(upper.exit_code, 0) << name;
    EXPECT_EQ(upper.output, "\n" + header_line + exam_report("EXAM.GBK")) << name;
    EXPECT_EQ(folder.get("EXAM.dat"), course_dat) << name;
    EXPECT_EQ(folder.get("EXAM.txt"), course_txt) << name;
    EXPECT_EQ(folder.get("EXAM.ans"), course_ans) << name;
    EXPECT_EQ(folder.get("exam.dat"), "7,x,,.\r\n") << name << ": the other course file's outputs were touched";
    EXPECT_EQ(folder.get("exam.txt"), ".\r\n") << name;
    EXPECT_EQ(folder.get("exam.ans"), "2\r\n") << name;
  }

  for (const char* name : {"Exam", "eXAM.gbk"}) {
    const RunResult neither = run_program(folder.path, {name});
    EXPECT_EQ(neither.exit_code, 1) << name;
    const std::string built = std::string(name).substr(0, 4) + ".gbk";
    EXPECT_EQ(neither.output, "\n " + built + " could be EXAM.GBK or exam.gbk: give the name exactly\n") << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 8) << name;
    EXPECT_EQ(folder.get("EXAM.dat"), course_dat) << name;
    EXPECT_EQ(folder.get("exam.dat"), "7,x,,.\r\n") << name;
  }

  // In a folder named in another case, three of them.
  folder.put("Sub/Exam.GBK", course);
  folder.put("Sub/exam.Gbk", course);
  folder.put("Sub/EXAM.gBK", course);
  const RunResult three = run_program(folder.path, {"sub/EXAm"});
  EXPECT_EQ(three.output,
            "\n sub/EXAm.gbk could be Sub/EXAM.gBK, Sub/Exam.GBK or Sub/exam.Gbk: give the name exactly\n");
  EXPECT_EQ(three.exit_code, 1);
}

// Outputs named in another case than any file: one such file is rewritten,
// two are left alone and the name is created exactly.
TEST(CommandLineRun, AnOutputIsMatchedIgnoringCaseOnlyWhenOneFileMatches) {
  ScratchFolder folder;
  folder.put("EXAM1.GBK", course);
  folder.put("EXAM1.DAT", "one");
  folder.put("exam1.dat", "two");
  folder.put("EXAM1.TXT", "the only one");
  const RunResult run = run_program(folder.path, {"Exam1"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output,
            "\n" + header_line + " EXAM1.GBK: 3 student records, 4 questions -> Exam1.dat, EXAM1.TXT, Exam1.ans\n");
  EXPECT_EQ(folder.get("Exam1.dat"), course_dat);
  EXPECT_EQ(folder.get("EXAM1.DAT"), "one");
  EXPECT_EQ(folder.get("exam1.dat"), "two");
  EXPECT_EQ(folder.get("EXAM1.TXT"), course_txt);
  EXPECT_FALSE(folder.has("Exam1.txt"));
}

// The key check: after the report's other lines, the questions whose key
// looks wrong, by the codes written for the class. Twelve students; the key
// A, B, none, F, E: question 1 keyed right, question 2 contradicted (eleven
// chose C), question 3 without a key, question 4 keyed F; question 5 keyed
// right, but no record reaches it when every record stops after four
// answers.
TEST(CommandLineRun, TheReportNamesTheQuestionsWhoseKeyLooksWrong) {
  const auto course_file = [](int full_records) {
    std::string text = "SH3,,,,,,,,A,B,,F,E,\r\nFH,,,,,,,,5,12,\r\n";
    for (int s = 0; s < 12; ++s) {
      text += "SD," + std::to_string(7000 + s) + ",G1,,,,,,a," + (s == 0 ? "b" : "c") + ",d,b,";
      text += s < full_records ? "e,\r\n" : "\r\n";
    }
    return text;
  };
  const std::string found =
      " question 2: key B chosen by 1 of 12; C chosen by 11\n"
      " question 3: no key\n"
      " question 4: key \"F\" is not A to E\n";
  ScratchFolder folder;
  folder.put("K.gbk", course_file(12));
  RunResult run = run_program(folder.path, {"K"});
  EXPECT_EQ(run.output,
            "\n number of questions = 5  number of students =  12 \n"
            " K.gbk: 12 student records, 5 questions -> K.dat, K.txt, K.ans\n" +
                found);
  // Short records: question 5 has no key entry now; none reaches it, and
  // then one does.
  for (const int full_records : {0, 1}) {
    std::string text = course_file(full_records);
    text.replace(text.find(",E,"), 3, ",,");
    folder.put("K.gbk", text);
    run = run_program(folder.path, {"K"});
    EXPECT_TRUE(run.output.ends_with(full_records == 0 ? found : found + " question 5: no key\n")) << run.output;
  }
}

// A class of 32,767 students, 100 questions, 2% of the answers blank, most
// students choosing each question's right option: question 7 alone is
// keyed wrong, and the report names it alone.
TEST(CommandLineRun, AClassOf32767StudentsWithOneMiskeyedQuestion) {
  std::string text = "SH3,,,,,,,";
  for (int q = 1; q <= 100; ++q) (text += ',') += "ABCDE"[(q + (q == 7 ? 1 : 0)) % 5];
  text += ",\r\nFH,,,,,,,,100,32767,\r\n";
  std::uint32_t state = 7;
  const auto next = [&state](std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  for (int s = 0; s < 32767; ++s) {
    text += "SD," + std::to_string(5000000 + s) + ",G" + std::to_string(s % 10) + ",,,,,";
    for (int q = 1; q <= 100; ++q) {
      text += ',';
      if (next(50) == 0) continue;
      const std::uint32_t right = static_cast<std::uint32_t>(q % 5);
      text += "abcdeABCDE"[(next(10) < 6 ? right : (right + 1 + next(4)) % 5) + 5 * next(2)];
    }
    text += ",\r\n";
  }
  ScratchFolder folder;
  folder.put("CLASS.GBK", text);
  const RunResult run = run_program(folder.path, {"CLASS"});
  EXPECT_EQ(run.exit_code, 0);
  const std::string report = " CLASS.GBK: 32767 student records, 100 questions -> CLASS.dat, CLASS.txt, CLASS.ans\n";
  const std::size_t at = run.output.find(report);
  ASSERT_NE(at, std::string::npos) << run.output;
  const std::string key_check = run.output.substr(at + report.size());
  // Keyed D where most chose C.
  EXPECT_TRUE(key_check.starts_with(" question 7: key D chosen by ")) << key_check;
  EXPECT_NE(key_check.find("; C chosen by "), std::string::npos) << key_check;
  EXPECT_EQ(std::count(key_check.begin(), key_check.end(), '\n'), 1) << key_check;
}

}  // namespace
}  // namespace tests
