#include "platform/name_list.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "textio/strings.hpp"

namespace platform {
namespace {

TEST(SortList, ByteOrderOfTheUpperCaseFormThenOfTheNames) {
  std::vector<std::string> names = {"EXAM.GBK", "",      "AB.GBK", "a.gbk", "BIOLOGY.GBK", "",        "exam.gbk",
                                    "\xE9.GBK", "Z.GBK", "A.GBK",  "A",     "b.gbk",       "Exam.gbk"};
  sort_list(names);
  // a.gbk beside A.GBK, b.gbk before BIOLOGY.GBK: case plays no part until
  // two names differ in nothing else.
  const std::vector<std::string> expected = {"",         "",      "A",           "A.GBK",    "a.gbk",
                                             "AB.GBK",   "b.gbk", "BIOLOGY.GBK", "EXAM.GBK", "Exam.gbk",
                                             "exam.gbk", "Z.GBK", "\xE9.GBK"};
  EXPECT_EQ(names, expected);
}

TEST(SortList, LargeListComesOutAscendingWithItsEmptyEntriesFirst) {
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) {
    names.push_back(i % 3 == 0 ? "" : std::to_string((i * 7919) % 1000) + (i % 2 == 0 ? ".gbk" : ".GBK"));
  }
  sort_list(names);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return textio::upper_case(a) < textio::upper_case(b);
  }));
  EXPECT_TRUE(names[333].empty());
  EXPECT_FALSE(names[334].empty());
}

}  // namespace
}  // namespace platform
