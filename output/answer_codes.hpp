// How answers become their response codes, one at a time or a window of
// the line at a time: the steps both ways of coding a student record share
// (the general way in response_coding.cpp, the one pass over a plain
// student line in plain_student_lines.cpp). Inline: they run for every
// answer of every student.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

// The codes of sixteen answers of at most one byte in the one pass's
// reading (each its byte, or empty_answer) against sixteen key bytes: the
// byte tables above, computed; lane by lane as code_short_answer.
[[gnu::always_inline]] inline textio::Bytes16 short_answer_codes(textio::Bytes16 answers, textio::Bytes16 key) {
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
  const textio::Bytes16 keyed = equal16(read_as, key);
  return (keyed & every16('.')) | (~keyed & unkeyed);
}

// From the first answer on, a plain student line holds no byte below '#'
// (plain_student_lines.hpp): the control bytes, the blank, '!' and the
// double quote.
inline constexpr unsigned char lowest_plain_byte = '#';

// The one pass codes the answers of at most one byte a window of
// window_width bytes of the line at a time, each window starting where a
// field starts: the answers whose commas stand in it, from window_answers
// (all of one byte, the usual window, one vector of codes) to window_width
// (all empty). Eight bytes of a window (a chunk) hold four to eight such
// commas.
inline constexpr int window_width = 32;
inline constexpr unsigned window_answers = window_width / 2;
inline constexpr int chunk_width = 8;
static_assert(window_width == 4 * chunk_width, "a window's chunks are counted in the four bytes of a word");
static_assert(window_answers == sizeof(textio::Bytes16));
// A window writes its codes a chunk at a time, eight bytes from where each
// chunk's begin: within window_width bytes from its first code, whatever it
// takes. It reads the key bytes at the same places. After the last
// position to code, so much room holds "-", and as many key bytes follow
// it (KeyBytes).
inline constexpr int codes_room_after = window_width;

// Where the coding of a line's answers stands: the state that each step of
// it takes on from the one before.
struct Answers {
  const char* at;  // where the next answer's field starts
  int coded = 0;   // positions coded so far
  char* next;      // where the next code goes
  // Whether the answers are likely all one byte, as the line before's
  // were; then whether this line's were.
  bool one_byte_each = true;
  const char* end;  // the end of the read-ahead
  int to_code;      // the positions to code: 1 to to_code
  const char* key;  // the key bytes (KeyBytes): position q's at key[q - 1]
};

// A window worked through: answers.at at its first byte, which starts a
// field, the key A, B, C, D, E, A, B, ... from its first answer on, more
// than 18 positions left to code.
//
//   chunk              0          1          2          3
//   bytes              a,,B,c,,   d,e,E,,b   ,a,d,c,,   E,A,b,c,
//   commas (bits)      .11.1.11   .1.1.11.   1.1.1.11   .1.1.1.1   no stop: no field of two bytes, none below '#'
//   in chunk           5          4          5          4          bits_in_bytes; up_to: 5 9 14 18
//   places of commas   1 2 4 6 7  1 3 5 6    0 2 4 6 7  1 3 5 7    places_of_bits, + 8 in a half's second chunk
//   before             ,a,,B,c,   ,d,e,E,,   b,a,d,c,   ,E,A,b,c   lane p: byte p - 1
//   answers            a , B c ,  d e E ,    b a d c ,  E A b c    before, looked up at the places
//   codes              . - 2 3 -  4 5 5 -    2 . 4 . -  . . . .    short_answer_codes
//
// The codes of each chunk are written after those of the chunk before
// (from the first code, then 5, 9 and 14 on), all 18 answers are taken, and
// the window ends in a comma: the next one starts 32 bytes on. Had its last
// byte been an answer's, it would start 31 bytes on, at that answer.

// The smaller of a and b, by arithmetic: how many answers a window takes is
// as good as random, and a mispredicted branch would cost more than this.
[[gnu::always_inline]] inline unsigned smaller(unsigned a, unsigned b) {
  return b ^ ((a ^ b) & (0u - (a < b ? 1u : 0u)));
}

