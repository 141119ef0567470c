#include "app/course_selection.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/scratch_folder.hpp"

namespace app {
namespace {

namespace fs = std::filesystem;

class CourseListTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::current_path(folder.path); }
  void TearDown() override { fs::current_path(start); }
  void make_file(const std::string& name) { folder.put(name, "x"); }

  const fs::path start = fs::current_path();
  tests::ScratchFolder folder;
  platform::FileSearch search;
  CourseFileList list{};
};

TEST_F(CourseListTest, NamesInUpperCaseAndByteOrderThenEmptyEntries) {
  for (const char* name : {"exam.gbk", "Biology.GBK", "ab.gbk", "a.gbk", ".hidden.gbk", "notes.txt"}) make_file(name);
  fs::create_directory(folder / "folder.gbk");
  build_course_file_list(search, list);
  const std::vector<std::string> names(list.names.begin() + 1, list.names.begin() + 5);
  EXPECT_EQ(names, (std::vector<std::string>{"A.GBK", "AB.GBK", "BIOLOGY.GBK", "EXAM.GBK"}));
  EXPECT_TRUE(
      std::all_of(list.names.begin() + 5, list.names.end(), [](const std::string& entry) { return entry.empty(); }));
  EXPECT_TRUE(std::none_of(list.exact.begin(), list.exact.end(), [](bool exact) { return exact; }));
}

TEST_F(CourseListTest, NamesThatDifferOnlyInCaseKeepTheirSpellingAndStandForTheirOwnFiles) {
  for (const char* name : {"exam.gbk", "EXAM.GBK", "Exam.Gbk", "biology.gbk", "f.gbk"}) make_file(name);
  build_course_file_list(search, list);
  const std::vector<std::string> names(list.names.begin() + 1, list.names.begin() + 6);
  EXPECT_EQ(names, (std::vector<std::string>{"BIOLOGY.GBK", "EXAM.GBK", "Exam.Gbk", "exam.gbk", "F.GBK"}));
  const std::vector<bool> exact(list.exact.begin() + 1, list.exact.begin() + 6);
  EXPECT_EQ(exact, (std::vector<bool>{false, true, true, true, false}));
}

TEST_F(CourseListTest, AFolderWithoutCourseFilesLeavesTheListEmpty) {
  make_file("exam.txt");
  build_course_file_list(search, list);
  EXPECT_TRUE(
      std::all_of(list.names.begin(), list.names.end(), [](const std::string& entry) { return entry.empty(); }));
}

TEST_F(CourseListTest, OfTwelveHundredCourseFilesTheFirstThousandInByteOrderAreListed) {
  // Made in an order of their own, and in both cases, so that neither the
  // order of the folder nor the case of the names can decide which are cut.
  for (int i = 0; i < 1200; ++i) {
    const int n = (i * 7 + 3) % 1200 + 1;
    char name[16];
    std::snprintf(name, sizeof name, n % 2 == 0 ? "M%04d.GBK" : "m%04d.gbk", n);
    make_file(name);
  }
  build_course_file_list(search, list);
  EXPECT_TRUE(list.names[0].empty());
  for (int i = 1; i <= 1000; ++i) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "M%04d.GBK", i);
    ASSERT_EQ(list.names[static_cast<std::size_t>(i)], expected) << i;
  }
}

}  // namespace
}  // namespace app
