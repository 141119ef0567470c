#include "output/answer_codes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

// A repeatable stream of numbers below n.
struct Numbers {
  std::uint32_t state;
  std::uint32_t operator()(std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  }
};

// At least `size` bytes of answers, each with its comma: one in `empty_in`
// empty, one in `longer_in` of two bytes, one in `low_in` a byte below
// '#', the others any other byte.
std::string answer_run(Numbers& next, std::size_t size, std::uint32_t empty_in, std::uint32_t longer_in,
                       std::uint32_t low_in) {
  std::string bytes;
  while (bytes.size() < size) {
    if (next(empty_in) == 0) {
      bytes += ',';
    } else if (next(longer_in) == 0) {
      bytes += "ab,";
    } else if (next(low_in) == 0) {
      bytes += next(2) == 0 ? "\r," : " ,";
    } else {
      bytes += static_cast<char>('#' + next(256 - '#'));
      if (bytes.back() == ',') bytes.back() = 'c';
      bytes += ',';
    }
  }
  return bytes;
}

// Runs of answers of one byte, none, two bytes, and now and then a byte
// below '#', in every mix from all one-byte to all empty, each found both
// ways for every count from 1 to 16. The bytes stand in an allocation of
// their exact size, so that a sanitizer build reports a look past them.
TEST(ShortAnswers, FoundAsOneFieldAtATimeFindsThem) {
  Numbers next{19};
  const std::uint32_t empty_in[] = {1000, 20, 8, 5, 3, 2, 1};
  int found_by_each_way[3] = {};  // sixteen one-byte answers, others of sixteen, fewer than sixteen
  for (int round = 0; round < 200000; ++round) {
    std::string bytes = answer_run(next, 32, empty_in[round % std::size(empty_in)], 60, 200);
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

// The answers whose commas stand in a window of 32 bytes, read one field
// at a time from a field start before it; the window starts at a field
// start or one byte after one, as the one pass places it.
struct FieldsOfWindow {
  std::string answers;            // one byte each, empty_answer for an empty one
  std::vector<std::size_t> ends;  // the window's bytes up to and including each comma
  std::vector<bool> short_one;    // at most one byte, none below '#'
};

FieldsOfWindow fields_of_window(const std::string& stream, std::size_t window) {
  FieldsOfWindow found;
  std::size_t start = 0;
  for (std::size_t at = 0; at < window + 32; ++at) {
    if (stream[at] != ',') continue;
    if (at >= window) {
      const std::size_t size = at - start;
      found.answers += size == 1 ? stream[start] : empty_answer;
      found.ends.push_back(at + 1 - window);
      found.short_one.push_back(size == 0 || (size == 1 && static_cast<unsigned char>(stream[start]) >= '#'));
    }
    start = at + 1;
  }
  return found;
}

// Windows of answers of one byte, none, two bytes, and now and then a byte
// below '#', from all one-byte to all empty: the pairs tell the usual
// windows and the windows of short answers exactly as a reading one field
// at a time does, the answers spread from them are those answers in order
// (unless more than four pairs hold two commas), and the first answers of
// a window are taken with the bytes they take, whatever follows them.
TEST(WindowAnswers, ReadAsOneFieldAtATimeReadsThem) {
  Numbers next{23};
  const std::uint32_t empty_in[] = {1000, 50, 20, 5, 3, 2, 1};
  int seen[4] = {};  // usual windows, others of short answers, spread ones, first answers taken
  for (int round = 0; round < 100000; ++round) {
    // One round in four with longer answers and bytes below '#'.
    const std::uint32_t seldom = round % 4 == 0 ? 40 : 1000000;
    const std::string stream = answer_run(next, 80, empty_in[round % std::size(empty_in)], seldom, seldom);
    // Where a field starts.
    std::size_t window = 2 + next(40);
    while (stream[window - 1] != ',') ++window;
    const std::unique_ptr<char[]> exact(new char[stream.size()]);
    std::memcpy(exact.get(), stream.data(), stream.size());
    const char* const at = exact.get() + window;

    const FieldsOfWindow expected = fields_of_window(stream, window);
    const WindowPairs pairs = window_pairs(at, '#');
    const auto first_short = [&expected](std::size_t answers) {
      return std::all_of(expected.short_one.begin(), expected.short_one.begin() + static_cast<long>(answers),
                         [](bool short_one) { return short_one; });
    };
    // Two bytes that are no comma at the end: an answer longer than a byte
    // whose comma is beyond the window.
    const bool all_short =
        first_short(expected.short_one.size()) && !(stream[window + 30] != ',' && stream[window + 31] != ',');
    ASSERT_EQ(!textio::any_set(not_short(pairs)), all_short) << stream.substr(window - 1, 33);
    const WindowAnswers spread = spread_answers(pairs);
    const std::size_t count = expected.answers.size();
    if (all_short) {
      ASSERT_EQ(spread.count, count <= 16 + window_extra_answers ? static_cast<int>(count) : 0) << stream;
      for (std::size_t answer = 0; answer < static_cast<std::size_t>(spread.count); ++answer) {
        const auto lane = static_cast<int>(answer % 16);
        ASSERT_EQ(static_cast<char>(answer < 16 ? spread.first[lane] : spread.second[lane]), expected.answers[answer])
            << stream << " answer " << answer;
      }
      const bool usual = !textio::any_set(not_one_comma_each(pairs));
      ASSERT_EQ(usual, count == 16);
      if (usual) {
        for (std::size_t answer = 0; answer < 16; ++answer) {
          ASSERT_EQ(static_cast<char>(pairs.answers[static_cast<int>(answer)]), expected.answers[answer]);
        }
      }
      ++seen[usual ? 0 : 1];
      seen[2] += count > 16 && spread.count != 0 ? 1 : 0;
    }
    if (spread.count == 0) continue;
    for (int first = 1; first < 32; ++first) {
      const std::size_t size = first_answers_size(pairs, spread, first);
      const auto taken = static_cast<std::size_t>(first);
      const bool short_ones = taken <= count && first_short(taken);
      if (size != 0) {
        ASSERT_TRUE(short_ones) << stream << " first " << first;
        ASSERT_EQ(size, expected.ends[taken - 1]) << stream << " first " << first;
        ++seen[3];
      } else {
        ASSERT_FALSE(short_ones && first <= spread.count) << stream << " first " << first;
      }
    }
  }
  for (const int times : seen) EXPECT_GT(times, 5000);
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
