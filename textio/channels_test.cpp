#include "textio/channels.hpp"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/scratch_folder.hpp"

namespace textio {
namespace {

namespace fs = std::filesystem;

class ChannelsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (std::int16_t n = 0; n < 10; ++n) close(table, n);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void put(const std::string& name, const std::string& bytes) const { dir.put(name, bytes); }
  std::string get(const std::string& name) const { return dir.get(name); }
  std::vector<std::string> all_lines(const std::string& name) {
    open_for_input(table, path(name), 1);
    std::vector<std::string> lines;
    while (!at_end(table, 1)) lines.emplace_back(read_line(table, 1));
    close(table, 1);
    return lines;
  }

  tests::ScratchFolder dir;
  ChannelTable table;
};

using Lines = std::vector<std::string>;

TEST_F(ChannelsTest, ReadsLinesByTheLineRule) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},        // no extra empty line at the end
      {"a\r\nb", {"a", "b"}},            // the last line needs no line end
      {"a\nb\r\nc\n", {"a\nb", "c\n"}},  // with a CR in the file, a lone LF is text
      {"a\r\n\nb\r", {"a", "\nb"}},      // CR LF LF: the second LF starts a line
      // No CR before the end of the file (or its 0x1A): each LF is read as CR LF.
      {"a\nb\nc\n", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\nb\x1A"
       "c\r\n",
       {"a", "b"}},
      {"a\x1A"
       "b\nc",
       {"a"}},  // a LF only behind the 0x1A
      {"abc", {"abc"}},
      {"a\rb\r\r\nc", {"a", "b", "", "c"}},
      {"a\r\nb\x1A"
       "c\r\nd\r\n",
       {"a", "b"}},  // 0x1A ends the file
      {"\x1A"
       "abc",
       {}},
      {"", {}},
      {std::string("a\0b\tc", 5), {std::string("a\0b\tc", 5)}},
  };
  for (const Case& c : cases) {
    put("in.gbk", c.bytes);
    EXPECT_EQ(all_lines("in.gbk"), c.lines);
  }
  EXPECT_TRUE(table.failures.empty());
}

// A UTF-8 byte-order mark at the very start is passed over: the file reads
// as without it, its line end decided alike; anywhere else, or any other
// mark, the bytes are text.
TEST_F(ChannelsTest, ByteOrderMarkAtTheStartIsNotRead) {
  struct Case {
    std::string bytes;
    Lines lines;
    bool skipped;
  };
  const std::string mark(utf8_byte_order_mark);
  const Case cases[] = {
      {mark + "SH3,a\r\nSD,1\r\n", {"SH3,a", "SD,1"}, true},
      {mark + "SH3,a\nSD,1\n", {"SH3,a", "SD,1"}, true},  // still a file of LF line ends
      {mark + "\r\nx", {"", "x"}, true},
      {mark, {}, true},
      {mark + "\x1A", {}, true},
      {mark + mark + "x", {mark + "x"}, true},  // only one
      {"x\r\n" + mark, {"x", mark}, false},
      {"\xEF\xBB", {"\xEF\xBB"}, false},
      {"\xFF\xFEx", {"\xFF\xFEx"}, false},  // UTF-16's is no mark here
  };
  for (const Case& c : cases) {
    put("in.gbk", c.bytes);
    EXPECT_EQ(all_lines("in.gbk"), c.lines) << c.bytes;
    open_for_input(table, path("in.gbk"), 1);
    EXPECT_EQ(byte_order_mark_skipped(table, 1), c.skipped) << c.bytes;
    EXPECT_EQ(read_ahead(table, 1), c.bytes.substr(c.skipped ? mark.size() : 0)) << c.bytes;
    close(table, 1);
  }
  EXPECT_TRUE(table.failures.empty());
}

TEST_F(ChannelsTest, LineEndSplitAcrossReadBlocks) {
  const std::string first(block_size - 1, 'x');  // the CR is the last byte of a block
  const std::string second(200 * 1024, 'y');     // a line longer than any block
  put("in.gbk", first + "\r\n" + second + "\r\nz");
  EXPECT_EQ(all_lines("in.gbk"), (Lines{first, second, "z"}));
}

