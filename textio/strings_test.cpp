#include "textio/strings.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace textio {
namespace {

TEST(CompareBytes, OrdersByUnsignedBytesThenLength) {
  struct Case {
    std::string_view a, b;
    int sign;
  };
  const Case cases[] = {
      {"A.GBK", "AB.GBK", -1},  // '.' (46) is below 'B' (66)
      {"", "A", -1},            // empty names sort first
      {"EXAM", "EXAM", 0},
      {"AB", "A", 1},    // the longer one after an equal start
      {"\xE4", "z", 1},  // bytes compare unsigned
      {std::string_view("a\0b", 3), std::string_view("a\0c", 3), -1},
      {"a", "A", 1},  // case-sensitive
  };
  for (const Case& c : cases) {
    const int got = compare_bytes(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST(Occurrences, CountsWithoutOverlap) {
  EXPECT_EQ(count_occurrences("aaaa", "aa"), 2);
  EXPECT_EQ(count_occurrences("x,\"a,b\",c", ","), 3);  // a comma inside quotes counts here
  EXPECT_EQ(count_occurrences("", "a"), 0);
  EXPECT_EQ(count_occurrences("abc", ""), 0);
  EXPECT_EQ(count_occurrences("ab", "abc"), 0);
}

TEST(ReplaceAll, ReplacesInOnePassCaseSensitively) {
  EXPECT_EQ(replace_all("banana", "a", "A"), "bAnAnA");
  EXPECT_EQ(replace_all("bAnana", "a", "A"), "bAnAnA");
  EXPECT_EQ(replace_all("aa", "a", "aa"), "aaaa");  // produced text is not searched again
  EXPECT_EQ(replace_all("aaa", "aa", "b"), "ba");
  EXPECT_EQ(replace_all("abc", "", "x"), "abc");
  EXPECT_EQ(replace_all("", "a", "x"), "");
}

TEST(RemoveAll, RemovesEveryOccurrenceAnywhere) {
  EXPECT_EQ(remove_all("COURSE.GBK", ".GBK"), "COURSE");
  EXPECT_EQ(remove_all("A.GBK.GBK", ".GBK"), "A");
  EXPECT_EQ(remove_all("exam.gbk", ".GBK"), "exam.gbk");
  EXPECT_EQ(remove_all("C:\\MY.GBKFILES\\EXAM.GBK", ".GBK"), "C:\\MYFILES\\EXAM");
  EXPECT_EQ(remove_all(".GB", ".GBK"), ".GB");
}

TEST(Trim, RemovesBlanksOnlyAtBothEnds) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("\ta "), "\ta");  // a tab is not a blank
  EXPECT_EQ(trim("    "), "");
  EXPECT_EQ(trim_left("  x "), "x ");
  EXPECT_EQ(trim_right("  x "), "  x");
}

TEST(UpperCase, MapsLettersOfTheTextsCodePage) {
  EXPECT_EQ(upper_case("exam1.gbk {z}", CodePage::utf8), "EXAM1.GBK {Z}");
  // UTF-8 "ä" (C3 A4) and code page 437 small letters stay as they are.
  EXPECT_EQ(upper_case("\xC3\xA4\x84\x94", CodePage::utf8), "\xC3\xA4\x84\x94");
  EXPECT_EQ(upper_case("\x84\x94\x81\x82\xA4\x86\x87", CodePage::oem437), "\x8E\x99\x9A\x90\xA5\x8F\x80");
  EXPECT_EQ(upper_case("\xE0\xFF\x85", CodePage::oem437), "\xE0\xFF\x85");
  EXPECT_EQ(upper_case(std::string_view("a\0b", 3), CodePage::oem437), std::string("A\0B", 3));
}

TEST(ReadNumber, ReadsTheNumberAtTheStart) {
  struct Case {
    std::string_view text;
    long double value;
  };
  const Case cases[] = {
      {" 40", 40}, {"40 ", 40},   {"12abc", 12},     {"1,5", 1},      {"-3", -3},
      {"+4", 4},   {"2.5", 2.5L}, {".5", 0.5L},      {"1e2", 100},    {"1D3", 1000},
      {"1e", 1},   {"1e+", 1},    {"2.5e-1", 0.25L}, {"", 0},         {"abc", 0},
      {"-", 0},    {".", 0},      {"\t\n 7", 7},     {"&H1F", 31},    {"&h10", 16},
      {"&17", 15}, {"&O17", 15},  {"&B101", 5},      {"1.2.3", 1.2L}, {"0000000000000000000000042", 42},
  };
  for (const Case& c : cases) EXPECT_EQ(read_number(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadNumber, KeepsEighteenSignificantDigitsButTheWholeSize) {
  EXPECT_EQ(read_number("1234567890123456789999"), 123456789012345678e4L);
  EXPECT_EQ(read_number("0.1234567890123456789"), 0.123456789012345678L);
  EXPECT_TRUE(std::isinf(read_number("1e99999")));
  EXPECT_EQ(read_number("1e-99999"), 0);
}

TEST(ToInt16, RoundsHalfToEvenAndKeepsTheLow16Bits) {
  // whole: the rounded number before the 16-bit wrap.
  struct Case {
    long double value;
    std::int64_t whole;
    std::int16_t expected;
  };
  const Case cases[] = {
      {40, 40, 40},
      {40.5L, 40, 40},
      {41.5L, 42, 42},
      {2.5L, 2, 2},
      {3.5L, 4, 4},
      {-2.5L, -2, -2},
      {-3.5L, -4, -4},
      {0.49L, 0, 0},
      {-0.5L, 0, 0},
      {32767, 32767, 32767},
      {32768, 32768, -32768},
      {40000, 40000, -25536},
      {-32769, -32769, 32767},
      {65536, 65536, 0},
      {1e30L, 0, 0},
      {-1e30L, 0, 0},
      {9.3e18L, 0, 0},
      {-9223372036854775808.0L, std::numeric_limits<std::int64_t>::min(), 0},
      {std::numeric_limits<long double>::infinity(), 0, 0},
      {std::nanl(""), 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(to_whole(c.value), c.whole) << static_cast<double>(c.value);
    EXPECT_EQ(to_int16(c.value), c.expected) << static_cast<double>(c.value);
  }
}

TEST(Wrap16, WrapsLikeASixteenBitCounter) {
  EXPECT_EQ(wrap16(32767 + 1), -32768);
  EXPECT_EQ(wrap16(-32768 - 1), 32767);
  EXPECT_EQ(wrap16(7 - 8), -1);
  EXPECT_EQ(wrap16(100000), -31072);
}

}  // namespace
}  // namespace textio
