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

TEST(BaseName, CommandLineNamesKeepTheirCase) {
  EXPECT_EQ(base_name_from_command_line("exam1"), "exam1");
  EXPECT_EQ(base_name_from_command_line("exam1.gbk"), "exam1");
  EXPECT_EQ(base_name_from_command_line("exam1.GBK"), "exam1");
  EXPECT_EQ(base_name_from_command_line("exam1.Gbk"), "exam1.Gbk");
}

TEST(RunFiles, ExtensionsInLowerCaseBesideTheBaseName) {
  const RunFiles files = run_files("EXAMS/BIOLOGY");
  EXPECT_EQ(files.course_file, "EXAMS/BIOLOGY.gbk");
  EXPECT_EQ(files.dat_file, "EXAMS/BIOLOGY.dat");
  EXPECT_EQ(files.ans_file, "EXAMS/BIOLOGY.ans");
  EXPECT_EQ(files.txt_file, "EXAMS/BIOLOGY.txt");
}

}  // namespace
}  // namespace app
