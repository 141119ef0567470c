#include "output/response_coding.hpp"

#include <gtest/gtest.h>

#include "coursefile/records.hpp"
#include "output/end_of_run.hpp"
#include "tests/support/scratch_folder.hpp"

namespace output {
namespace {

// Codes one student record against a key and a declared question count and
// returns the .dat and .txt lines written for it.
class Coding : public ::testing::Test {
 protected:
  // Splits the record as the reading loop does (fields 1..3) and codes it
  // with code_student; checks that its .txt line holds the codes of the
  // field list.
  std::pair<std::string, std::string> code(std::string_view key_record, int declared, std::string_view record) {
    coursefile::CourseValues values;
    StudentCoding coding;
    textio::SplitLine line;
    textio::split_fields(key_record, 150, line);
    coursefile::take_answer_key(line, values);
    take_key_bytes(values, coding);
    values.declared_questions = static_cast<std::int16_t>(declared);
    textio::ChannelTable channels;
    textio::open_for_output(channels, (folder / "x.dat").string(), coursefile::dat_channel);
    textio::open_for_output(channels, (folder / "x.txt").string(), coursefile::txt_channel);
    textio::split_fields(record, 3, line);
    code_student(record, line, values, coding, channels);
    textio::close(channels, coursefile::dat_channel);
    textio::close(channels, coursefile::txt_channel);
    std::string txt = folder.get("x.txt");

    textio::split_fields(record, 150, line);
    std::string codes;
    append_codes_from_field_list(line, values, coding, codes);
    EXPECT_EQ(codes + "\r\n", txt) << record;
    return {folder.get("x.dat"), txt};
  }
  tests::ScratchFolder folder;
};

TEST_F(Coding, AnswersBecomeResponseCodes) {
  struct Case {
    std::string_view record;
    std::string_view codes;
  };
  const Case cases[] = {
      {"SD,1001,G1,,,,,,a,B,d,E,", ".24."},
      {"SD,1002,G1,,,,,,,C,b,ab,", "-..12"},
      {"SD,1003,G2,,,,,,x,c,b,D,", "x..4"},
      {"SD,1003,G2,,,,,,x,c,b,D,a,", "x..4-"},  // beyond the declared count
      {"SD,1,x,,,,,,a,", "."},                  // fewer answers: nothing added
      {"SD,1,x,,,,,,a b,c,b,e,", "1 2..."},     // a blank inside an answer stays
      {"SD,1,x,,,,,,f,F,*,7,", "fF*7"},
      {"SD,1,x,,,,,,1,c,b,e,", "1..."},  // a digit never matches the letter key
      {"SD,1,x,,,,,, a ,\" c \",b,e,", "...."},
      {"SD,1,x,4,5,6,7", ""},                          // answer count -2: no codes
      {"SD,1001,\"Smith, J\",,,,,,a,B,d,E,", ".24."},  // a quoted comma shifts nothing
      {"SD,1,x,,,,,,\"a,b\",c,b,e,", "1,2..."},
      {"SD,1,x,,,,,,a,c,,e", "..-"},  // answer count 3: no final comma
  };
  for (const Case& c : cases) {
    const auto [dat, txt] = code("SH3,,,,,,,,A,c,B,e,", 4, c.record);
    EXPECT_EQ(txt, std::string(c.codes) + "\r\n") << c.record;
    EXPECT_TRUE(dat.ends_with(",," + std::string(c.codes) + "\r\n")) << dat;
  }
}

TEST_F(Coding, DatLineKeepsFieldThreeAsRead) {
  EXPECT_EQ(code("SH3,,,,,,,,A", 1, "SD,abc, \"Smith, e\" ,,,,,,a,").first, "Smith, e,,.\r\n");
  EXPECT_EQ(code("SH3,,,,,,,,A", 1, "SD,1,2,3,4,5,6,7").first, "2,,\r\n");
}

TEST_F(Coding, EmptyKeyAndEmptyAnswerAgree) {
  EXPECT_EQ(code("SH3,,,,,,,,,B", 2, "SD,1,x,,,,,,,,").second, ".-\r\n");
  EXPECT_EQ(code("SH3", 0, "SD,1,x,,,,,,a,b,").second, "--\r\n");  // no header read yet
}

TEST_F(Coding, QuestionsBeyondTheKeyAndTheFieldList) {
  // 150 declared questions: keys exist for 1..100 only, answers up to field 150.
  std::string record = "SD,1,x,,,,,";
  for (int q = 1; q <= 150; ++q) record += q == 101 ? "," : ",a";
  record += ",";
  std::string key = "SH3,,,,,,,";
  for (int q = 1; q <= 100; ++q) key += ",A";
  std::string expected(100, '.');
  expected += ".";                   // 101: empty answer, empty key
  expected += std::string(41, '1');  // 102..142: a against no key
  expected += std::string(8, '-');   // 143..150: beyond the field list
  EXPECT_EQ(code(key, 150, record).second, expected + "\r\n");
}

TEST(AnsLine, WholeEntryCodedOnlyWhenASingleLetter) {
  struct Case {
    std::string_view entry, line;
  };
  const Case cases[] = {{"A", "1"},   {"B", "2"}, {"C", "3"}, {"D", "4"}, {"E", "5"},
                        {"AB", "AB"}, {"x", "x"}, {"", ""},   {"F", "F"}};
  for (const Case& c : cases) EXPECT_EQ(ans_line(c.entry), c.line);
}

}  // namespace
}  // namespace output
