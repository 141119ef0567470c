#include "platform/file_search.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tests/support/scratch_folder.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(WildcardMatch, FollowsStarQuestionMarkAndCaseRules) {
  const WildcardCase cases[] = {
      {"*.gbk", "EXAM.GBK", true},
      {"*.gbk", "exam.gbk", true},
      {"*.GBK", "Biology.gBk", true},
      {"*.gbk", "exam.gbkx", false},
      {"*.gbk", "exam.gb", false},
      {"*.gbk", ".gbk", true},
      {"*.gbk", "a.gbk.txt", false},
      {"*.gbk", "a.txt.gbk", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c", "abbc", false},
      {"???", "ab", false},
      {"*", "", true},
      {"*", "anything at all", true},
      {"", "", true},
      {"", "x", false},
      {"a*b*c", "axxbyyc", true},
      {"a*b*c", "axxcyyb", false},
      {"*ab", "aab", true},  // the first try of the star must be undone
      {"*a*", "bbb", false},
      {"exam.gbk", "EXAM.GBK", true},
      {"exam.gbk", "exam_gbk", false},
      // "*.*" also takes names without a full stop, as a folder listing does.
      {"*.*", "README", true},
      {"*.*", "a.b", true},
      {"x*.*", "x", true},
      {"x*.*", "y", false},
  };
  for (const WildcardCase& c : cases) {
    EXPECT_EQ(wildcard_match(c.pattern, c.name), c.matches) << c.pattern << " against " << c.name;
  }
}

TEST(WildcardMatch, ManyStarsStayFast) {
  const std::string name(5000, 'a');
  EXPECT_FALSE(wildcard_match("*a*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(wildcard_match("*a*a*a*a*a*a*a*a*a*a*", name));
}

class FolderTest : public ::testing::Test {
 protected:
  void make_file(const fs::path& relative) { folder.put(relative, "x"); }

  // Every name a search yields, in the order it yields them.
  static std::vector<std::string> all_names(FileSearch& search, const std::string& pattern, int selection) {
    std::vector<std::string> names;
    for (std::string name = first_file_name(search, pattern, selection); !name.empty(); name = next_file_name(search)) {
      names.push_back(name);
    }
    return names;
  }
  static std::set<std::string> as_set(const std::vector<std::string>& names) { return {names.begin(), names.end()}; }

  tests::ScratchFolder folder;
};

TEST_F(FolderTest, EmptySelectionListsOnlyNormalFiles) {
  make_file("exam.gbk");
  make_file("Biology.GBK");
  make_file("notes.txt");
  make_file(".hidden.gbk");
  fs::create_directory(folder / "folder.gbk");
  ASSERT_EQ(::mkfifo((folder / "pipe.gbk").c_str(), 0600), 0);
  fs::create_symlink(folder / "missing", folder / "dangling.gbk");
  fs::create_symlink(folder / "exam.gbk", folder / "link.gbk");  // a link to a normal file is one

  FileSearch search;
  EXPECT_EQ(as_set(all_names(search, (folder / "*.gbk").string(), 0)),
            (std::set<std::string>{"exam.gbk", "Biology.GBK", "link.gbk"}));
}

TEST_F(FolderTest, SelectionAdmitsHiddenAndDirectoryEntriesButNeverDots) {
  make_file("a.gbk");
  make_file(".h.gbk");
  fs::create_directory(folder / "d.gbk");

  FileSearch search;
  EXPECT_EQ(as_set(all_names(search, (folder / "*.gbk").string(), hidden)), (std::set<std::string>{"a.gbk", ".h.gbk"}));
  EXPECT_EQ(as_set(all_names(search, (folder / "*.gbk").string(), directory)),
            (std::set<std::string>{"a.gbk", "d.gbk"}));
  // "." and ".." are hidden directories here; even that selection skips them.
  EXPECT_EQ(as_set(all_names(search, (folder / "*").string(), hidden | directory)),
            (std::set<std::string>{"a.gbk", ".h.gbk", "d.gbk"}));
}

TEST_F(FolderTest, PatternEndingInSeparatorListsTheFolder) {
  fs::create_directory(folder / "sub");
  make_file("sub/one.gbk");
  make_file("sub/two");
  make_file("outside.gbk");

  FileSearch search;
  EXPECT_EQ(as_set(all_names(search, (folder / "sub").string() + "/", 0)), (std::set<std::string>{"one.gbk", "two"}));
  // Names come without the pattern's path.
  EXPECT_EQ(all_names(search, (folder / "sub" / "ONE.GBK").string(), 0), std::vector<std::string>{"one.gbk"});
}

TEST_F(FolderTest, UsedUpSearchKeepsGivingEmptyNames) {
  make_file("only.gbk");
  FileSearch search;
  EXPECT_EQ(first_file_name(search, (folder / "*.gbk").string(), 0), "only.gbk");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(next_file_name(search), "");
  EXPECT_EQ(first_file_name(search, (folder / "*.none").string(), 0), "");
  EXPECT_EQ(next_file_name(search), "");
}

TEST_F(FolderTest, NewSearchStartsFromTheFirstNameAgain) {
  make_file("a.gbk");
  make_file("b.gbk");
  FileSearch search;
  const std::string pattern = (folder / "*.gbk").string();
  const std::string first = first_file_name(search, pattern, 0);
  ASSERT_FALSE(next_file_name(search).empty());
  EXPECT_EQ(first_file_name(search, pattern, 0), first);
  // An empty pattern goes on with the running search.
  EXPECT_FALSE(first_file_name(search, "", 0).empty());
  EXPECT_EQ(first_file_name(search, "", 0), "");
}

TEST_F(FolderTest, ExistenceTestTakesNormalFilesInAnyCaseAndPatterns) {
  make_file("Exam.gbk");
  make_file(".secret.gbk");
  fs::create_directory(folder / "dir.gbk");
  FileSearch search;
  EXPECT_TRUE(file_exists(search, (folder / "Exam.gbk").string()));
  EXPECT_TRUE(file_exists(search, (folder / "EXAM.gbk").string()));
  EXPECT_TRUE(file_exists(search, (folder / "e*.GBK").string()));
  EXPECT_FALSE(file_exists(search, (folder / ".secret.gbk").string()));
  EXPECT_FALSE(file_exists(search, (folder / "dir.gbk").string()));
  EXPECT_FALSE(file_exists(search, (folder / "Exam").string()));
  EXPECT_FALSE(file_exists(search, ""));
}

TEST_F(FolderTest, ListsEveryFileOfALargeFolder) {
  for (int i = 0; i < 1200; ++i) make_file("C" + std::to_string(i) + ".gbk");
  FileSearch search;
  const std::vector<std::string> names = all_names(search, (folder / "*.gbk").string(), 0);
  EXPECT_EQ(names.size(), 1200u);
  EXPECT_EQ(as_set(names).size(), 1200u);
}

}  // namespace
}  // namespace platform