// The usual window on sheets without blank answers: sixteen one-byte
// answers, "x,x,...,x,", which are its even bytes; where fewer positions
// are left to code, as many. Codes them and returns true, or returns false
// and changes nothing.
[[gnu::always_inline]] inline bool code_usual_window(Answers& answers, unsigned count) {
  using textio::Bytes16;
  using textio::every16;
  const Bytes16 first = textio::load16(answers.at);
  const Bytes16 second = textio::load16(answers.at + 16);
  constexpr Bytes16 at_odd = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF};
  const Bytes16 comma = every16(empty_answer);
  const Bytes16 lowest = every16(lowest_plain_byte);
  // 0xFF where a byte is not as in the usual window: a comma where an answer
  // stands or none where a comma does, or a byte below the lowest answer.
  const std::uint32_t unusual =
      textio::bits32((textio::equal16(first, comma) ^ at_odd) | textio::below16(first, lowest),
                     (textio::equal16(second, comma) ^ at_odd) | textio::below16(second, lowest));
  if ((unusual & ((std::uint64_t{1} << (2 * count)) - 1)) != 0) return false;
  const Bytes16 even =
      __builtin_shufflevector(first, second, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  textio::store16(answers.next, short_answer_codes(even, textio::load16(answers.key + answers.coded)));
  answers.at += 2 * count;
  answers.next += count;
  answers.coded += static_cast<int>(count);
  return true;
}

// Entry m: the places (0 to 7) of the bits set in m, lowest first, then
// 0x80, which lookup16 reads as 0.
inline constexpr auto places_of_bits = [] {
  std::array<std::array<unsigned char, chunk_width>, 256> places{};
  for (std::size_t bits = 0; bits < places.size(); ++bits) {
    std::size_t set = 0;
    for (unsigned char place = 0; place < chunk_width; ++place) {
      if ((bits >> place & 1) != 0) places[bits][set++] = place;
    }
    for (; set < chunk_width; ++set) places[bits][set] = 0x80;
  }
  return places;
}();

[[gnu::always_inline]] inline std::uint64_t load8(const void* at) {
  std::uint64_t bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return bytes;
}

// Byte g of the result: the bits set in byte g of `bits`.
[[gnu::always_inline]] constexpr std::uint32_t bits_in_bytes(std::uint32_t bits) {
  bits -= bits >> 1 & 0x55555555u;
  bits = (bits & 0x33333333u) + (bits >> 2 & 0x33333333u);
  return (bits + (bits >> 4)) & 0x0F0F0F0Fu;
}

// The place in the window of comma n (from 1) of `commas`, whose chunks
// 0 to g hold byte g of `up_to` of them.
[[gnu::always_inline]] inline int place_of_comma(std::uint32_t commas, std::uint32_t up_to, unsigned n) {
  const unsigned chunk =
      (n > (up_to & 0xFF) ? 1u : 0u) + (n > (up_to >> 8 & 0xFF) ? 1u : 0u) + (n > (up_to >> 16 & 0xFF) ? 1u : 0u);
  const unsigned before_chunk = (up_to << 8) >> (8 * chunk) & 0xFF;
  return static_cast<int>(8 * chunk + places_of_bits[commas >> (8 * chunk) & 0xFF][n - 1 - before_chunk]);
}

// The answers of one half of a window, coded and written from `next` on:
// `before` holds the byte before each of its sixteen bytes, the answer if
// that byte is a comma; `commas` has a bit for each comma whose answer is
// taken, `first_chunk` of them in its first eight bytes. Each chunk's
// answers are looked up by the places of its commas, each chunk's codes
// written after the last chunk's, over the codes that lanes without an
// answer gave.
template <textio::Instructions set>
[[gnu::always_inline]] inline void code_half_window(textio::Bytes16 before, unsigned commas, unsigned first_chunk,
                                                    const char* key, char* next) {
  using textio::Words2;
  const Words2 places = {load8(places_of_bits[commas & 0xFF].data()),
                         load8(places_of_bits[commas >> 8 & 0xFF].data()) + 0x0808080808080808u};
  const textio::Bytes16 found = textio::lookup16<set>(before, reinterpret_cast<textio::Bytes16>(places));
  const Words2 keys = {load8(key), load8(key + first_chunk)};
  const textio::Bytes16 codes = short_answer_codes(found, reinterpret_cast<textio::Bytes16>(keys));
  std::memcpy(next, &codes, 8);
  std::memcpy(next + first_chunk, reinterpret_cast<const char*>(&codes) + 8, 8);
}

