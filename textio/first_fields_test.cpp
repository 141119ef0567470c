#include "textio/first_fields.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "textio/channels.hpp"
#include "textio/fields.hpp"
#include "textio/strings.hpp"
#include "tests/support/scratch_folder.hpp"

namespace textio {
namespace {

// Field 1 of each line, trimmed, as the channel and the field rule read it.
std::vector<std::string> first_fields_as_read(const tests::ScratchFolder& folder, const std::string& bytes) {
  folder.put("in.gbk", bytes);
  ChannelTable table;
  open_for_input(table, (folder.path / "in.gbk").string(), 1);
  std::vector<std::string> fields;
  SplitLine split;
  while (!at_end(table, 1)) {
    std::string line(read_line(table, 1));
    std::replace(line.begin(), line.end(), '\t', ',');
    split_fields(line, 1, split);
    fields.emplace_back(trim(field_of(split, 1)));
  }
  close(table, 1);
  return fields;
}

// The same, by the reader, given the bytes in pieces of `piece` as the
// channel decided their line end, up to a 0x1A, after a byte-order mark.
std::vector<std::string> first_fields_taken(std::string_view bytes, char line_end_byte, std::size_t piece) {
  if (bytes.starts_with(utf8_byte_order_mark)) bytes.remove_prefix(utf8_byte_order_mark.size());
  bytes = bytes.substr(0, bytes.find(end_of_file_mark));
  FirstFieldReader reader;
  reader.line_end_byte = line_end_byte;
  std::vector<std::string> fields;
  const auto note = [&fields](const FirstFieldTaken& taken) {
    if (taken.field_ended) fields.push_back(taken.field.longer ? "longer: " + taken.field.text : taken.field.text);
  };
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    std::string_view text = bytes.substr(at, piece);
    while (!text.empty()) {
      const FirstFieldTaken taken = take_first_field(reader, text);
      text.remove_prefix(taken.bytes);
      note(taken);
    }
  }
  note(end_first_fields(reader));
  return fields;
}

// Every line's field 1 comes out as the reading of lines and the field rule
// give it, however the bytes are cut into pieces; a field longer than the
// bytes kept says so.
TEST(FirstFields, AreTheFieldsTheLinesGive) {
  const std::string texts[] = {
      "SH3,a,b\r\nFH,1\r\nSD,2\r\n",
      "SH3,a\nFH,1\nSD,2",  // LF line ends
      "  SD  ,x\r\n\"SD\",x\r\n\" SD \"yz,x\r\n\"S,D\",x\r\n\"unclosed\r\nS D,x\r\n",
      "SD\tx\r\nSD\r\n\r\n   \r\n,SD\r\n",
      "a\r\n\nSD,x\r\nb\r\r\nc",  // CR LF LF: the second LF starts a line
      "a\nb\r\nc\n",              // a lone LF is text beside a CR
      "x\r\nSD\x1A\r\nFH\r\n",    // 0x1A ends the file
      "\xEF\xBB\xBFSH3,a\r\n",
      "SD;1;x\r\n  SH3 ;x\r\n\"SD;1\"\r\n",
      std::string(40, ' ') + "SD" + std::string(40, ' ') + ",x\r\nab cd ef gh ij k\r\n",
      "\"\",\r\n\"\r\n",
  };
  tests::ScratchFolder folder;
  for (const std::string& text : texts) {
    ChannelTable table;
    folder.put("in.gbk", text);
    open_for_input(table, (folder.path / "in.gbk").string(), 1);
    const char line_end_byte = textio::line_end_byte(table, 1);
    close(table, 1);
    const std::vector<std::string> expected = first_fields_as_read(folder, text);
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, text.size()}) {
      EXPECT_EQ(first_fields_taken(text, line_end_byte, piece), expected) << text << " in pieces of " << piece;
    }
  }
}

TEST(FirstFields, KeepTheirFirstBytesAndSayWhenLonger) {
  EXPECT_EQ(first_fields_taken("SD;1001;Smith;;;;;;a;b;c\r\n", '\r', 5),
            std::vector<std::string>{"longer: SD;1001;Smith;;;"});
  EXPECT_EQ(first_fields_taken("0123456789abcdef  ,x\r\n0123456789abcdef g\r\n", '\r', 4),
            (std::vector<std::string>{"0123456789abcdef", "longer: 0123456789abcdef"}));
}

}  // namespace
}  // namespace textio
