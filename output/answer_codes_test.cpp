#include "output/answer_codes.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace output::codes {
namespace {

// What find_short_answers must find, one field at a time: `count` answers
// of at most one byte, each followed by its comma, within the 32 bytes at
// the start of `bytes`, none below '#'.
ShortAnswers answers_one_by_one(const std::string& bytes, int count) {
  ShortAnswers found;
  char answers[16];
  std::memset(answers, empty_answer, sizeof answers);
  std::size_t at = 0;
  for (int answer = 0; answer < count; ++answer) {
    const std::size_t comma = bytes.find(',', at);
    if (comma == std::string::npos || comma - at > 1 || comma >= 32) return found;
    if (comma - at == 1) {
      if (static_cast<unsigned char>(bytes[at]) < '#') return found;
      answers[answer] = bytes[at];
    }
    at = comma + 1;
  }
  found.bytes = textio::load16(answers);
  found.size = at;
  return found;
}

// Runs of answers of one byte, none, two bytes, and now and then a byte
// below '#', in every mix from all one-byte to all empty, each found both
// ways for every count from 1 to 16. The bytes stand in an allocation of
// their exact size, so that a sanitizer build reports a look past them.
TEST(ShortAnswers, FoundAsOneFieldAtATimeFindsThem) {
  std::uint32_t state = 19;
  const auto next = [&state](std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  const std::uint32_t empty_in[] = {1000, 20, 8, 5, 3, 2, 1};
  int found_by_each_way[3] = {};  // sixteen one-byte answers, others of sixteen, fewer than sixteen
  for (int round = 0; round < 200000; ++round) {
    std::string bytes;
    const std::uint32_t empties = empty_in[round % std::size(empty_in)];
    while (bytes.size() < 32) {
      if (next(empties) == 0) {
        bytes += ',';
      } else if (next(60) == 0) {
        bytes += "ab,";
      } else if (next(200) == 0) {
        bytes += next(2) == 0 ? "\r," : " ,";
      } else {
        bytes += static_cast<char>('#' + next(256 - '#'));
        if (bytes.back() == ',') bytes.back() = 'c';
        bytes += ',';
      }
    }
    bytes.resize(32);
    const std::unique_ptr<char[]> exact(new char[32]);
    std::memcpy(exact.get(), bytes.data(), 32);
    const int count = round % 3 == 0 ? static_cast<int>(1 + next(16)) : 16;
    const ShortAnswers expected = answers_one_by_one(bytes, count);
    const ShortAnswers found = find_short_answers(exact.get(), count, '#');
    ASSERT_EQ(found.size, expected.size) << bytes << " count " << count;
    if (expected.size == 0) continue;
    for (int answer = 0; answer < count; ++answer) {
      ASSERT_EQ(found.bytes[answer], expected.bytes[answer]) << bytes << " count " << count << " answer " << answer;
    }
    ++found_by_each_way[count < 16 ? 2 : (expected.size == 32 ? 0 : 1)];
  }
  for (const int found : found_by_each_way) EXPECT_GT(found, 5000);
}

// The codes of answers read as short answers: "." keyed (an empty answer to
// an empty key entry among them), "-" empty, the digit of an option letter,
// any other byte as it stands.
TEST(ShortAnswers, CodedAsOneAtATime) {
  const char answers[] = {'a', 'A', 'b', ',', ',', 'e', 'E', 'x', 'f', '1', 'c', ',', 'D', 'd', '~', ','};
  const char key[] = {'A', 'A', 'C', ',', 'B', 'E', 'a', 'x', 'F', 'A', 'C', 'a', 'D', 'E', '~', 'E'};
  const textio::Bytes16 codes = short_answer_codes(textio::load16(answers), key);
  const std::string expected = "..2.-.5.f1.-.4.-";
  for (int lane = 0; lane < 16; ++lane) {
    EXPECT_EQ(static_cast<char>(codes[lane]), expected[static_cast<std::size_t>(lane)]) << lane;
    EXPECT_EQ(code_short_answer(answers[lane], key[lane]), expected[static_cast<std::size_t>(lane)]) << lane;
  }
}

}  // namespace
}  // namespace output::codes
