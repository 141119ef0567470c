#include "textio/fields.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace textio {
namespace {

TEST(Field, FollowsTheDefaultFieldRule) {
  struct Case {
    std::string_view text;
    std::size_t n;
    std::string_view expected;
  };
  const Case cases[] = {
      {"a,,b", 2, ""},
      {"a,,b", 3, "b"},
      {"a,,b", 4, ""},
      {"a,b", 0, ""},
      {"     ", 1, ""},
      {"x, \"A, B\" ,y", 2, "A, B"},  // quoted: commas and blanks kept
      {"x, \"A, B\" ,y", 3, "y"},     // text after the closing quote is ignored
      {"x,\"open", 2, "open"},        // no closing quote: to the end
      {"x,\"open,y", 3, ""},          // ... and no later field
      {"x, ab  ,y", 2, "ab"},
      {"a \"b\"", 1, "a \"b\""},  // a quote inside a field is a character
      {"\"q\"junk,z", 1, "q"},
      {"\"q\"junk,z", 2, "z"},
      {" , x", 1, ""},
      {" , x", 2, "x"},
      {"a, ", 2, ""},
      {"\tSD,1", 1, "\tSD"},  // a tab is no blank
      {"\"\",z", 1, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(field(c.text, c.n), c.expected) << c.text << " field " << c.n;
}

TEST(SplitFields, CountsOnlyTheCommasThatSeparateFields) {
  struct Case {
    std::string_view text;
    std::int64_t separators;
    std::size_t fields;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"SD,s,n,4,5,6,7,8,a,b,d,", 11, 11},
      {"SD,s,n,4,5,6,7,8,a,b,d", 10, 11},
      {"SD,1,2", 2, 3},
      {"x,\"a,b\",c", 2, 3},
      {"x,\"a,b", 1, 2},       // everything after an unclosed quote is one field
      {"x,a\"b,c\",d", 3, 4},  // a quote inside a field does not quote
      {",,,", 3, 3},
  };
  SplitLine split;
  for (const Case& c : cases) {
    split_fields(c.text, 1000, split);
    EXPECT_EQ(split.separators, c.separators) << c.text;
    EXPECT_EQ(split.fields.size(), c.fields) << c.text;
  }
}

TEST(SplitFields, KeepsOnlyTheFirstFieldsButCountsTheWholeLine) {
  std::string line = "SD";
  for (int i = 0; i < 300; ++i) line += ",x";
  SplitLine split;
  split_fields(line, 150, split);
  EXPECT_EQ(split.fields.size(), 150u);
  EXPECT_EQ(split.separators, 300);
  EXPECT_EQ(field_of(split, 150), "x");
  EXPECT_EQ(field_of(split, 151), "");
}

TEST(SplitFields, AgreesWithSingleFieldLookUps) {
  const std::string_view line = " SD , \"1, 2\"x ,  n  ,,\"q\" , \"open, end";
  SplitLine split;
  split_fields(line, 20, split);
  for (std::size_t n = 1; n <= 8; ++n) EXPECT_EQ(field_of(split, n), field(line, n)) << n;
}

// A line without blanks or quotes is split a word at a time; one trailing
// blank changes no field of it but sends it through the byte-by-byte rule, so
// the two must agree for every length, comma pattern and kept count.
TEST(SplitFields, WordAtATimeSplitAgreesWithTheByteRule) {
  std::uint32_t state = 12345;
  const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  SplitLine between_commas;
  SplitLine blank_ended;
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    const std::size_t length = next() % 80;
    for (std::size_t i = 0; i < length; ++i) line += ",,,aB9\xff"[next() % 7];
    const std::size_t kept = round % 3 == 0 ? 150 : 1 + next() % 20;
    const std::string line_and_blank = line + " ";
    split_fields(line, kept, between_commas);
    split_fields(line_and_blank, kept, blank_ended);
    ASSERT_EQ(between_commas.separators, blank_ended.separators) << line << " keeping " << kept;
    ASSERT_EQ(between_commas.fields, blank_ended.fields) << line << " keeping " << kept;
    EXPECT_TRUE(between_commas.trimmed);
  }
}

// The commas of a line between commas are counted sixteen byte positions at a time in
// one-byte counts: lines long enough to fill a count (255 blocks of sixteen
// bytes, 4,080) and any tail behind them must count every comma, whatever
// byte positions the commas take. A trailing blank sends the same line
// through the byte-by-byte rule.
TEST(SplitFields, CountsEveryCommaOfLongLines) {
  const std::string_view patterns[] = {",", "a,", "ab,c", "abcdefghijklmno,"};
  SplitLine split;
  for (std::size_t multiple : {4080u, 4096u}) {
    for (std::size_t k = 1; k <= 5; ++k) {
      for (std::size_t length = k * multiple - 17; length <= k * multiple + 17; ++length) {
        for (std::string_view pattern : patterns) {
          std::string line;
          while (line.size() < length) line += pattern;
          line.resize(length);
          const auto commas = static_cast<std::int64_t>(std::count(line.begin(), line.end(), ','));
          split_fields(line, 3, split);
          ASSERT_TRUE(split.between_commas);
          ASSERT_EQ(split.separators, commas) << length << " bytes of " << pattern;
          split_fields(line + " ", 3, split);
          ASSERT_EQ(split.separators, commas) << length << " bytes of " << pattern << " and a blank";
        }
      }
    }
  }
}

TEST(SplitFields, OnlyAQuotedFieldCanKeepBlanksAtItsEnds) {
  SplitLine split;
  split_fields(" a , b ,c", 10, split);
  EXPECT_TRUE(split.trimmed);
  split_fields("a,\" b \",c", 10, split);
  EXPECT_FALSE(split.trimmed);
  EXPECT_EQ(field_of(split, 2), " b ");
  split_fields("a,b", 10, split);  // nothing is carried over from the line before
  EXPECT_TRUE(split.trimmed);
}

}  // namespace
}  // namespace textio
