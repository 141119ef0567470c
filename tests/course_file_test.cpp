// What the operator names as the course file and is not quite what they
// think: a file with a byte-order mark, a file that is no course file at
// all, a folder named like one, a file of another extension, a course
// file whose answers the key does not cover. Each through the real program
// on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "program_runner.hpp"
#include "tests/support/not_course_files.hpp"
#include "worked_example.hpp"

namespace tests {
namespace {

namespace fs = std::filesystem;

const std::string byte_order_mark = "\xEF\xBB\xBF";

// A spreadsheet's "CSV UTF-8" puts a byte-order mark before SH3: the file
// converts as it would without it, and the report says so on its second
// line, beside the line ends' line, which comes after it.
TEST(OddCourseFiles, AByteOrderMarkIsSkippedAndTold) {
  std::string lf;
  for (char c : course) {
    if (c != '\r') lf += c;
  }
  for (const bool line_feeds : {false, true}) {
    ScratchFolder folder;
    folder.put("EXAM.GBK", byte_order_mark + (line_feeds ? lf : course));
    const RunResult run = run_program(folder.path, {"EXAM"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "\n" + header_line + exam_report("EXAM.GBK") + " byte-order mark: UTF-8, skipped\n" +
                              (line_feeds ? " line ends: LF only, read as CR LF\n" : ""));
    EXPECT_EQ(folder.get("EXAM.dat"), course_dat);
    EXPECT_EQ(folder.get("EXAM.txt"), course_txt);
    EXPECT_EQ(folder.get("EXAM.ans"), course_ans);
  }
}

// The example in examples/ converts like the worked example it is, and ends
// with the report the README shows for it.
TEST(OddCourseFiles, TheExampleWithAByteOrderMarkEndsWithTheReportTheReadmeShows) {
  ScratchFolder folder;
  const std::string example = source_file("examples/BOM.GBK");
  ASSERT_TRUE(example.starts_with(byte_order_mark));
  folder.put("examples/BOM.GBK", example);
  const RunResult run = run_program(folder.path, {"examples/BOM"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(folder.get("examples/BOM.dat"), course_dat);
  // The block after "`gbkconvert examples/BOM` ends with:", indented as
  // an item of a list.
  const std::string readme = source_file("doc/README.md");
  const std::size_t told = readme.find("`gbkconvert examples/BOM` ends with:");
  ASSERT_NE(told, std::string::npos);
  const std::size_t from = readme.find("  ```\n", told);
  const std::size_t to = readme.find("  ```\n", from + 6);
  ASSERT_NE(to, std::string::npos);
  std::string shown;
  for (std::size_t at = from + 6; at < to;) {
    const std::size_t end = readme.find('\n', at);
    shown += readme.substr(at + 2, end + 1 - (at + 2));
    at = end + 1;
  }
  EXPECT_TRUE(run.output.ends_with(shown)) << "the README shows\n" << shown << "the run printed\n" << run.output;
}

// A file with no SH3, FH or SD record is refused before any output is
// opened: the outputs of an earlier run stay byte for byte, none is made
// where there was none, and the run ends with exit code 1 after its key.
TEST(OddCourseFiles, AFileThatIsNoCourseFileLeavesTheOutputsAsTheyAre) {
  for (const NotACourseFile& file : not_course_files()) {
    for (const bool earlier_run : {true, false}) {
      ScratchFolder folder;
      folder.put("EXAM.GBK", file.bytes);
      if (earlier_run) {
        folder.put("EXAM.dat", course_dat);
        folder.put("EXAM.txt", course_txt);
        folder.put("EXAM.ans", course_ans);
      }
      const RunResult run = run_program(folder.path, {"exam"}, {.input = "k"});
      EXPECT_EQ(run.exit_code, 1) << file.what;
      EXPECT_EQ(run.output, "\n EXAM.GBK is not a course file: it has no SH3, FH or SD record\n" +
                                (file.cause.empty() ? "" : file.cause + "\n"))
          << file.what;
      EXPECT_EQ(run.errors, "") << file.what;
      EXPECT_EQ(folder.get("EXAM.GBK"), file.bytes) << file.what;
      if (earlier_run) {
        EXPECT_EQ(folder.get("EXAM.dat"), course_dat) << file.what;
        EXPECT_EQ(folder.get("EXAM.txt"), course_txt) << file.what;
        EXPECT_EQ(folder.get("EXAM.ans"), course_ans) << file.what;
      } else {
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1) << file.what;
      }
    }
  }
}

// One record anywhere, even behind much else, makes a course file: it is
// read as before, its outputs made.
TEST(OddCourseFiles, ARecordFarIntoTheFileMakesACourseFile) {
  std::string text;
  while (text.size() < 1024 * 1024) text += "a note of the teacher's, not a record\r\n";
  ScratchFolder folder;
  folder.put("LATE.GBK", text + "SD,1,G,,,,,,a,\r\n");
  const RunResult run = run_program(folder.path, {"LATE"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(folder.get("LATE.dat"), "1,G,,-\r\n");
  EXPECT_NE(run.output.find(" LATE.GBK: 1 student record, no header record -> LATE.dat, LATE.txt, LATE.ans\n"),
            std::string::npos)
      << run.output;
}

// Student records read before any answer-key record compare nothing with a
// key, and answers past question 100 have none: the report says both.
TEST(OddCourseFiles, WhatTheKeyDoesNotCoverIsReported) {
  std::string answers;
  for (int q = 0; q < 120; ++q) answers += "abcde"[q % 5] + std::string(",");
  struct Case {
    std::string course;
    std::string report_end;
  };
  const Case cases[] = {
      {"FH,,,,,,,,4,3,\r\nSD,1,G,,,,,,a,b,c,d,\r\n\r\nSD,2,G,,,,,,a,b,c,d,\r\nSH3,,,,,,,,a,b,c,d,\r\n"
       "SD,3,G,,,,,,a,b,c,d,\r\n",
       " K.GBK: 3 student records, 4 questions -> K.dat, K.txt, K.ans\n"
       " student records without an answer key: 2 (line 2 first)\n"},
      {"FH,,,,,,,,2,1,\r\nSD,1,G,,,,,,a,b,\r\n",
       " K.GBK: 1 student record, 2 questions -> K.dat, K.txt, K.ans\n"
       " student records without an answer key: 1 (line 2 first)\n"},
      {"SH3,,,,,,,," + answers + "\r\nFH,,,,,,,,120,2,\r\nSD,1,G,,,,,," + answers + "\r\nSD,2,G,,,,,,a,\r\n",
       " K.GBK: 2 student records, 120 questions -> K.dat, K.txt, K.ans\n"
       " line 4, student 2: 1 answer, 120 expected\n"
       " questions 101 to 120: no key, the answer key holds 100\n"},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    folder.put("K.GBK", c.course);
    const RunResult run = run_program(folder.path, {"K"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.output.ends_with(c.report_end)) << run.output;
  }
}

// A name on the command line finds regular files only: a folder named like
// the course file is passed over for the file, and a folder alone is said
// to be one, nothing opened.
TEST(OddCourseFiles, AFolderNamedLikeTheCourseFileIsPassedOver) {
  ScratchFolder folder;
  fs::create_directory(folder.path / "EXAM.gbk");
  folder.put("exam.gbk", course);
  RunResult run = run_program(folder.path, {"EXAM"});
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output, "\n" + header_line + exam_report("exam.gbk"));
  EXPECT_EQ(folder.get("EXAM.dat"), course_dat);

  fs::remove(folder.path / "exam.gbk");
  fs::remove(folder.path / "EXAM.dat");
  run = run_program(folder.path, {"EXAM"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n EXAM.gbk is a folder, not a course file\n");
  EXPECT_FALSE(folder.has("EXAM.dat"));
}

// A name that names an existing file of another extension gets the hint
// that course files end in .GBK; a name that names nothing does not.
TEST(OddCourseFiles, AFileOfAnotherExtensionIsToldToBeNoCourseFile) {
  ScratchFolder folder;
  folder.put("exam.csv", course);
  folder.put("exam", course);
  const struct {
    std::string name;
    std::string output;
  } cases[] = {
      {"exam.csv", "\n There is no file called exam.csv.gbk\n course files end in .GBK; exam.csv is not one\n"},
      {"exam", "\n There is no file called exam.gbk\n course files end in .GBK; exam is not one\n"},
      {"other.csv", "\n There is no file called other.csv.gbk\n"},
  };
  for (const auto& c : cases) {
    const RunResult run = run_program(folder.path, {c.name});
    EXPECT_EQ(run.exit_code, 1) << c.name;
    EXPECT_EQ(run.output, c.output);
  }
  EXPECT_FALSE(folder.has("exam.dat"));
}

}  // namespace
}  // namespace tests