// A window of answers at `answers.at`, where a field starts, within the
// read-ahead: codes the answers whose commas stand in it, up to the first
// field that is no short answer (its bytes in the window two or more, or
// one below lowest_plain_byte) or to the last position to code, and leaves
// `at` where the field after the last one starts. Returns whether it took
// them all, so that the next window may hold more. Then it is read 32 bytes
// after this one, or 31 when this one ends in an answer's byte, which only
// its last byte tells: no window waits on the coding of the one before.
// It must code as the reading one field at a time in code_answers
// (plain_student_lines.cpp) does; answer_codes_test.cpp compares the two.
template <textio::Instructions set>
[[gnu::always_inline]] inline bool code_window(Answers& answers) {
  using textio::Bytes16;
  using textio::every16;
  const Bytes16 first = textio::load16(answers.at);
  const Bytes16 second = textio::load16(answers.at + 16);
  const Bytes16 comma = every16(empty_answer);
  const std::uint32_t commas = textio::bits32(textio::equal16(first, comma), textio::equal16(second, comma));
  const std::uint32_t others = ~commas;
  const std::uint32_t stops =
      (others & others >> 1) | textio::bits32(textio::below16(first, every16(lowest_plain_byte)),
                                              textio::below16(second, every16(lowest_plain_byte)));
  // The commas before the first stop end short answers.
  const std::uint32_t taken = commas & ((stops & (0u - stops)) - 1);
  const std::uint32_t up_to = bits_in_bytes(taken) * 0x01010101u;  // byte g: taken in chunks 0 to g
  const unsigned short_answers = up_to >> 24;
  const unsigned count = smaller(short_answers, static_cast<unsigned>(answers.to_code - answers.coded));
  if (count == 0) return false;
  // Lane p: byte p - 1 of the window, the answer when byte p is a comma;
  // the byte before the window is a comma.
  const Bytes16 before_first =
      __builtin_shufflevector(comma, first, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30);
  const Bytes16 before_second =
      __builtin_shufflevector(first, second, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30);
  const unsigned in_first_half = up_to >> 8 & 0xFF;
  code_half_window<set>(before_first, taken & 0xFFFF, up_to & 0xFF, answers.key + answers.coded, answers.next);
  code_half_window<set>(before_second, taken >> 16, (up_to >> 16 & 0xFF) - in_first_half,
                        answers.key + answers.coded + in_first_half, answers.next + in_first_half);
  answers.next += count;
  answers.coded += static_cast<int>(count);
  if (count == short_answers && stops == 0) {
    answers.at += window_width - 1 + (commas >> (window_width - 1));
    return true;
  }
  answers.at += place_of_comma(taken, up_to, count) + 1;
  return false;
}

// Codes windows of answers from `answers.at` on while at least a window of
// bytes is read ahead and positions are left to code, up to the first
// field that is no short answer. Where the line before had only one-byte
// answers, usual windows are looked for first: on sheets without blank
// answers each window is one, which is soon told. Leaves "-" in the room
// after the last code, over the codes that lanes without an answer gave.
template <textio::Instructions set>
void code_windows(Answers& line) {
  // Kept apart from the line's state until the end, so that the codes
  // written are not taken to change it.
  Answers answers = line;
  const auto room = [&answers](int positions) {
    return answers.end - answers.at >= window_width && answers.to_code - answers.coded >= positions;
  };
  if (answers.one_byte_each) {
    while (room(window_answers) && code_usual_window(answers, window_answers)) {
    }
    if (room(1) && answers.to_code - answers.coded < static_cast<int>(window_answers)) {
      code_usual_window(answers, static_cast<unsigned>(answers.to_code - answers.coded));
    }
  }
  while (room(1) && code_window<set>(answers)) {
  }
  answers.one_byte_each = answers.at - line.at == 2 * (answers.coded - line.coded);
  if (answers.at != line.at) {
    textio::store16(answers.next, textio::every16('-'));
    textio::store16(answers.next + 16, textio::every16('-'));
  }
  line = answers;
}

}  // namespace output::codes
