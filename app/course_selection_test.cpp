#include "app/course_selection.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace app {
namespace {

namespace fs = std::filesystem;

class CourseListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start = fs::current_path();
    std::string templ = (fs::temp_directory_path() / "gbk-list-XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    folder = templ;
    fs::current_path(folder);
  }
  void TearDown() override {
    fs::current_path(start);
    fs::remove_all(folder);
  }
  void make_file(const std::string& name) { std::ofstream(folder / name) << "x"; }

  fs::path start;
  fs::path folder;
  platform::FileSearch search;
  CourseFileList list{};
};

TEST_F(CourseListTest, NamesInUpperCaseAndByteOrderThenEmptyEntries) {
  for (const char* name : {"exam.gbk", "Biology.GBK", "ab.gbk", "a.gbk", ".hidden.gbk", "notes.txt"}) make_file(name);
  fs::create_directory(folder / "folder.gbk");
  build_course_file_list(search, list);
  const std::vector<std::string> names(list.begin() + 1, list.begin() + 5);
  EXPECT_EQ(names, (std::vector<std::string>{"A.GBK", "AB.GBK", "BIOLOGY.GBK", "EXAM.GBK"}));
  EXPECT_TRUE(std::all_of(list.begin() + 5, list.end(), [](const std::string& entry) { return entry.empty(); }));
}

TEST_F(CourseListTest, AFolderWithoutCourseFilesLeavesTheListEmpty) {
  make_file("exam.txt");
  build_course_file_list(search, list);
  EXPECT_TRUE(std::all_of(list.begin(), list.end(), [](const std::string& entry) { return entry.empty(); }));
}

TEST_F(CourseListTest, TwelveHundredCourseFilesGiveExactlyOneThousandSortedNames) {
  for (int i = 0; i < 1200; ++i) make_file("c" + std::to_string(i) + ".gbk");
  build_course_file_list(search, list);
  EXPECT_TRUE(list[0].empty());
  EXPECT_TRUE(std::none_of(list.begin() + 1, list.end(), [](const std::string& entry) { return entry.empty(); }));
  EXPECT_TRUE(std::is_sorted(list.begin() + 1, list.end()));
  EXPECT_EQ(std::adjacent_find(list.begin() + 1, list.end()), list.end());
  for (std::size_t i = 1; i <= 1000; ++i) {
    ASSERT_EQ(list[i].front(), 'C') << i;
    ASSERT_TRUE(list[i].ends_with(".GBK")) << i;
  }
}

}  // namespace
}  // namespace app