// Whether a file has a CR is decided when it is opened, from as much of it
// as that takes, without moving the reading on: a CR far behind the first
// block still keeps a LF in its line, and a file of LF line ends is read
// line by line across every block.
TEST_F(ChannelsTest, LineFeedsEndLinesOnlyInAFileWithoutCarriageReturns) {
  const std::string long_line(3 * block_size, 'x');
  put("in.gbk", "a\nb\n" + long_line + "\r\nc\n");
  EXPECT_EQ(all_lines("in.gbk"), (Lines{"a\nb\n" + long_line, "c\n"}));

  Lines lines;
  std::string bytes;
  for (int n = 0; bytes.size() < 3 * block_size; ++n) {
    lines.push_back(std::string(static_cast<std::size_t>(n % 500), static_cast<char>('A' + n % 26)));
    bytes += lines.back() + "\n";
  }
  put("in.gbk", bytes);
  open_for_input(table, path("in.gbk"), 1);
  EXPECT_EQ(line_end_byte(table, 1), '\n');
  close(table, 1);
  EXPECT_EQ(all_lines("in.gbk"), lines);
  put("in.gbk", bytes + "\x1A\r\n");  // a CR behind the 0x1A is never read
  EXPECT_EQ(all_lines("in.gbk"), lines);
  put("in.gbk", bytes + "\r");
  open_for_input(table, path("in.gbk"), 1);
  EXPECT_EQ(line_end_byte(table, 1), '\r');
  close(table, 1);
  EXPECT_TRUE(table.failures.empty());
}

// A reader that takes whole lines from the read-ahead itself and then
// reads on line by line meets the same lines: the read-ahead starts after
// the LF of the last CR LF, even when that LF comes with the next block.
TEST_F(ChannelsTest, ReadAheadIsTheUnreadTextInPlace) {
  const std::string first(block_size - 1, 'x');  // its CR ends the first block
  put("in.gbk", "a\r\nb,c\r\nd\r\n" + first +
                    "\r\ntail\r\n\x1A"
                    "after");
  open_for_input(table, path("in.gbk"), 1);
  EXPECT_EQ(read_line(table, 1), "a");
  EXPECT_TRUE(read_ahead(table, 1).starts_with("b,c\r\nd\r\n"));
  skip_read(table, 1, 5);  // "b,c" and its line end, taken by the reader
  EXPECT_EQ(read_line(table, 1), "d");
  EXPECT_EQ(read_line(table, 1), first);
  EXPECT_TRUE(read_ahead(table, 1).starts_with("tail\r\n"));
  EXPECT_EQ(read_line(table, 1), "tail");
  EXPECT_TRUE(at_end(table, 1));
  EXPECT_EQ(read_ahead(table, 1),
            "\x1A"
            "after");        // what comes after the end is not read as lines
  skip_read(table, 1, 100);  // never past what was read ahead
  EXPECT_EQ(read_ahead(table, 1), "");
  EXPECT_TRUE(table.failures.empty());
}

// A reader that finds a line cut by the end of the read-ahead reads
// further: the line's start stays unread and the read-ahead now holds all
// of it, also a line longer than a block; at the end of the file nothing
// more comes.
TEST_F(ChannelsTest, ReadingFurtherKeepsTheUnreadBytes) {
  const std::string first(block_size - 10, 'x');
  const std::string long_line(3 * block_size, 'y');
  put("in.gbk", first + "\r\n" + "cut,line\r\n" + long_line + "\r\nz");
  open_for_input(table, path("in.gbk"), 1);
  EXPECT_EQ(read_line(table, 1), first);
  EXPECT_EQ(read_ahead(table, 1), "cut,line");  // the rest of the first block
  ASSERT_TRUE(read_further(table, 1));
  EXPECT_TRUE(read_ahead(table, 1).starts_with("cut,line\r\nyyy"));
  skip_read(table, 1, 10);
  while (read_ahead(table, 1).find('\r') == std::string_view::npos) ASSERT_TRUE(read_further(table, 1));
  EXPECT_TRUE(read_ahead(table, 1).starts_with(long_line + "\r\nz"));
  EXPECT_FALSE(read_further(table, 1));
  EXPECT_EQ(read_line(table, 1), long_line);
  EXPECT_EQ(read_line(table, 1), "z");
  EXPECT_TRUE(at_end(table, 1));
  EXPECT_TRUE(table.failures.empty());
}

