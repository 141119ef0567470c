// How answers become their response codes, one at a time or sixteen at a
// time: the steps both ways of coding a student record share (the general
// way in response_coding.cpp, the one pass over a plain student line in
// plain_student_lines.cpp). Inline: they run for every answer of every
// student.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "textio/byte_vectors.hpp"

namespace output::codes {

// The one pass reads an answer of at most one byte as that byte, or as
// the comma that ends it when it is empty; a key entry is held as one byte
// (KeyBytes in response_coding.hpp) in the same way, an empty entry as a
// comma, so that an empty answer to an empty entry is keyed.
inline constexpr char empty_answer = ',';

// Each byte's upper-case reading (a..e only), its code when not keyed, and
// its code when not keyed in the one pass's reading (empty_answer: "-"),
// looked up rather than branched on: whether an answer is keyed is as good
// as random, and a mispredicted branch per answer would cost more than the
// rest of its coding.
struct ByteTables {
  std::array<char, 256> upper{};
  std::array<char, 256> digit{};
  std::array<char, 256> short_code{};
};

constexpr ByteTables make_byte_tables() {
  ByteTables tables;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char upper = c >= 'a' && c <= 'e' ? static_cast<char>(c - 'a' + 'A') : c;
    const auto at = static_cast<std::size_t>(b);
    tables.upper[at] = upper;
    tables.digit[at] = upper >= 'A' && upper <= 'E' ? static_cast<char>(upper - 'A' + '1') : c;
    tables.short_code[at] = c == empty_answer ? '-' : tables.digit[at];
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

// "." when keyed, else `unkeyed`: chosen by arithmetic rather than a branch,
// so nothing hangs on the answer.
inline char keyed_or(bool keyed, char unkeyed) {
  const char keyed_mask = static_cast<char>(-static_cast<int>(keyed));
  return static_cast<char>(unkeyed ^ ((unkeyed ^ '.') & keyed_mask));
}

// A one-byte answer against a one-byte key entry: "." or its digit.
inline char* code_one_byte(char answer, char key, bool& keyed, char* out) {
  keyed = upper_option(answer) == key;
  *out = keyed_or(keyed, option_digit(answer));
  return out + 1;
}

// An answer of at most one byte in the one pass's reading (its byte, or
// empty_answer) against a key byte.
inline char code_short_answer(char answer, char key_byte) {
  return keyed_or(upper_option(answer) == key_byte, byte_tables.short_code[static_cast<unsigned char>(answer)]);
}

// A longer answer, or a key entry that is not one byte: compared byte by
// byte as if a..e were upper case. The codes in `codes` end at `out`; they
// grow to make room for this answer's code and `positions_after` one-byte
// codes behind it. Returns the end of this answer's code.
char* code_longer_answer(std::string_view answer, std::string_view key, bool& keyed, char* out, std::string& codes,
                         std::size_t positions_after);

// Up to sixteen answers of at most one byte, each with the comma after it,
// as the one pass finds them in a line: their bytes, one per answer
// (empty_answer for an empty one), and the bytes of the line they take.
struct ShortAnswers {
  textio::Bytes16 bytes;
  std::size_t size = 0;  // 0: no such answers there
};

// 0xFF in the lanes after lane e (0..18).
inline constexpr auto lanes_after = [] {
  std::array<std::array<unsigned char, 16>, 19> masks{};
  for (std::size_t e = 0; e < masks.size(); ++e) {
    for (std::size_t lane = e + 1; lane < 16; ++lane) masks[e][lane] = 0xFF;
  }
  return masks;
}();

inline textio::Bytes16 lanes_after_lane(int e) {
  return textio::load16(reinterpret_cast<const char*>(lanes_after[static_cast<std::size_t>(e)].data()));
}

// The answers found, when the bytes of the line they take hold them: before
// the last comma, no two bytes in a row are both no comma (no answer is
// longer than a byte), and none of the `count` answers is below
// `lowest_answer`. `commas` has one bit per byte of the 32 at the answers.
inline ShortAnswers short_answers_if_so(textio::Bytes16 answers, std::uint32_t commas, int last_comma, int count,
                                        unsigned char lowest_answer) {
  if (last_comma > 31) return ShortAnswers{};
  const std::uint32_t others = ~commas;
  const std::uint32_t before_last_comma = (std::uint32_t{1} << last_comma) - 1;
  const textio::Bytes16 low = textio::below16(answers, textio::every16(lowest_answer)) & ~lanes_after_lane(count - 1);
  if (((commas >> last_comma) & 1) == 0 || ((others & (others >> 1)) & before_last_comma) != 0 ||
      textio::any_set(low)) {
    return ShortAnswers{};
  }
  return {answers, static_cast<std::size_t>(last_comma) + 1};
}

// `count` (1..16) answers of at most one byte that start at `at`, where a
// field starts, each followed by its comma, within the 32 bytes there whose
// commas `commas` marks: any number of them empty, one byte at a time. Each
// answer starts at `at` or after a comma.
inline ShortAnswers gather_short_answers(const char* at, std::uint32_t commas, int count, unsigned char lowest_answer) {
  char bytes[16];
  textio::store16(bytes, textio::every16(empty_answer));
  // The bits above the 32 bytes stand for bytes beyond them, so that every
  // answer gets a start; one there fails the test.
  std::uint64_t starts = std::uint64_t{commas} << 1 | 1 | ~std::uint64_t{0} << 32;  // never 0
  int last = 0;
  for (int answer = 0; answer < count; ++answer) {
    last = std::countr_zero(starts);
    starts &= starts - 1;
    bytes[answer] = at[last & 31];
  }
  const int last_comma = last + (at[last & 31] != empty_answer ? 1 : 0);
  return short_answers_if_so(textio::load16(bytes), commas, last_comma, count, lowest_answer);
}

// Lane j of v moved to lane j + lanes; the lanes below are 0.
template <int lanes>
[[gnu::always_inline]] inline textio::Bytes16 lanes_up(textio::Bytes16 v) {
  return [v]<std::size_t... lane>(std::index_sequence<lane...>) {
    return __builtin_shufflevector(textio::Bytes16{}, v,
                                   (static_cast<int>(lane) < lanes ? 0 : 16 + static_cast<int>(lane) - lanes)...);
  }
  (std::make_index_sequence<16>{});
}

// The lowest bit set, 32 when none is: without a test for none.
inline int lowest_bit(std::uint32_t bits) { return std::countr_zero(std::uint64_t{bits} | std::uint64_t{1} << 32); }

// The most empty answers among sixteen that blend_short_answers takes.
inline constexpr int blended_empty_answers = 6;

// Where there are at most a few empty answers, every answer j stands at
// byte 2j - c of the 32, c being the number of empty answers before it:
// the answers are the bytes at even places (c = 0), and from each empty
// answer on those one byte further back. Empty answer k, whose comma stands
// at p, is answer (p + k) / 2.
template <int k>
[[gnu::always_inline]] inline void blend_after_empty_answer(std::uint32_t& empty_commas, textio::Bytes16 even,
                                                            textio::Bytes16 odd, int last_start,
                                                            textio::Bytes16& answers, int& empty_count) {
  const int comma = lowest_bit(empty_commas);
  empty_commas &= empty_commas - 1;
  // Empty answers before it, and itself, bring the last answer's start one
  // byte nearer each.
  empty_count += comma <= last_start - k ? 1 : 0;
  // The bytes at 2j - k - 1: odd or even ones, moved up.
  const textio::Bytes16 further_back = k % 2 == 0 ? lanes_up<k / 2>(odd) : lanes_up<(k + 1) / 2>(even);
  answers ^= (answers ^ further_back) & lanes_after_lane((comma + k) / 2);
}

struct BlendedAnswers {
  textio::Bytes16 answers;
  int empty_count = 0;
  bool too_many_empty = false;  // more may be empty: the answers are not known
};

// `count` answers as gather_short_answers finds them, without a look at
// one byte at a time, when at most blended_empty_answers of them are empty:
// their bytes, and how many are empty. `even` holds the bytes at even
// places (lane j: byte 2j), `odd` those at odd ones one lane up (lane j:
// byte 2j - 1).
[[gnu::always_inline]] inline BlendedAnswers blend_short_answers(textio::Bytes16 even, textio::Bytes16 odd,
                                                                 std::uint32_t commas, int count) {
  // Commas that stand where an answer starts: those of empty answers.
  std::uint32_t empty_commas = commas & (commas << 1 | 1);
  // Where the last answer starts when none is empty.
  const int last_start = 2 * count - 2;
  BlendedAnswers blended{even};
  blend_after_empty_answer<0>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  blend_after_empty_answer<1>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  blend_after_empty_answer<2>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  blend_after_empty_answer<3>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  blend_after_empty_answer<4>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  blend_after_empty_answer<5>(empty_commas, even, odd, last_start, blended.answers, blended.empty_count);
  static_assert(blended_empty_answers == 6);
  // A further empty answer would stand before the last answer's start.
  blended.too_many_empty = lowest_bit(empty_commas) <= last_start - blended_empty_answers;
  return blended;
}

// The 32 bytes at `at` as the finders below read them.
struct AnswerBytes {
  textio::Bytes16 first_commas;  // 0xFF at each comma
  textio::Bytes16 second_commas;
  textio::Bytes16 even;  // lane j: byte 2j
  textio::Bytes16 odd;   // lane j: byte 2j - 1 (lane 0: 0)
};

[[gnu::always_inline]] inline AnswerBytes answer_bytes(const char* at) {
  using textio::every16;
  const textio::Bytes16 first = textio::load16(at);
  const textio::Bytes16 second = textio::load16(at + 16);
  return {
      textio::equal16(first, every16(',')), textio::equal16(second, every16(',')),
      __builtin_shufflevector(first, second, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30),
      lanes_up<1>(__builtin_shufflevector(first, second, 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31))};
}

// The usual group: sixteen one-byte answers, "x,x,...,x,".
[[gnu::always_inline]] inline bool sixteen_one_byte_answers(const AnswerBytes& bytes, unsigned char lowest_answer) {
  constexpr textio::Bytes16 at_odd = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF};
  return !textio::any_set((bytes.first_commas ^ at_odd) | (bytes.second_commas ^ at_odd) |
                          textio::below16(bytes.even, textio::every16(lowest_answer)));
}

inline std::uint32_t comma_bits(const AnswerBytes& bytes) {
  return textio::bits32(bytes.first_commas, bytes.second_commas);
}

// `count` (1..16) answers of at most one byte, each followed by its comma,
// at `at`, where a field starts; none of them below `lowest_answer` (a way
// that takes every other byte may pass 0). The 32 bytes at `at` are read
// and must lie within the line's buffer.
[[gnu::always_inline]] inline ShortAnswers find_short_answers(const char* at, int count, unsigned char lowest_answer) {
  const AnswerBytes bytes = answer_bytes(at);
  if (count == 16 && sixteen_one_byte_answers(bytes, lowest_answer)) return {bytes.even, 32};
  const std::uint32_t commas = comma_bits(bytes);
  const BlendedAnswers blended = blend_short_answers(bytes.even, bytes.odd, commas, count);
  if (blended.too_many_empty) return gather_short_answers(at, commas, count, lowest_answer);
  return short_answers_if_so(blended.answers, commas, 2 * count - 1 - blended.empty_count, count, lowest_answer);
}

// Lane j of v moved to lane j - lanes; the lanes above are 0.
template <int lanes>
[[gnu::always_inline]] inline textio::Bytes16 lanes_down(textio::Bytes16 v) {
  return [v]<std::size_t... lane>(std::index_sequence<lane...>) {
    return __builtin_shufflevector(v, textio::Bytes16{},
                                   (static_cast<int>(lane) + lanes < 16 ? static_cast<int>(lane) + lanes : 16)...);
  }
  (std::make_index_sequence<16>{});
}

// A window of 32 bytes of answers as sixteen pairs of bytes, lane j
// standing for bytes 2j and 2j + 1.
struct WindowPairs {
  textio::Bytes16 answers;       // the byte before the pair's first comma
  textio::Bytes16 even_comma;    // 0xFF where byte 2j is a comma
  textio::Bytes16 odd_comma;     // ... byte 2j + 1
  textio::Bytes16 before_comma;  // ... byte 2j - 1
  textio::Bytes16 low;           // 0xFF where the answer is below the lowest answer
};

// Where every answer is at most one byte, each pair holds one comma or
// two: the first ends the answer that is the byte before it (an empty one
// reads as that byte, its comma, which is empty_answer), and a second one
// ends an empty answer after that. Each byte that is no comma is then the
// answer of a pair, so only those are compared with the lowest answer; the
// last byte of a window, when it is no comma, is the answer of the first
// pair of the next. The window starts where a field starts: the byte
// before it is a comma, which is not read.
[[gnu::always_inline]] inline WindowPairs window_pairs(const char* window, unsigned char lowest_answer) {
  using textio::Bytes16;
  using textio::equal16;
  using textio::every16;
  const Bytes16 first_half = textio::load16(window);
  const Bytes16 second_half = textio::load16(window + 16);
  // Lane j: byte 2j, byte 2j + 1, byte 2j - 1.
  const Bytes16 even =
      __builtin_shufflevector(first_half, second_half, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  const Bytes16 odd =
      __builtin_shufflevector(first_half, second_half, 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
  const Bytes16 comma = every16(empty_answer);
  const Bytes16 comma_before_window = {empty_answer};
  const Bytes16 before = lanes_up<1>(odd) | comma_before_window;
  const Bytes16 even_comma = equal16(even, comma);
  const Bytes16 answers = even ^ ((even ^ before) & even_comma);
  return {answers, even_comma, equal16(odd, comma), equal16(before, comma),
          textio::below16(answers, every16(lowest_answer))};
}

// 0xFF where a pair is not one of sixteen one-comma pairs of short answers
// (none of them two commas): the usual window, whose answers are the
// pairs' answers as they stand.
[[gnu::always_inline]] inline textio::Bytes16 not_one_comma_each(const WindowPairs& pairs) {
  // Not exactly one comma in the pair, or a first byte that is no comma
  // after a byte that is none either.
  return textio::equal16(pairs.even_comma, pairs.odd_comma) | (pairs.odd_comma & ~pairs.before_comma) | pairs.low;
}

// 0xFF where a pair holds no comma, or its first byte and the byte before
// it are both no comma (an answer longer than a byte), or its answer is
// below the lowest answer.
[[gnu::always_inline]] inline textio::Bytes16 not_short(const WindowPairs& pairs) {
  return ~(pairs.even_comma | (pairs.odd_comma & pairs.before_comma)) | pairs.low;
}

// The most answers beyond sixteen that a window is taken with.
inline constexpr int window_extra_answers = 4;

// The answers of a window's pairs, in order.
struct WindowAnswers {
  textio::Bytes16 first;   // answers 1 to 16
  textio::Bytes16 second;  // answers 17 on, empty_answer in the lanes after them
  int count = 0;           // 0: more than window_extra_answers two-comma pairs
};

template <int d>
[[gnu::always_inline]] inline void move_up_by(textio::Bytes16 answers, textio::Bytes16 extra_before,
                                              textio::Bytes16& first, textio::Bytes16& second) {
  const textio::Bytes16 moving = answers & textio::equal16(extra_before, textio::every16(d));
  first |= lanes_up<d>(moving);
  second |= lanes_down<16 - d>(moving);
}

// The answers of the pairs in order, with the empty answer of each
// two-comma pair after the pair's first: each pair's answer moves up by
// the two-comma pairs before it, and the lanes left between are the empty
// answers.
[[gnu::always_inline]] inline WindowAnswers spread_answers(const WindowPairs& pairs) {
  using textio::Bytes16;
  const Bytes16 twos = pairs.even_comma & pairs.odd_comma & textio::every16(1);
  Bytes16 extra_before = twos + lanes_up<1>(twos);
  extra_before += lanes_up<2>(extra_before);
  extra_before += lanes_up<4>(extra_before);
  extra_before += lanes_up<8>(extra_before);
  const int extra = extra_before[15];
  if (extra > window_extra_answers) return WindowAnswers{};
  extra_before -= twos;
  // Marked so that an empty answer is 0: the lanes left between stay so.
  const Bytes16 comma = textio::every16(empty_answer);
  const Bytes16 marked = pairs.answers ^ comma;
  Bytes16 first = marked & textio::equal16(extra_before, Bytes16{});
  Bytes16 second{};
  move_up_by<1>(marked, extra_before, first, second);
  move_up_by<2>(marked, extra_before, first, second);
  move_up_by<3>(marked, extra_before, first, second);
  move_up_by<4>(marked, extra_before, first, second);
  static_assert(window_extra_answers == 4);
  return {first ^ comma, second ^ comma, 16 + extra};
}

// 0xFF in the lanes below lane n (0..16).
inline textio::Bytes16 lanes_below(int n) { return n == 0 ? textio::Bytes16{} : ~lanes_after_lane(n - 1); }

// The bytes of a window that its first `count` (1 to 31, at most
// answers.count) answers take, up to and including the last one's comma:
// a byte each, and one more for each that is not empty. 0 when the pairs
// those bytes reach are not all short answers, or the bytes do not fit the
// window. The bytes after them may be anything.
[[gnu::always_inline]] inline std::size_t first_answers_size(const WindowPairs& pairs, const WindowAnswers& answers,
                                                             int count) {
  using textio::Bytes16;
  const Bytes16 comma = textio::every16(empty_answer);
  const Bytes16 one = textio::every16(1);
  const Bytes16 given = (~textio::equal16(answers.first, comma) & lanes_below(std::min(count, 16)) & one) +
                        (~textio::equal16(answers.second, comma) & lanes_below(std::max(count - 16, 0)) & one);
  const int size = count + static_cast<int>(textio::byte_sum(given));
  // The last comma stands at size - 1, in pair (size - 1) / 2. The answers
  // up to it hang on the pairs up to that one alone; so does the size.
  if (size > 32 || count > answers.count) return 0;
  if (textio::any_set(not_short(pairs) & ~lanes_after_lane((size - 1) / 2))) return 0;
  return static_cast<std::size_t>(size);
}

// The codes of sixteen answers read as ShortAnswers against the key bytes
// [key, key + 16): the byte tables above, computed.
[[gnu::always_inline]] inline textio::Bytes16 short_answer_codes(textio::Bytes16 answers, const char* key) {
  using textio::equal16;
  using textio::every16;
  // Setting the 0x20 bit makes A..E into a..e and no other byte into one
  // of them (empty_answer has it set already).
  const textio::Bytes16 option = textio::below16((answers | every16(0x20)) - every16('a'), every16(5));
  const textio::Bytes16 read_as = answers & ~(option & every16(0x20));  // a..e as A..E
  const textio::Bytes16 digits = read_as - (option & every16('A' - '1'));
  // An empty answer is no option: its digit is the comma, one below "-".
  static_assert(empty_answer + 1 == '-');
  const textio::Bytes16 unkeyed = digits - equal16(answers, every16(empty_answer));
  const textio::Bytes16 keyed = equal16(read_as, textio::load16(key));
  return (keyed & every16('.')) | (~keyed & unkeyed);
}

}  // namespace output::codes
