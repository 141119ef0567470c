#include "platform/directory.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/scratch_folder.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

class DirectoryTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::current_path(start); }
  const fs::path start = fs::current_path();
  const tests::ScratchFolder scratch;
  const fs::path folder = fs::canonical(scratch.path);  // as the current directory names it
};

TEST_F(DirectoryTest, ChangeMakesTheFolderCurrent) {
  fs::create_directory(folder / "Exams");
  EXPECT_EQ(change_directory((folder / "Exams").string()), 0);
  EXPECT_EQ(current_directory(), (folder / "Exams").string());
  // A relative name and a name in other case find it too.
  EXPECT_EQ(change_directory(".."), 0);
  EXPECT_EQ(change_directory("EXAMS"), 0);
  EXPECT_EQ(current_directory(), (folder / "Exams").string());
}

TEST_F(DirectoryTest, RefusedChangesLeaveTheCurrentDirectory) {
  fs::create_directory(folder / "a*b");
  fs::create_directory(folder / "q?");
  std::ofstream(folder / "file") << "x";
  ASSERT_EQ(change_directory(folder.string()), 0);
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {(folder / "missing").string(), path_not_found},
      {(folder / "a*b").string(), path_not_found},  // wildcards are refused even when such a folder exists
      {(folder / "q?").string(), path_not_found},
      {(folder / "file").string(), path_not_found},
      {"", path_not_found},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(change_directory(c.path), c.error) << c.path;
    EXPECT_EQ(current_directory(), folder.string()) << c.path;
  }
}

TEST_F(DirectoryTest, LongPathsAreTakenWhole) {
  // Cut after 255 bytes this path would name an existing folder.
  const std::string base = folder.string() + "/";
  const std::string name(255 - base.size(), 'd');
  fs::create_directory(base + name);
  fs::current_path(folder);
  EXPECT_EQ(change_directory(base + name + "/does-not-exist"), path_not_found);
  EXPECT_EQ(current_directory(), folder.string());
  const std::string deep = base + name + "/" + std::string(100, 'e');
  fs::create_directory(deep);
  EXPECT_EQ(change_directory(deep), 0);
  EXPECT_EQ(current_directory(), deep);
}

}  // namespace
}  // namespace platform