TEST_F(ChannelsTest, ReadingPastTheEndGivesEmptyTextAndError62) {
  put("in.gbk", "only\r\n");
  open_for_input(table, path("in.gbk"), 1);
  EXPECT_EQ(read_line(table, 1), "only");
  EXPECT_TRUE(at_end(table, 1));
  EXPECT_EQ(read_line(table, 1), "");
  EXPECT_EQ(table.error, 62);
}

TEST_F(ChannelsTest, WritesPiecesAndLineEndsExactly) {
  open_for_output(table, path("out.dat"), 2);
  write_text(table, 2, "1001,");
  write_text(table, 2, "");
  write_text(table, 2, "G1");
  end_line(table, 2);
  end_line(table, 2);
  close(table, 2);
  EXPECT_EQ(get("out.dat"), "1001,G1\r\n\r\n");
}

TEST_F(ChannelsTest, OpeningForOutputEmptiesAnExistingFile) {
  put("out.dat", "old content that is longer");
  open_for_output(table, path("out.dat"), 2);
  EXPECT_EQ(get("out.dat"), "");
  write_text(table, 2, "new");
  close(table, 2);
  EXPECT_EQ(get("out.dat"), "new");
}

TEST_F(ChannelsTest, FlushMakesEveryWrittenByteVisible) {
  open_for_output(table, path("out.txt"), 5);
  write_text(table, 5, ".24.");
  end_line(table, 5);
  flush_all(table);
  EXPECT_EQ(get("out.txt"), ".24.\r\n");
}

// A writer that appends to a channel's pending text in place writes like
// write_text: in order with the other pieces, a due block written out to
// the file at end_append, the rest at a flush; no text for a channel that is
// not open for output.
TEST_F(ChannelsTest, TextAppendedInPlaceIsWrittenLikeAnyPiece) {
  put("in.gbk", "SD\r\n");
  open_for_input(table, path("in.gbk"), 1);
  open_for_output(table, path("out.dat"), 2);
  EXPECT_EQ(pending_text(table, 1), nullptr);
  EXPECT_EQ(pending_text(table, 3), nullptr);

  write_text(table, 2, "1001,");
  std::string* pending = pending_text(table, 2);
  ASSERT_NE(pending, nullptr);
  pending->append("G1,,.24.\r\n");
  end_append(table, 2);
  write_text(table, 2, "1002,");
  flush_all(table);
  EXPECT_EQ(get("out.dat"), "1001,G1,,.24.\r\n1002,");

  const std::string block(block_size, 'x');
  pending_text(table, 2)->append(block);
  end_append(table, 2);
  const std::string written = "1001,G1,,.24.\r\n1002," + block;
  EXPECT_EQ(get("out.dat"), written.substr(0, block_size)) << "a block goes on to the file, up to its end in the file";
  flush_all(table);
  EXPECT_EQ(get("out.dat"), written);
}

