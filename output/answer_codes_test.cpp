#include "output/answer_codes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output/response_coding.hpp"
#include "output/window_steps.hpp"

namespace output::codes {
namespace {

using output::chosen_window_step;
using output::coded_positions;
using output::window_steps_here;
using output::WindowStep;

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

bool short_answer(std::string_view field) {
  return field.empty() || (field.size() == 1 && static_cast<unsigned char>(field[0]) >= lowest_plain_byte);
}

struct Coded {
  std::size_t at;  // where the field after the last answer coded starts
  std::string codes;
};

// What the window steps must do, one field at a time: from `at`, where a
// field starts, a window of window_width bytes after another while a whole
// one lies before `end` and positions are left, each taking the fields
// whose commas stand in it in turn while they are short answers. A field
// that is no short answer by its bytes in the window (more than one, or
// one below '#') ends the windows.
Coded windows_one_field_at_a_time(std::string_view bytes, std::size_t at, std::size_t to_code, const char* key) {
  Coded coded{at, ""};
  while (bytes.size() - coded.at >= window_width && coded.codes.size() < to_code) {
    const std::size_t window_end = coded.at + window_width;
    while (coded.codes.size() < to_code) {
      const std::size_t comma = std::min(bytes.find(',', coded.at), window_end);
      const std::string_view field = bytes.substr(coded.at, comma - coded.at);
      if (!short_answer(field)) return coded;
      if (comma == window_end) break;
      coded.codes += code_short_answer(field.empty() ? empty_answer : field[0], key[coded.codes.size()]);
      coded.at = comma + 1;
    }
  }
  return coded;
}

// Every window step this processor runs against the reading one field at
// a time, on runs of answers of one byte, none, two bytes, and now and then
// a byte below '#', from all one-byte to all empty: a run starting at any
// field start of them, any number of positions to code, the usual windows
// looked for first or not. The bytes stand in an allocation of their exact
// size, so that a sanitizer build reports a look past them.
TEST(WindowSteps, CodeAsTheReadingOneFieldAtATime) {
  std::string key(coded_positions + codes_room_after, ' ');
  for (std::size_t q = 0; q < key.size(); ++q) key[q] = "ABCDE,xAB"[q % 9];
  for (const WindowStep& step : window_steps_here()) {
    Numbers next{29};
    const std::uint32_t empty_in[] = {1000000, 50, 20, 5, 3, 2, 1};
    int seen[3] = {};  // runs ended by a field that is no short answer, by the positions, by the bytes read
    for (int round = 0; round < 30000; ++round) {
      const std::uint32_t seldom = round % 4 == 0 ? 40 : 1000000;
      const std::string run = answer_run(next, 40 + next(200), empty_in[round % std::size(empty_in)], seldom, seldom);
      std::size_t start = next(8);
      while (start > 0 && run[start - 1] != ',') --start;
      const auto to_code = static_cast<int>(1 + next(round % 2 == 0 ? 120 : 20));
      const std::unique_ptr<char[]> exact(new char[run.size()]);
      std::memcpy(exact.get(), run.data(), run.size());
      std::string out(2 + static_cast<std::size_t>(to_code) + codes_room_after, '*');
      Answers answers{.at = exact.get() + start,
                      .next = out.data() + 2,
                      .one_byte_each = round % 3 != 0,
                      .end = exact.get() + run.size(),
                      .to_code = to_code,
                      .key = key.data()};
      step.code_windows(answers);

      const Coded expected = windows_one_field_at_a_time(run, start, static_cast<std::size_t>(to_code), key.data());
      const std::string where =
          std::string(step.name) + ": " + run.substr(start) + " to code " + std::to_string(to_code);
      ASSERT_EQ(answers.at - exact.get(), static_cast<std::ptrdiff_t>(expected.at)) << where;
      ASSERT_EQ(answers.coded, static_cast<int>(expected.codes.size())) << where;
      ASSERT_EQ(answers.next - out.data(), 2 + answers.coded) << where;
      ASSERT_EQ(out.substr(0, 2 + expected.codes.size()), "**" + expected.codes) << where;
      if (answers.coded > 0) {
        ASSERT_EQ(out.substr(2 + expected.codes.size(), 32), std::string(32, '-')) << where;
      }
      ++seen[answers.coded == to_code ? 1 : run.size() - expected.at < window_width ? 2 : 0];
    }
    for (const int times : seen) EXPECT_GT(times, 1000) << step.name;
  }
}

// The window in answer_codes.hpp, as it is worked through there.
TEST(WindowSteps, CodeTheWorkedExample) {
  const std::string window = "a,,B,c,,d,e,E,,b,a,d,c,,E,A,b,c,d,a,";
  std::string key(coded_positions + codes_room_after, ',');
  for (std::size_t q = 0; q < 20; ++q) key[q] = "ABCDE"[q % 5];
  for (const WindowStep& step : window_steps_here()) {
    std::string out(18 + codes_room_after, '*');
    Answers answers{.at = window.data(),
                    .next = out.data(),
                    .one_byte_each = false,
                    .end = window.data() + window.size(),
                    .to_code = 18,
                    .key = key.data()};
    step.code_windows(answers);
    EXPECT_EQ(answers.at - window.data(), 32) << step.name;
    EXPECT_EQ(answers.coded, 18) << step.name;
    EXPECT_EQ(out.substr(0, 18), ".-23-455-2.4.-....") << step.name;
  }
}

// The steps are told apart by their names; the one chosen is the first,
// unless the environment names another (as ./test does, to take each).
TEST(WindowSteps, TheChosenOneIsTheFirstOrTheOneNamed) {
  const std::vector<WindowStep> steps = window_steps_here();
  ASSERT_FALSE(steps.empty());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    for (std::size_t j = i + 1; j < steps.size(); ++j) EXPECT_NE(steps[i].name, steps[j].name);
  }
  const char* const named = std::getenv("GBK_WINDOW_STEP");
  EXPECT_EQ(chosen_window_step().name, named != nullptr ? std::string_view(named) : steps.front().name)
      << "GBK_WINDOW_STEP names no step this processor runs";
}

// The codes of answers read as short answers: "." keyed (an empty answer to
// an empty key entry among them), "-" empty, the digit of an option letter,
// any other byte as it stands.
TEST(ShortAnswers, CodedAsOneAtATime) {
  const char answers[] = {'a', 'A', 'b', ',', ',', 'e', 'E', 'x', 'f', '1', 'c', ',', 'D', 'd', '~', ','};
  const char key[] = {'A', 'A', 'C', ',', 'B', 'E', 'a', 'x', 'F', 'A', 'C', 'a', 'D', 'E', '~', 'E'};
  const textio::Bytes16 codes = short_answer_codes(textio::load16(answers), textio::load16(key));
  const std::string expected = "..2.-.5.f1.-.4.-";
  for (int lane = 0; lane < 16; ++lane) {
    EXPECT_EQ(static_cast<char>(codes[lane]), expected[static_cast<std::size_t>(lane)]) << lane;
    EXPECT_EQ(code_short_answer(answers[lane], key[lane]), expected[static_cast<std::size_t>(lane)]) << lane;
  }
}

}  // namespace
}  // namespace output::codes
