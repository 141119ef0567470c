#include "coursefile/course_file_check.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"
#include "textio/fields.hpp"
#include "tests/support/not_course_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace coursefile {
namespace {

using tests::utf16;

// Whether the reading loop meets a record in the file: every line through
// the channel, tabs made commas, field 1 by the field rule.
bool record_as_read(const std::string& path) {
  textio::ChannelTable table;
  textio::open_for_input(table, path, 1);
  textio::SplitLine split;
  bool found = false;
  while (!found && !textio::at_end(table, 1)) {
    std::string line(textio::read_line(table, 1));
    std::replace(line.begin(), line.end(), '\t', ',');
    textio::split_fields(line, 1, split);
    found = record_kind(split) != RecordKind::none;
  }
  textio::close(table, 1);
  return found;
}

struct Case {
  std::string what;
  std::string bytes;
  bool has_record;
  std::vector<std::string> refusal;  // of the file named C.GBK
};

const std::string no_record = " C.GBK is not a course file: it has no SH3, FH or SD record";

// Every file that has a record as the reading loop reads it is looked at
// as one, whatever its size, line ends or mark; one that has none is
// refused with what it likely is.
TEST(CourseFileCheck, FindsARecordWhereTheReadingDoesAndTellsWhatTheFileIsOtherwise) {
  const std::string junk_lines = [] {
    std::string lines;
    while (lines.size() < 3 * textio::block_size) lines += "a line of no record at all, x, y, z\r\n";
    return lines;
  }();
  const std::string lf_junk = [&] {
    std::string lines;
    for (char c : junk_lines) {
      if (c != '\r') lines += c;
    }
    return lines;
  }();
  const Case cases[] = {
      {"a usual file", "SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,1,x,,,,,,a,\r\n", true, {}},
      {"LF line ends", "SH3,,,,,,,,a\nSD,1\n", true, {}},
      {"a byte-order mark", "\xEF\xBB\xBFSH3,,,,,,,,a\r\n", true, {}},
      {"a quoted tag with blanks", "x\r\n\" FH \",1\r\n", true, {}},
      {"tabs", "x\r\nSD\t1\r\n", true, {}},
      {"a record far on", junk_lines + "SD,1\r\n", true, {}},
      {"a record far on, LF line ends", lf_junk + "SD,1\n", true, {}},
      {"a record as the last line without a line end", junk_lines + "  SD", true, {}},
      // A LF is a line end only in a file without a CR before its end.
      {"a lone LF beside a CR far on", lf_junk + "SD,1\n\r", false, {no_record}},
      {"a lone LF beside a CR", "x\nSD,1\r\n", false, {no_record}},
      {"a CR behind the 0x1A", "x\nSD,1\n\x1A\r", true, {}},
      {"a record behind the 0x1A", "x\r\n\x1ASD,1\r\n", false, {no_record}},
      {"a lower-case tag", "sd,1\r\nSD1,2\r\nS D,3\r\n", false, {no_record}},
      {"empty", "", false, {no_record, " it is empty"}},
      {"only 0x1A", "\x1A", false, {no_record, " it is empty"}},
      {"only 0x1A and more",
       "\x1A"
       "SD,1\r\n",
       false,
       {no_record, " it is empty"}},
      {"only a byte-order mark", "\xEF\xBB\xBF", false, {no_record, " it is empty"}},
      {"UTF-16 with its mark",
       "\xFF\xFE" + utf16("SH3,,,,,,,,a\r\nSD,1\r\n"),
       false,
       {no_record, " it is UTF-16 text: save it as ANSI or UTF-8"}},
      {"UTF-16 without a mark",
       utf16("SH3,,,,,,,,a\r\nSD,1\r\n"),
       false,
       {no_record, " it is UTF-16 text: save it as ANSI or UTF-8"}},
      {"UTF-16 big-endian",
       "\xFE\xFF" + utf16("SD,1\r\n", false),
       false,
       {no_record, " it is UTF-16 text: save it as ANSI or UTF-8"}},
      {"fields separated by ;", "SH3;;;;;;;;a\r\nSD;1;x\r\n", false, {no_record, " its fields are separated by \";\""}},
      {"; after blanks, far on", junk_lines + "  FH ;1\r\n", false, {no_record, " its fields are separated by \";\""}},
      {"any other text", "Name,Mark\r\nSmith,12\r\n", false, {no_record}},
  };
  tests::ScratchFolder folder;
  for (const Case& c : cases) {
    folder.put("C.GBK", c.bytes);
    const std::string path = (folder.path / "C.GBK").string();
    const CourseFileLook look = look_at_course_file(path, textio::os::NameMatch::exact);
    EXPECT_TRUE(look.looked) << c.what;
    EXPECT_EQ(look.has_record, c.has_record) << c.what;
    EXPECT_EQ(record_as_read(path), c.has_record) << c.what;
    EXPECT_EQ(not_a_course_file("C.GBK", look), c.refusal) << c.what;
  }
}

// The same refusals in a few words, as a summary of many files has room for.
TEST(CourseFileCheck, ARefusalInAFewWords) {
  const struct {
    std::string bytes;
    std::string brief;
  } cases[] = {
      {"", "not a course file: empty"},
      {"\xFF\xFE" + utf16("SD,1\r\n"), "not a course file: UTF-16 text"},
      {"SD;1;x\r\n", "not a course file: fields separated by \";\""},
      {"Name,Mark\r\n", "not a course file: no SH3, FH or SD record"},
      {"SD,1\r\n", ""},
  };
  tests::ScratchFolder folder;
  for (const auto& c : cases) {
    folder.put("C.GBK", c.bytes);
    EXPECT_EQ(refusal_in_brief(look_at_course_file((folder.path / "C.GBK").string(), textio::os::NameMatch::exact)),
              c.brief)
        << c.brief;
  }
  EXPECT_EQ(refusal_in_brief(CourseFileLook{}), "") << "a file not looked at";
}

TEST(CourseFileCheck, WhatCannotBeLookedAtIsLeftToTheReading) {
  tests::ScratchFolder folder;
  const CourseFileLook missing = look_at_course_file((folder.path / "NONE.GBK").string(), textio::os::NameMatch::exact);
  EXPECT_FALSE(missing.looked);
  EXPECT_TRUE(not_a_course_file("NONE.GBK", missing).empty());
}

TEST(CourseFileCheck, Utf16TextIsToldByItsZeroBytes) {
  EXPECT_TRUE(utf16_text("\xFF\xFE"));
  EXPECT_TRUE(utf16_text(utf16("SD,1")));
  EXPECT_TRUE(utf16_text(utf16("SD,1", false)));
  EXPECT_TRUE(utf16_text(utf16("SD") + "\x34\x6c\x00\x4e"));  // half the pairs: Latin letters among others
  EXPECT_FALSE(utf16_text("SD,1,x"));
  EXPECT_FALSE(utf16_text(std::string("S\0", 2)));  // one pair tells nothing
  EXPECT_FALSE(utf16_text(std::string(8, '\0')));
  EXPECT_FALSE(utf16_text(std::string("SD\0\0ab\0\0cdef", 12)));
}

}  // namespace
}  // namespace coursefile
