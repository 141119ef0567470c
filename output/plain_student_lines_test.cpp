#include "output/plain_student_lines.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "coursefile/records.hpp"
#include "tests/support/scratch_folder.hpp"

namespace output {
namespace {

// The read-ahead of a course file under the key A, B, C, D and a header of
// four questions; the record before expected four answers.
class PlainStudentLines : public ::testing::Test {
 protected:
  void SetUp() override {
    textio::SplitLine key;
    textio::split_fields("SH3,,,,,,,,A,B,C,D", 150, key);
    coursefile::take_answer_key(key, values);
    take_key_bytes(values, coding);
    values.declared_questions = 4;
    values.current_questions = 4;
    textio::open_for_output(channels, (folder / "x.dat").string(), coursefile::dat_channel);
    textio::open_for_output(channels, (folder / "x.txt").string(), coursefile::txt_channel);
  }
  void TearDown() override {
    textio::close(channels, coursefile::dat_channel);  // closing twice does nothing
    textio::close(channels, coursefile::txt_channel);
  }
  // The bytes in an allocation of their exact size, so that a sanitizer
  // build reports any look past their end.
  PlainLinesTaken convert(std::string_view bytes) {
    const std::unique_ptr<char[]> exact(new char[bytes.size()]);
    std::memcpy(exact.get(), bytes.data(), bytes.size());
    return convert_plain_student_lines({exact.get(), bytes.size()}, values, coding, channels);
  }
  std::string dat() { return *textio::pending_text(channels, coursefile::dat_channel); }
  std::string txt() { return *textio::pending_text(channels, coursefile::txt_channel); }

