#include "app/file_naming.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_folder.hpp"

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
      {"exam1.Gbk", "exam1"},  // as a shell completes it
      {"MiXeD.GbK", "MiXeD"},
      {"exams/Exam1.gBK", "exams/Exam1"},
      {"old.gbk.Gbk", "old"},  // ".gbk" goes first, then the end
      {"my.gbkfiles/exam.gbk", "myfiles/exam"},
      {"exam.Gbk.txt", "exam.Gbk.txt"},  // only at the end
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
      {run_files("EXAMS/BIOLOGY"), "EXAMS/BIOLOGY.gbk", "EXAMS/BIOLOGY.dat", "EXAMS/BIOLOGY.ans", "EXAMS/BIOLOGY.txt",
       NameMatch::exact_or_any_case},
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

// Names that differ only in case: the one named exactly is taken (as built,
// as typed, or by its base name with the extension in any case); a name
// that is none of them finds them all and takes none.
TEST(FindCourseFile, TakesTheFileNamedExactlyOrNone) {
  const tests::ScratchFolder folder;
  const std::string dir = folder.path.string() + "/";
  for (const char* name : {"EXAM.GBK", "exam.gbk", "Only.gbk", "Two.GBK", "Two.Gbk", "Sub/x.gbk"}) {
    folder.put(name, "FH\r\n");
  }
  using How = FoundCourseFile::How;
  const struct {
    std::string typed;
    How how;
    std::string path;
    std::vector<std::string> candidates;
  } cases[] = {
      {"exam", How::exactly, "exam.gbk", {}},
      {"EXAM", How::exactly, "EXAM.GBK", {}},  // its base name
      {"EXAM.GBK", How::exactly, "EXAM.GBK", {}},
      {"exam.GBK", How::exactly, "exam.gbk", {}},
      {"Exam", How::ambiguous, "", {"EXAM.GBK", "exam.gbk"}},
      {"Two", How::ambiguous, "", {"Two.GBK", "Two.Gbk"}},  // the same base name
      {"Two.Gbk", How::exactly, "Two.Gbk", {}},             // as typed
      {"only", How::one, "Only.gbk", {}},
      {"SUB/X", How::one, "Sub/x.gbk", {}},
      {"E?AM", How::one, "E?AM.gbk", {}},  // a pattern finds whatever it matches
      {"missing", How::none, "", {}},
  };
  platform::FileSearch search;
  for (const auto& c : cases) {
    const std::string typed = dir + c.typed;
    const FoundCourseFile found = find_course_file(search, run_files(base_name_from_command_line(typed)), typed, true);
    EXPECT_EQ(found.how, c.how) << c.typed;
    EXPECT_EQ(found.path, c.path.empty() ? "" : dir + c.path) << c.typed;
    std::vector<std::string> candidates;
    for (const std::string& name : c.candidates) candidates.push_back(dir + name);
    EXPECT_EQ(found.candidates, candidates) << c.typed;
  }
}

// A name chosen in the dialogs is built in upper case: only the name as
// typed tells which of two files it is.
TEST(FindCourseFile, ANameBuiltInUpperCaseIsNoNameGivenExactly) {
  const tests::ScratchFolder folder;
  const std::string dir = folder.path.string() + "/";
  for (const char* name : {"EXAM.GBK", "EXAM.gbk", "exam.gbk"}) folder.put(name, "FH\r\n");
  platform::FileSearch search;
  const FoundCourseFile typed =
      find_course_file(search, run_files(base_name_from_chosen(dir + "exam.gbk")), dir + "exam.gbk", false);
  EXPECT_EQ(typed.how, FoundCourseFile::How::exactly);
  EXPECT_EQ(typed.path, dir + "exam.gbk");
  const FoundCourseFile neither =
      find_course_file(search, run_files(base_name_from_chosen(dir + "Exam.gbk")), dir + "Exam.gbk", false);
  EXPECT_EQ(neither.how, FoundCourseFile::How::ambiguous);
  EXPECT_EQ(neither.candidates.size(), 3u);
}

TEST(FindCourseFile, TheMessageNamesEveryFileItCouldBe) {
  EXPECT_EQ(ambiguous_course_name_message("Exam.gbk", {"EXAM.GBK", "exam.gbk"}),
            " Exam.gbk could be EXAM.GBK or exam.gbk: give the name exactly");
  EXPECT_EQ(ambiguous_course_name_message("d/a.gbk", {"d/A.gbk", "d/a.GBK", "d/a.Gbk"}),
            " d/a.gbk could be d/A.gbk, d/a.GBK or d/a.Gbk: give the name exactly");
}

}  // namespace
}  // namespace app