TEST_F(ChannelsTest, AFileHeldByAnotherOpenerIsNeitherEmptiedNorTouched) {
  put("held.dat", "precious");
  const int fd = ::open(path("held.dat").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  open_for_output(table, path("held.dat"), 2);
  write_text(table, 2, "x");
  ::close(fd);
  EXPECT_EQ(table.error, 52);  // the write found no open channel
  ASSERT_EQ(table.failures.size(), 1u);
  EXPECT_EQ(table.failures[0].file_name, path("held.dat"));
  EXPECT_EQ(table.failures[0].what, "could not be opened");
  EXPECT_FALSE(table.failures[0].reason.empty());
  EXPECT_EQ(get("held.dat"), "precious");
}

TEST_F(ChannelsTest, OpenChannelsLockTheirFilesAgainstOtherOpeners) {
  put("in.gbk", "SD\r\n");
  open_for_output(table, path("out.dat"), 2);
  open_for_input(table, path("in.gbk"), 1);
  for (const char* name : {"out.dat", "in.gbk"}) {
    const int fd = ::open(path(name).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0) << name;
    ::close(fd);
  }
}

TEST_F(ChannelsTest, ErrorNumbersOfRefusedOperations) {
  put("in.gbk", "x");
  open_for_input(table, path("missing.gbk"), 1);
  EXPECT_EQ(table.error, 53);
  open_for_output(table, path("a*.dat"), 2);
  EXPECT_EQ(table.error, 64);
  open_for_output(table, "", 2);
  EXPECT_EQ(table.error, 64);
  open_for_output(table, path("out.dat"), -1);
  EXPECT_EQ(table.error, 52);
  open_for_output(table, path("out.dat"), 2);
  open_for_output(table, path("other.dat"), 2);
  EXPECT_EQ(table.error, 55);
  open_for_input(table, path("in.gbk"), 1);
  write_text(table, 1, "x");
  EXPECT_EQ(table.error, 54);
  EXPECT_EQ(read_line(table, 2), "");
  EXPECT_EQ(table.error, 54);
  EXPECT_FALSE(at_end(table, 2));  // an output channel is never at its end
  EXPECT_TRUE(at_end(table, 7));   // a channel that is not open counts as ended
  EXPECT_EQ(table.error, 53);
  close(table, 4);  // never opened: nothing happens
  // Only the files themselves are on record, not the refused calls.
  EXPECT_EQ(table.failures.size(), 3u);
}

TEST_F(ChannelsTest, NamesFindFilesWhateverTheirCase) {
  fs::create_directory(dir / "Exams");
  put("Exams/EXAM1.GBK", "SH3\r\n");
  put("Exams/exam1.DAT", "old");
  open_for_input(table, path("exams/exam1.gbk"), 1);
  EXPECT_EQ(read_line(table, 1), "SH3");
  open_for_output(table, path("EXAMS/EXAM1.dat"), 2);
  open_for_output(table, path("EXAMS/EXAM1.txt"), 5);
  // Whoever shows the files later needs the names they really have.
  EXPECT_EQ(opened_path(table, 1), path("Exams/EXAM1.GBK"));
  EXPECT_EQ(opened_path(table, 2), path("Exams/exam1.DAT"));
  EXPECT_EQ(opened_path(table, 5), path("Exams/EXAM1.txt"));  // created in the folder as found
  EXPECT_EQ(opened_path(table, 3), "");
  write_text(table, 2, "new");
  close(table, 2);
  EXPECT_EQ(opened_path(table, 2), "");
  EXPECT_EQ(get("Exams/exam1.DAT"), "new");  // rewritten, no second file beside it
  EXPECT_FALSE(fs::exists(dir / "Exams" / "EXAM1.dat"));
}

// An output's own name finds a file of another case only when that file is
// the one such file; of two, neither is taken and the name is created. A
// folder of the path still finds the first such folder.
TEST_F(ChannelsTest, ANameMatchesAFileOfAnotherCaseOnlyWhenItIsTheOneSuchFile) {
  put("EXAM.DAT", "one");
  put("exam.dat", "two");
  put("EXAM.TXT", "only");
  open_for_output(table, path("Exam.dat"), 2);
  open_for_output(table, path("Exam.txt"), 5);
  EXPECT_EQ(opened_path(table, 2), path("Exam.dat"));
  EXPECT_EQ(opened_path(table, 5), path("EXAM.TXT"));
  close(table, 2);
  close(table, 5);
  EXPECT_EQ(get("EXAM.DAT"), "one");
  EXPECT_EQ(get("exam.dat"), "two");
  EXPECT_EQ(get("Exam.dat"), "");
  EXPECT_EQ(get("EXAM.TXT"), "");
  open_for_input(table, path("exam.txt"), 1);
  EXPECT_EQ(opened_path(table, 1), path("EXAM.TXT"));
  close(table, 1);
  fs::create_directory(dir / "Sub");
  fs::create_directory(dir / "sub");
  put("Sub/x.gbk", "in Sub");
  open_for_input(table, path("SUB/X.GBK"), 1);
  EXPECT_EQ(opened_path(table, 1), path("Sub/x.gbk"));
  EXPECT_TRUE(table.failures.empty());
}

TEST_F(ChannelsTest, ExactNamesLeaveFilesThatDifferInCaseAlone) {
  put("EXAM.dat", "other run");
  open_for_output(table, path("exam.dat"), 2, os::NameMatch::exact);
  write_text(table, 2, "new");
  close(table, 2);
  EXPECT_EQ(get("EXAM.dat"), "other run");
  EXPECT_EQ(get("exam.dat"), "new");
  open_for_input(table, path("Exam.dat"), 1, os::NameMatch::exact);
  EXPECT_EQ(opened_path(table, 1), "");  // no file of exactly that name
  ASSERT_EQ(table.failures.size(), 1u);
  EXPECT_EQ(table.failures[0].file_name, path("Exam.dat"));
}

}  // namespace
}  // namespace textio