  tests::ScratchFolder folder;
  coursefile::CourseValues values;
  StudentCoding coding;
  textio::ChannelTable channels;
};

TEST_F(PlainStudentLines, ConvertsLinesUpToTheFirstThatIsNotPlain) {
  const std::string ahead =
      "SD,1001,G1,,,,,,a,B,d,E,\r\n"  // CR LF
      "SD,1002,G2,x,y,,,,,c,ab,f,\r"  // a CR alone ends a line too
      "SD,1003,\"SMITH, J\",,,,,,,,d,,\r\n"
      "SD,1004,G1,,,,,, a,b,c,d,\r\n";
  const PlainLinesTaken taken = convert(ahead);
  EXPECT_EQ(taken.bytes, ahead.find("SD,1004"));
  EXPECT_FALSE(taken.line_cut);
  EXPECT_EQ(dat(), "1001,G1,,..45\r\n1002,G2,,-312f\r\n1003,SMITH, J,,--4-\r\n");
  EXPECT_EQ(txt(), "..45\r\n-312f\r\n--4-\r\n");
  EXPECT_EQ(values.student_count, 3);
  EXPECT_EQ(values.tally.student_records, 3u);
  EXPECT_EQ(values.tally.lines_read, 3u);
  EXPECT_EQ(values.last_answer_count, 4);
}

// Fields 2 to 8 by the field rule: blanks before a field skipped, an
// unquoted field trimmed, a quoted one taken between its quotes (a comma
// inside separates nothing, what follows the closing quote is ignored),
// within the first 64 bytes or beyond them.
TEST_F(PlainStudentLines, TakesTheFieldsBeforeTheAnswersByTheFieldRule) {
  const std::string long_name(70, 'N');
  struct Case {
    std::string line, dat;
  };
  const Case cases[] = {
      {"SD,1001,SMITH J,,,,,,a,B,d,E,", "1001,SMITH J,,..45"},
      {"SD,1002,\"SMITH, J\",,,,,,a,B,d,E,", "1002,SMITH, J,,..45"},
      {"SD, 1003 ,  Smith  J ,,,,,,a,B,d,E,", "1003,Smith  J,,..45"},
      {"SD,\"  1004 \",x,,,,,,a,B,d,E,", "  1004 ,x,,..45"},  // the quotes keep the blanks
      {"SD,\"1005\"junk,\"a\"\"b\",,,,,,a,B,d,E,", "1005,a,,..45"},
      {"SD,1006,x,\"4,4\",5,\" 6, 6 \",7,\"8\",a,B,d,E,", "1006,x,,..45"},
      {"SD,1007,x,!,,,,,a,B,d,E,", "1007,x,,..45"},
      {"SD,,,,,,,,a,B,d,E,", ",,,..45"},
      {"SD,1008," + long_name + ",,,,,,a,B,d,E,", "1008," + long_name + ",,..45"},
      {"SD,1009,\"" + long_name + ", J\",,,,,,a,B,d,E,", "1009," + long_name + ", J,,..45"},
      {"SD,1010,x,,,,," + long_name + ",a,B,d,E,", "1010,x,,..45"},
      // Quotes around whole fields, and quotes the field rule reads otherwise.
      {"SD,\"1011\",\"A, B\",,,,,,a,B,d,E,", "1011,A, B,,..45"},
      {"SD, 1012 ,\" x \",,,,,,a,B,d,E,", "1012, x ,,..45"},  // trimmed outside quotes only
      {"SD,1013,\"\",\"\",,,,,a,B,d,E,", "1013,,,..45"},
      {"SD,1014, \"SMITH, J\",,,,,,a,B,d,E,", "1014,SMITH, J,,..45"},  // blanks before the quote
      {"SD,1015,\"SMITH, J\" ,,,,,,a,B,d,E,", "1015,SMITH, J,,..45"},  // and after it
      {"SD,1016,ab\"c,d\",,,,,a,B,d,E,", "1016,ab\"c,,..45"},          // a quote inside a field is a byte
      {"SD,1017,x,,,,\",\",,a,B,d,E,", "1017,x,,..45"},
  };
  std::string expected;
  for (const Case& c : cases) {
    const std::string line = c.line + "\r\n";
    EXPECT_EQ(convert(line).bytes, line.size()) << c.line;
    expected += c.dat + "\r\n";
  }
  EXPECT_EQ(dat(), expected);
}

// Each of these lines needs the general way: it is left to it, with nothing
// written or counted.
TEST_F(PlainStudentLines, LeavesEveryOtherLineToTheGeneralWay) {
  const std::string lines[] = {
      "SD,1,x,,,,,,a,b,c,\r\n",                // three answers where four are expected: a warning
      "SD,1,x,,,,,,a,b,c,d,e,\r\n",            // five
      "SD,1111111,x,,,,,,a,b,c,d,\r\n",        // a version student number
      "SD,\" 2222222 \",x,,,,,,a,b,c,d,\r\n",  // ... trimmed
      "SD,1,x,,,,,a,b,c,d\r\n",                // four answers but only seven fields before them
      "SD,1,2\r\n",                            // a negative answer count
      "SD\r\n",
      "SD,1,x,,,,,,a,b,c,d,\x1A\r\n",  // 0x1A ends the file
      "SD,1,x,,,,,,a,b,c,d,\n\r\n",    // a line feed is text
      "SD,1,x,,,,,,a,b\tc,d,\r\n",     // a tab is a comma
      "SD\t1,x,,,,,,a,b,c,d,\r\n",
      "SD,1,x\ty,,,,,a,b,c,d,\r\n",
      "SD,1,x\ny,,,,,,a,b,c,d,\r\n",  // control bytes before the answers
      "SD,1,x\x01y,,,,,,a,b,c,d,\r\n",
      "SD,1,\"x\ty\",,,,,,a,b,c,d,\r\n",
      "SD,1,\"x,,,,,,a,b,c,d,\r\n",  // a quote that no quote closes before the line end
      "SD,1,x,,,,,,a, b,c,d,\r\n",   // a blank among the answers is trimmed
      "SD,1,x,,,,,,a,b,c,d, \r\n",
      "SD,1,x,,,,,,a,\"b\",c,d,\r\n",  // a quoted answer
      "SD,1,x,,,,,,a,!,c,d,\r\n",      // '!' and the control bytes are taken as unusual
      std::string("SD,1,x,,,,,,a,\0,c,d,\r\n", 22),
      "SH3,,,,,,,,a,b,c,d,\r\n",
      "FH,,,,,,,,4,1\r\n",
      " SD,1,x,,,,,,a,b,c,d,\r\n",
      "\"SD\",1,x,,,,,,a,b,c,d,\r\n",
      "sd,1,x,,,,,,a,b,c,d,\r\n",
      "SD1,1,x,,,,,,a,b,c,d,\r\n",
      "\r\n",
  };
  for (const std::string& line : lines) {
    const PlainLinesTaken taken = convert(line);
    EXPECT_EQ(taken.bytes, 0u) << line;
    EXPECT_FALSE(taken.line_cut) << line;
  }
  EXPECT_EQ(dat(), "");
  EXPECT_EQ(txt(), "");
  EXPECT_EQ(values.student_count, 0);
  EXPECT_EQ(values.current_questions, 4);
  EXPECT_EQ(values.tally.lines_read, 0u);
}

// A plain line that the read-ahead cuts anywhere, its LF included, is left
// for when more is read; so are the lines before it converted, and a cut
// line that shows it is not plain before the cut is left to the general way.
TEST_F(PlainStudentLines, ALineCutByTheEndOfTheReadAheadWaitsForMore) {
  const std::string first = "SD,1001,G1,,,,,,a,B,d,E,\r\n";
  const std::string lines[] = {
      "SD,1002,\" SMITH, J\",,,,,,a,,d,E,\r\n",
      "SD,1003,x,,,,,,a,b,c,d,\r\n",
  };
  for (const std::string& line : lines) {
    for (std::size_t cut = 0; cut < line.size(); ++cut) {
      const PlainLinesTaken taken = convert(first + line.substr(0, cut));
      EXPECT_EQ(taken.bytes, first.size()) << cut << " bytes of " << line;
      EXPECT_TRUE(taken.line_cut) << cut << " bytes of " << line;
    }
  }
  const std::string whole = first + lines[0];
  EXPECT_EQ(convert(whole).bytes, whole.size());
  EXPECT_TRUE(convert(whole).line_cut);  // all of the read-ahead taken: more lines may follow
  const PlainLinesTaken not_plain = convert("SD,1003,x,,,,,,a, b,c");
  EXPECT_EQ(not_plain.bytes, 0u);
  EXPECT_FALSE(not_plain.line_cut);
}

// A count beyond 16 bits wraps; the general way alone follows it, even
// when the wrapped count is the one expected.
TEST_F(PlainStudentLines, AnAnswerCountThatWrapsIsLeftToTheGeneralWay) {
  std::string line = "SD,1,x,,,,,";
  for (int q = 0; q < 65536 + 4; ++q) line += ",a";
  line += ",\r\n";
  EXPECT_EQ(convert(line).bytes, 0u);
  EXPECT_EQ(dat(), "");
}

// Positions beyond the declared questions, or all of them while no header
// was read, are "-" whatever their answers; fewer answers give fewer codes.
TEST_F(PlainStudentLines, CodesOnlyTheDeclaredQuestions) {
  values.declared_questions = 2;
  EXPECT_GT(convert("SD,1,x,,,,,,a,b,c,d,\r\n").bytes, 0u);
  values.declared_questions = 0;
  EXPECT_GT(convert("SD,2,x,,,,,,a,b,c,d,\r\n").bytes, 0u);
  values.declared_questions = 4;
  values.current_questions = 2;
  EXPECT_GT(convert("SD,3,x,,,,,,a,b,c\r\n").bytes, 0u);
  EXPECT_EQ(txt(), "..--\r\n----\r\n..\r\n");
  EXPECT_EQ(values.last_answer_count, 2);
}

// The .txt line is the .dat line's codes even with no .dat file open.
TEST_F(PlainStudentLines, WritesTheTxtLineWithoutADatFile) {
  textio::close(channels, coursefile::dat_channel);
  const std::string ahead = "SD,1001,G1,,,,,,a,B,d,E,\r\nSD,1002,G1,,,,,,b,b,b,b,\r\n";
  EXPECT_EQ(convert(ahead).bytes, ahead.size());
  EXPECT_EQ(txt(), "..45\r\n2.22\r\n");
}

// The one pass against the field list, on lines that meet its windows
// of 32 bytes at every offset: runs of one-byte answers broken,
// seldom or often, by empty, longer and other answers; answer counts up to
// beyond field 150; declared counts below, at and beyond them; keys with
// empty and longer entries and a quoted comma; field 3 a code, a name with
// blanks or a quoted name with a comma; now and then a byte that makes the
// line one for the general way.
TEST_F(PlainStudentLines, CodeAsTheFieldListDoes) {
  std::uint32_t state = 2024;
  const auto next = [&state](std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  // Half of the one-byte answers are option letters, the others any byte
  // of a plain field.
  std::string any_byte;
  for (int b = '#'; b < 256; ++b) {
    if (b != ',') any_byte += static_cast<char>(b);
  }
  const std::string_view other[] = {"", "ab", "Ca", "xyz", "AB"};
  const auto entry = [&](std::uint32_t other_in) -> std::string {
    if (next(1000) == 0) return next(2) == 0 ? " " : "!";
    if (next(other_in) == 0) return std::string(other[next(std::size(other))]);
    if (next(2) == 0) return std::string(1, "abcdeABCDE"[next(10)]);
    return std::string(1, any_byte[next(static_cast<std::uint32_t>(any_byte.size()))]);
  };
  const auto key_entry = [&]() -> std::string { return next(50) == 0 ? "\",\"" : entry(8); };
  const std::string field_3[] = {"G1", "SMITH J", " Smith  J ", "\"SMITH, J\"", "\" a, \"b", ""};
  const std::uint32_t other_in[] = {1000000, 40, 8, 2};
  textio::SplitLine all;
  std::string dat_lines;
  std::string txt_lines;
  int converted = 0;
  for (int round = 0; round < 4000; ++round) {
    values = {};
    coding = {};
    std::string key_record = "SH3,,,,,,,";
    for (int q = 1; q <= 100; ++q) (key_record += ',') += key_entry();
    textio::split_fields(key_record, 150, all);
    coursefile::take_answer_key(all, values);
    take_key_bytes(values, coding);

    const int answers = static_cast<int>(next(170));
    std::string record = "SD,1234567," + field_3[next(std::size(field_3))] + ",,,,,";
    const std::size_t answers_begin = record.size();
    // Now and then many empty answers in a row or over the whole line,
    // several pairs of commas in one window of the one pass.
    const std::uint32_t empty_in = round % 3 == 0 ? 1 + next(4) : 1000000;
    for (int q = 1; q <= answers; ++q) {
      record += ',';
      if (next(empty_in) != 0) record += entry(other_in[round % 4]);
    }
    if (next(3) != 0) record += ',';
    const int declared_choices[] = {-2, 0, answers - 1, answers, answers + 1, 100, 142, static_cast<int>(next(160))};
    values.declared_questions = static_cast<std::int16_t>(declared_choices[next(std::size(declared_choices))]);
    textio::split_fields(record, 150, all);
    values.current_questions = coursefile::answer_count(all);

    const std::string line = record + "\r\n";
    const std::size_t taken = convert(line).bytes;
    const bool plain =
        record.find_first_of(" !\"", answers_begin) == std::string::npos && values.current_questions >= 0;
    ASSERT_EQ(taken, plain ? line.size() : 0) << record;
    if (!plain) continue;
    ++converted;
    std::string codes;
    append_codes_from_field_list(all, values, coding, codes);
    dat_lines +=
        std::string(textio::field_of(all, 2)) + "," + std::string(textio::field_of(all, 3)) + ",," + codes + "\r\n";
    txt_lines += codes + "\r\n";
  }
  EXPECT_GT(converted, 3000);
  textio::close(channels, coursefile::dat_channel);
  textio::close(channels, coursefile::txt_channel);
  EXPECT_EQ(folder.get("x.dat"), dat_lines);
  EXPECT_EQ(folder.get("x.txt"), txt_lines);
}

}  // namespace
}  // namespace output
