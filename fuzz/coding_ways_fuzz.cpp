// The two ways of reading student lines must give the same bytes: the one
// pass over plain student lines against the general way, which takes every
// line. Any bytes make a course file, read both ways by the reading loop;
// the .dat and .txt files, the console text and the values kept for the run
// (counts, answer key, the report's tally) must be the same.
//
// To meet plain student lines often, each piece of the input between two
// CR LF that does not start with S or F becomes the answers of a student
// record (behind "SD,1001,G,,,,,," or fields 2 to 8 with blanks, quotes and
// a quoted comma, by the piece's length); pieces that start with S or F
// stay as they are, so answer-key, header and odd records come too. The
// file starts with an answer key (one-byte, empty and longer entries) and a
// header of 40 questions, so that answers are coded unless the input's own
// records say otherwise. An odd first byte puts the file behind a line of
// filler, so that its lines fall across the first boundary of the reader's
// blocks at any place.
#include <cstdint>
#include <string>
#include <string_view>

#include "require.hpp"
#include "scratch_files.hpp"
#include "tests/support/reading_ways.hpp"

namespace {

constexpr std::string_view key_and_header =
    "SH3,,,,,,,,A,b,,C,AB,\",\",d,E,a,B,c,D,e,A,B,C,D,E,a,b,c,d,e,x,A,B,C,D,E,A,B,C,D,E,A,B,C,D,E,A,B,C,\r\n"
    "FH,,,,,,,,40,3\r\n";

constexpr std::string_view fields_before_answers[] = {
    "SD,1001,G,,,,,,", "SD,1002,SMITH J,,,,,,", "SD,1003,\"SMITH, J\",,,,,,", "SD, 1004 ,\" a \"b,4,\"5,5\",6,7,8,"};

std::string course_text(std::string_view input) {
  std::string course = scratch::filler_line(input, key_and_header.size());
  course += key_and_header;
  while (true) {
    const std::size_t end = input.find("\r\n");
    const std::string_view piece = input.substr(0, end);
    if (!piece.starts_with('S') && !piece.starts_with('F')) {
      course += fields_before_answers[piece.size() % std::size(fields_before_answers)];
    }
    course += piece;
    if (end == std::string_view::npos) return course;
    course += "\r\n";
    input.remove_prefix(end + 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tests::BothWays both =
      tests::read_both_ways(scratch::folder(), course_text({reinterpret_cast<const char*>(data), size}));
  const std::string difference = tests::difference(both.one_pass, both.general);
  require(difference.empty(), difference.c_str());
  return 0;
}
