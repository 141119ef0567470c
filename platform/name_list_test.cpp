#include "platform/name_list.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

TEST(SortList, ByteOrderThenLengthWithEmptyEntriesFirst) {
  std::vector<std::string> names = {"EXAM.GBK", "", "AB.GBK", "A.GBK", "BIOLOGY.GBK", "", "a.gbk",
                                    "\xE9.GBK", "Z.GBK",  "A.GBK", "A"};
  sort_list(names);
  const std::vector<std::string> expected = {"",      "",      "A",     "A.GBK", "A.GBK", "AB.GBK",
                                             "BIOLOGY.GBK", "EXAM.GBK", "Z.GBK", "a.gbk", "\xE9.GBK"};
  EXPECT_EQ(names, expected);
}

TEST(SortList, LargeListComesOutAscendingWithItsEmptyEntriesFirst) {
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) names.push_back(i % 3 == 0 ? "" : std::to_string((i * 7919) % 1000) + ".GBK");
  sort_list(names);
  // std::string compares its bytes as unsigned char, the order wanted here.
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_TRUE(names[333].empty());
  EXPECT_FALSE(names[334].empty());
}

TEST(DeleteFirstEntry, MovesEntriesUpAndFillsTheLast) {
  std::vector<std::string> names = {"", "A", "B"};
  delete_first_entry(names, "");
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", ""}));
  delete_first_entry(names, "fill");
  EXPECT_EQ(names, (std::vector<std::string>{"B", "", "fill"}));

  std::vector<std::string> one = {"X"};
  delete_first_entry(one, "");
  EXPECT_EQ(one, std::vector<std::string>{""});
}

}  // namespace
}  // namespace platform
