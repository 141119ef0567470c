#include "app/course_reading.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

#include "tests/support/reading_ways.hpp"

namespace app {
namespace {

using tests::Reading;

// The same course file read both ways must give the same bytes, console
// text, counts and report: the one pass over plain student lines against
// the general way, which takes every line.
class ReadingWays : public ::testing::Test {
 protected:
  Reading read(const std::string& course, StudentLines way) { return tests::read_course(folder, course, way); }

  // Returns the reading of the general way.
  Reading expect_same_both_ways(const std::string& course, const std::string& what, bool dat_open = true) {
    tests::BothWays both = tests::read_both_ways(folder, course, dat_open);
    EXPECT_EQ(tests::difference(both.one_pass, both.general), "") << what;
    return std::move(both.general);
  }

  tests::ScratchFolder folder;
};

// A student line the one pass takes: field 3 a code, a name with a blank
// or a quoted name with a comma, and some blank answers.
std::string plain_student(int number, int answers) {
  const std::string field_3[] = {"G" + std::to_string(number % 10), "SMITH J", "\"SMITH, J\""};
  std::string line = "SD," + std::to_string(5000000 + number) + "," + field_3[number % 3] + ",,,,,";
  for (int q = 0; q < answers; ++q) {
    line += ',';
    if ((number + q) % 11 != 0) line += "abcdeABCDE"[(number * 7 + q * 3) % 10];
  }
  return line + ",\r\n";
}

constexpr const char* key_and_header =
    "SH3,Key,,,,,,,A,B,C,D,E,A,B,C,D,E,A,B,C,D,E,A,B,C,D,E,A,B\r\nFH,C,,,,,,,20,9\r\n";

// Each odd line between plain student lines of 20 answers, which the one
// pass takes before and after it.
TEST_F(ReadingWays, AgreeAroundEveryKindOfLine) {
  std::string long_answers = "SD,7,x,,,,,";
  for (int q = 0; q < 40000; ++q) long_answers += ",a";
  const std::string odd_lines[] = {
      "SD,1,x,,,,,,a,b,c,\r\n",                                          // another answer count: a warning, twice
      "SD,1111111,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",  // a version number
      "SD,\" 2222222 \",x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",
      "SD,11111111,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",
      "SD,1,x,,,,,,a, b ,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",         // blanks
      "SD,1,\"Smith, J\",,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,\r\n",  // a quoted comma
      "SD,1,\"Smith, J\",,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",
      "SD,\"1111111\",x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",
      "SD,1,\"x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",  // an unclosed quote
      "SD,1,x\ty,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",  // a tab before the answers
      "SD,1,x,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n",                      // every answer blank
      "SD\t1\tx\t\t\t\t\t\ta\tb\tc\td\te\ta\tb\tc\td\te\ta\tb\tc\td\te\ta\tb\tc\td\te\t\r\n",
      "SD,1,x,,,,,,a,b\nc,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n",  // a line feed is text
      "SD,1,x,,,,,,,,ab,Ca,xyz,!,#,\x01,\xFF,e,a,b,c,d,e,a,b,c,d,e,\r\n",
      "SD\r\n",
      "SD,1,2\r\n",
      "\r\n",
      "   \r\n",
      "sd,1,x\r\n",
      "SD1,1,x,,,,,,a\r\n",
      "junk\r",
      "SD,1,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r",      // CR alone
      "SD,1,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\n\n",  // CR LF LF
      "SH3,,,,,,,,a,,ab,d,\r\n",                                     // a new key with empty and longer entries
      "FH,,,,,,,,0,3\r\n",
      "FH,,,,,,,,-3,3\r\n",
      "FH,,,,,,,,143,3\r\n",
      "FH,,,,,,,,19,3\r\n",
      long_answers + ",\r\n",  // 40000 answers: the count wraps
      "SD,1,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\x1A"
      "SD,2,y,,,,,,a,\r\n",  // 0x1A ends it
  };
  std::string students;
  for (int s = 0; s < 40; ++s) students += plain_student(s, 20);
  for (const std::string& odd : odd_lines) {
    expect_same_both_ways(key_and_header + students + odd + students, odd);
  }
  // And as the last line, with no line end after it, or only its CR.
  for (const std::string& last : {std::string("SD,1,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,"),
                                  std::string("SD,1,x,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r")}) {
    expect_same_both_ways(key_and_header + students + last, last);
  }
}

// A long mixed file read in blocks: line ends, fields and runs of
// sixteen answers fall on every side of the read blocks' boundaries, the
// answer count and the declared count change now and then, and the one
// pass stops and starts again around the odd lines.
TEST_F(ReadingWays, AgreeOverAFileReadInManyBlocks) {
  std::uint32_t state = 14;
  const auto next = [&state](std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  const std::string odd[] = {"SD,1,x,,,,,,a, b,\r\n",
                             "SD,1111111,y,,,,,,a,b,\r\n",
                             "FH,,,,,,,,40,2\r\n",
                             "SH3,,,,,,,,e,d,c,b,a,\r\n",
                             "x\r\n",
                             "SD,2,\"q,r\",,,,,,a,\r\n"};
  for (int shift = 0; shift < 3; ++shift) {
    std::string course = std::string(static_cast<std::size_t>(shift * 37), 'P') + "\r\n" + key_and_header;
    int answers = 20;
    while (course.size() < 8 * textio::block_size) {
      if (next(400) == 0) course += odd[next(std::size(odd))];
      if (next(300) == 0) answers = static_cast<int>(next(160));
      course += plain_student(static_cast<int>(next(100000)), answers);
    }
    expect_same_both_ways(course, "shift " + std::to_string(shift));
    if (shift == 0) expect_same_both_ways(course, "no .dat file", false);
  }
}

// Line lengths around every multiple of 4,080 bytes (255 blocks of sixteen,
// where the comma counting adds up its one-byte counts) and of 4,096, up to
// 64 KiB, with commas on every byte position: a plain student line, the same
// line with a tab (which is left to the general way, its copy split between
// commas) and with a blank, all of one length and answer count, behind a
// header that declares that count. Both ways must count every answer: no
// record warns, and the three .txt lines are equal.
TEST_F(ReadingWays, AgreeOnLinesAroundEveryMultipleOf4080And4096) {
  const struct {
    std::string_view start;
    std::string_view answer;
  } shapes[] = {{"SD,1,x,,,,,", ","}, {"SD,1,x,,,,,", ",a"}, {"SD,12,x,,,,,", ",a"}, {"SD,1,x,,,,,", ",abc"}};
  for (const auto& shape : shapes) {
    for (std::size_t multiple : {4080u, 4096u}) {
      for (std::size_t k = 1; k <= 16; ++k) {
        std::string course;
        std::vector<std::string> lengths;
        for (int offset : {-17, -16, -1, 0, 1, 15, 16, 17}) {
          const std::size_t length = k * multiple + static_cast<std::size_t>(offset);
          std::string plain(shape.start);
          while (plain.size() < length) plain += shape.answer;
          plain.resize(length);
          std::string tab = plain;
          tab[2] = '\t';
          std::string blank = plain;
          blank[shape.start.size() - 6] = ' ';
          const auto answers = std::count(plain.begin(), plain.end(), ',') - 8;
          course += "FH,,,,,,,," + std::to_string(answers) + ",3\r\n" + plain + "\r\n" + tab + "\r\n" + blank + "\r\n";
          lengths.push_back(std::to_string(length));
        }
        const std::string what = std::string(shape.answer) + " after " + std::string(shape.start) + ", " +
                                 std::to_string(k) + " x " + std::to_string(multiple);
        const Reading reading = expect_same_both_ways(course, what);
        EXPECT_TRUE(reading.values.tally.warned.empty()) << what;
        std::istringstream txt(reading.txt);
        for (const std::string& length : lengths) {
          std::string first, second, third;
          std::getline(txt, first);
          std::getline(txt, second);
          std::getline(txt, third);
          EXPECT_TRUE(first == second && second == third) << what << ", " << length << " bytes";
        }
      }
    }
  }
}

// A file with LF line ends only reads as the same file with CR LF, both
// ways; only the tally tells it apart. A single CR anywhere before the end
// keeps every lone LF inside its line.
TEST_F(ReadingWays, AFileOfLineFeedsReadsAsTheSameFileWithCrLf) {
  std::string crlf = key_and_header;
  for (int s = 0; s < 20000; ++s) crlf += plain_student(s, 20);
  crlf.insert(crlf.size() / 2, "SD,1,x,,,,,,a, b,\r\nSD\t1\tx\t\t\t\t\t\ta\t\r\n\r\nSD,1111111,y,,,,,,a,b,\r\n");
  std::string lf;
  for (char c : crlf) {
    if (c != '\r') lf += c;
  }
  ASSERT_GT(lf.size(), 2 * textio::block_size);
  for (StudentLines way : {StudentLines::general_only, StudentLines::one_pass_where_plain}) {
    Reading as_crlf = read(crlf, way);
    const Reading as_lf = read(lf, way);
    EXPECT_FALSE(as_crlf.values.tally.line_feeds_end_lines);
    EXPECT_TRUE(as_lf.values.tally.line_feeds_end_lines);
    as_crlf.values.tally.line_feeds_end_lines = true;
    EXPECT_EQ(tests::difference(as_lf, as_crlf), "");
  }
  expect_same_both_ways(lf + "\r", "one CR at the end");
  EXPECT_EQ(read(lf + "\r", StudentLines::one_pass_where_plain).values.tally.lines_read, 1u);
}

// A file with a UTF-8 byte-order mark reads as the same file without it,
// both ways and with either line end; only the tally tells them apart.
TEST_F(ReadingWays, AFileWithAByteOrderMarkReadsAsTheSameFileWithout) {
  std::string course = key_and_header;
  for (int s = 0; s < 5000; ++s) course += plain_student(s, 20);
  course += "SD,1,x,,,,,,a, b,\r\n";
  std::string lf;
  for (char c : course) {
    if (c != '\r') lf += c;
  }
  for (const std::string& without : {course, lf}) {
    const std::string with = std::string(textio::utf8_byte_order_mark) + without;
    for (StudentLines way : {StudentLines::general_only, StudentLines::one_pass_where_plain}) {
      const Reading as_without = read(without, way);
      Reading as_with = read(with, way);
      EXPECT_FALSE(as_without.values.tally.byte_order_mark_skipped);
      EXPECT_TRUE(as_with.values.tally.byte_order_mark_skipped);
      EXPECT_EQ(as_with.values.answer_key[1], "A");  // the key record is one
      as_with.values.tally.byte_order_mark_skipped = false;
      EXPECT_EQ(tests::difference(as_with, as_without), "");
    }
    expect_same_both_ways(with, "with the mark");
  }
}

// Student records before the answer-key record, and answers past the 100
// the key holds, are counted alike both ways: the first keyless record's
// line, the most answers coded.
TEST_F(ReadingWays, CountRecordsWithoutKeyAndAnswersPastTheKeyAlike) {
  std::string before;
  for (int s = 0; s < 30; ++s) before += plain_student(s, 20);
  std::string after;
  for (int s = 0; s < 30; ++s) after += plain_student(s, s == 17 ? 130 : 20);
  const std::string course = "x\r\nFH,C,,,,,,,20,9\r\n" + before + key_and_header + after;
  const Reading reading = expect_same_both_ways(course, "keyless records first");
  EXPECT_EQ(reading.values.tally.students_without_key, 30u);
  EXPECT_EQ(reading.values.tally.first_line_without_key, 3u);
  EXPECT_EQ(reading.values.tally.most_answers, 130);
  const Reading keyed = expect_same_both_ways(key_and_header + before, "key first");
  EXPECT_EQ(keyed.values.tally.students_without_key, 0u);
  EXPECT_EQ(keyed.values.tally.most_answers, 20);
}

}  // namespace
}  // namespace app
