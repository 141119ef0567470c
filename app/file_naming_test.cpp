#include "app/file_naming.hpp"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(BaseName, ChosenNamesAreUpperCasedAndLoseEveryGbk) {
  EXPECT_EQ(base_name_from_chosen("EXAM.GBK"), "EXAM");
  EXPECT_EQ(base_name_from_chosen("exams/Biology.gbk"), "EXAMS/BIOLOGY");
  EXPECT_EQ(base_name_from_chosen("OLD.GBK.GBK"), "OLD");
  EXPECT_EQ(base_name_from_chosen("c:/my.gbkfiles/exam.gbk"), "C:/MYFILES/EXAM");
}

TEST(BaseName, CommandLineNamesKeepTheirCaseAndLoseTheExtension) {
  const struct {
    const char* given;
    const char* base;
  } cases[] = {
      {"exam1", "exam1"},
      {"exam1.gbk", "exam1"},
      {"exam1.GBK", "exam1"},
      {"exam1.Gbk", "exam1"},                // as a shell completes it
      {"MiXeD.GbK", "MiXeD"},
      {"exams/Exam1.gBK", "exams/Exam1"},
      {"old.gbk.Gbk", "old"},                // ".gbk" goes first, then the end
      {"my.gbkfiles/exam.gbk", "myfiles/exam"},
      {"exam.Gbk.txt", "exam.Gbk.txt"},      // only at the end
      {".GbK", ""},
      {"gbk", "gbk"},
  };
  for (const auto& c : cases) EXPECT_EQ(base_name_from_command_line(c.given), c.base) << c.given;
}

TEST(RunFiles, OutputsBesideTheCourseFileWithExtensionsInLowerCase) {
  using textio::os::NameMatch;
  const struct {
    RunFiles files;
    std::string course, dat, ans, txt;
    NameMatch match;
  } cases[] = {
      {run_files("EXAMS/BIOLOGY"), "EXAMS/BIOLOGY.gbk", "EXAMS/BIOLOGY.dat", "EXAMS/BIOLOGY.ans",
       "EXAMS/BIOLOGY.txt", NameMatch::exact_or_any_case},
      // A file named exactly is the course file; its outputs are named
      // exactly after it.
      {run_files_for_exact_file("Exam.Gbk"), "Exam.Gbk", "Exam.dat", "Exam.ans", "Exam.txt", NameMatch::exact},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.files.course_file, c.course);
    EXPECT_EQ(c.files.dat_file, c.dat);
    EXPECT_EQ(c.files.ans_file, c.ans);
    EXPECT_EQ(c.files.txt_file, c.txt);
    EXPECT_EQ(c.files.match, c.match) << c.course;
  }
}

}  // namespace
}  // namespace app
