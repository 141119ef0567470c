// How answers become their response codes, one at a time or sixteen at a
// time: the steps both ways of coding a student record share (the field
// list way in response_coding.cpp, the one pass over a plain line in
// plain_student_lines.cpp). Inline: they run for every answer of every
// student.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "textio/byte_vectors.hpp"

namespace output::codes {

// Each byte's upper-case reading (a..e only) and its code when not keyed,
// looked up rather than branched on: whether an answer is keyed is as good as
// random, and a mispredicted branch per answer would cost more than the rest
// of its coding.
struct ByteTables {
  std::array<char, 256> upper{};
  std::array<char, 256> digit{};
};

constexpr ByteTables make_byte_tables() {
  ByteTables tables;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char upper = c >= 'a' && c <= 'e' ? static_cast<char>(c - 'a' + 'A') : c;
    tables.upper[static_cast<std::size_t>(b)] = upper;
    tables.digit[static_cast<std::size_t>(b)] = upper >= 'A' && upper <= 'E' ? static_cast<char>(upper - 'A' + '1') : c;
  }
  return tables;
}

inline constexpr ByteTables byte_tables = make_byte_tables();

inline char upper_option(char c) { return byte_tables.upper[static_cast<unsigned char>(c)]; }
inline char option_digit(char c) { return byte_tables.digit[static_cast<unsigned char>(c)]; }

inline char* put_option_digits(char* out, std::string_view answer) {
  for (char c : answer) *out++ = option_digit(c);
  return out;
}

// A one-byte answer against a one-byte key entry: "." or its digit, chosen
// by arithmetic rather than a branch, so nothing hangs on the answer.
inline char* code_one_byte(char answer, char key, bool& keyed, char* out) {
  keyed = upper_option(answer) == key;
  const char digit = option_digit(answer);
  const char keyed_mask = static_cast<char>(-static_cast<int>(keyed));
  *out = static_cast<char>(digit ^ ((digit ^ '.') & keyed_mask));
  return out + 1;
}

// A longer answer, or a key entry that is not one byte: compared byte by
// byte as if a..e were upper case. The codes in `codes` end at `out`; they
// grow to make room for this answer's code and `positions_after` one-byte
// codes behind it. Returns the end of this answer's code.
char* code_longer_answer(std::string_view answer, std::string_view key, bool& keyed, char* out, std::string& codes,
                         std::size_t positions_after);

// Codes the sixteen answers of one byte each that a line holds as the 32
// bytes "x,x,...,x," at `at` (answers at even offsets, commas at odd ones)
// against key bytes [key, key + 16), into out[0..15]. False, with nothing
// written, when the bytes there are not sixteen such answers, or when one of
// them is below `lowest_answer` (a way that takes every other byte may pass
// 0).
[[gnu::always_inline]] inline bool code_sixteen(const char* at, const char* key, char* out,
                                                unsigned char lowest_answer) {
  using textio::Bytes16;
  using textio::equal16;
  using textio::every16;
  const Bytes16 first = textio::load16(at);
  const Bytes16 second = textio::load16(at + 16);
  constexpr Bytes16 commas_at_odd = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF};
  const Bytes16 answers =
      __builtin_shufflevector(first, second, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  const Bytes16 out_of_place = (equal16(first, every16(',')) ^ commas_at_odd) |
                               (equal16(second, every16(',')) ^ commas_at_odd) |
                               textio::below16(answers, every16(lowest_answer));
  if (textio::any_set(out_of_place)) return false;

  // The byte tables above, computed. Setting the 0x20 bit makes A..E into
  // a..e and no other byte into one of them.
  const Bytes16 option = textio::below16((answers | every16(0x20)) - every16('a'), every16(5));
  const Bytes16 read_as = answers & ~(option & every16(0x20));  // a..e as A..E
  const Bytes16 digits = read_as - (option & every16('A' - '1'));
  const Bytes16 keyed = equal16(read_as, textio::load16(key));
  textio::store16(out, (keyed & every16('.')) | (~keyed & digits));
  return true;
}

}  // namespace output::codes
