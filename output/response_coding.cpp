#include "output/response_coding.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "coursefile/records.hpp"
#include "textio/byte_vectors.hpp"
#include "textio/strings.hpp"

namespace output {

namespace {

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

constexpr ByteTables byte_tables = make_byte_tables();

char upper_option(char c) { return byte_tables.upper[static_cast<unsigned char>(c)]; }
char option_digit(char c) { return byte_tables.digit[static_cast<unsigned char>(c)]; }

// An answer is compared with its key entry as if a..e were upper case; the
// line itself is never copied to make them so.
bool equals_key(std::string_view answer, std::string_view key) {
  if (answer.size() != key.size()) return false;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (upper_option(answer[i]) != key[i]) return false;
  }
  return true;
}

char* put_option_digits(char* out, std::string_view answer) {
  for (char c : answer) *out++ = option_digit(c);
  return out;
}

// A one-byte answer against a one-byte key entry: "." or its digit, chosen
// by arithmetic rather than a branch, so nothing hangs on the answer.
char* code_one_byte(char answer, char key, bool& keyed, char* out) {
  keyed = upper_option(answer) == key;
  const char digit = option_digit(answer);
  const char keyed_mask = static_cast<char>(-static_cast<int>(keyed));
  *out = static_cast<char>(digit ^ ((digit ^ '.') & keyed_mask));
  return out + 1;
}

// A longer answer, or a key entry that is not one byte: compared byte by
// byte, and the codes grow to make room for it and the positions after it.
[[gnu::noinline]] char* code_longer_answer(std::string_view answer, std::string_view key, bool& keyed, char* out,
                                          std::string& codes, std::size_t positions_after) {
  // An empty answer to an empty key entry is keyed too.
  keyed = equals_key(answer, key);
  if (keyed) {
    *out++ = '.';
  } else if (answer.empty()) {
    *out++ = '-';
  } else {
    const std::size_t length = static_cast<std::size_t>(out - codes.data());
    const std::size_t needed = length + answer.size() + positions_after;
    if (needed > codes.size()) codes.resize(needed, '-');
    out = put_option_digits(codes.data() + length, answer);
  }
  return out;
}

// The positions coded from the record's answers: up to its answer count, the
// declared questions and field 150. Every later position is "-".
int coded_answers(int answers, const coursefile::CourseValues& values) {
  return std::clamp(std::min<int>(answers, values.declared_questions), 0, coded_positions);
}

// The codes of a record are appended to out as "-" for every answer position
// first; coding overwrites those that the record's answers decide. Returns
// where the first code goes.
char* start_codes(std::string& out, int answers) {
  const std::size_t positions = answers > 0 ? static_cast<std::size_t>(answers) : 0;
  out.append(positions, '-');
  return out.data() + (out.size() - positions);
}

// Ends the codes after the positions from next on, which stay "-".
void finish_codes(std::string& out, char* next, int answers, int coded) {
  if (answers > coded) next += answers - coded;
  out.resize(static_cast<std::size_t>(next - out.data()));
}

// Where field 9, the first answer, starts in a plain line that has at least
// eight commas: after the last kept field up to field 9, past the commas of
// those not kept.
const char* first_answer(std::string_view line, const textio::SplitLine& split) {
  const std::size_t kept = std::min(split.fields.size(), static_cast<std::size_t>(fields_before_answers + 1));
  if (kept == fields_before_answers + 1) return split.fields[kept - 1].data();
  const char* at = kept == 0 ? line.data() : split.fields[kept - 1].data() + split.fields[kept - 1].size() + 1;
  const char* const end = line.data() + line.size();
  for (std::size_t field = kept + 1; field <= fields_before_answers && at < end; ++field) {
    while (at < end && *at != ',') ++at;
    if (at < end) ++at;
  }
  return at;
}

// Codes the sixteen answers of one byte each that a plain line holds as the
// 32 bytes "x,x,...,x," at `at` (answers at even offsets, commas at odd
// ones) against key bytes [key, key + 16), into out[0..15]; false, with
// nothing written, when the bytes there are not sixteen one-byte fields.
[[gnu::always_inline]] inline bool code_sixteen(const char* at, const char* key, char* out) {
  using textio::Bytes16;
  using textio::equal16;
  using textio::every16;
  const Bytes16 first = textio::load16(at);
  const Bytes16 second = textio::load16(at + 16);
  constexpr Bytes16 commas_at_odd = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF};
  const Bytes16 out_of_place =
      (equal16(first, every16(',')) ^ commas_at_odd) | (equal16(second, every16(',')) ^ commas_at_odd);
  if (textio::any_set(out_of_place)) return false;

  const Bytes16 answers =
      __builtin_shufflevector(first, second, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  // The byte tables above, computed. Setting the 0x20 bit makes A..E into
  // a..e and no other byte into one of them.
  const Bytes16 option = textio::below16((answers | every16(0x20)) - every16('a'), every16(5));
  const Bytes16 read_as = answers & ~(option & every16(0x20));  // a..e as A..E
  const Bytes16 digits = read_as - (option & every16('A' - '1'));
  const Bytes16 keyed = equal16(read_as, textio::load16(key));
  textio::store16(out, (keyed & every16('.')) | (~keyed & digits));
  return true;
}

}  // namespace

void take_key_bytes(const coursefile::CourseValues& values, StudentCoding& coding) {
  for (int q = 1; q <= coded_positions; ++q) {
    const std::string_view entry = coursefile::key_entry(values, q);
    coding.key_bytes[static_cast<std::size_t>(q - 1)] = entry.size() == 1 ? entry[0] : 'a';
  }
}

std::string option_digits(std::string_view answer) {
  std::string codes(answer.size(), ' ');
  put_option_digits(codes.data(), answer);
  return codes;
}

void append_codes_from_field_list(const textio::SplitLine& split, const coursefile::CourseValues& values,
                                  StudentCoding& coding, std::string& out) {
  FieldList& field_list = coding.field_list;
  const std::size_t present = std::min(split.fields.size(), static_cast<std::size_t>(field_list_size));
  const auto first_field = split.fields.begin();
  const auto text_1 = field_list.text.begin() + 1;
  if (split.trimmed) {
    std::copy(first_field, first_field + static_cast<std::ptrdiff_t>(present), text_1);
  } else {
    std::transform(first_field, first_field + static_cast<std::ptrdiff_t>(present), text_1, textio::trim);
  }
  std::fill(text_1 + static_cast<std::ptrdiff_t>(present), text_1 + field_list_size, std::string_view{});
  std::fill(field_list.keyed.begin() + 1, field_list.keyed.begin() + 1 + field_list_size, false);

  // Each answer position is coded from its own entry, so a comma inside a
  // quoted field cannot shift the codes of the answers after it. Most codes
  // are one byte; a longer answer makes room for itself.
  const int answers = coursefile::answer_count(split);
  const int coded = coded_answers(answers, values);
  char* next = start_codes(out, answers);
  for (int q = 1; q <= coded; ++q) {
    const std::string_view answer = field_list.text[static_cast<std::size_t>(fields_before_answers + q)];
    const std::string_view key = coursefile::key_entry(values, q);
    bool& keyed = field_list.keyed[static_cast<std::size_t>(fields_before_answers + q)];
    if (answer.size() == 1 && key.size() == 1) {
      next = code_one_byte(answer[0], key[0], keyed, next);
    } else {
      next = code_longer_answer(answer, key, keyed, next, out, static_cast<std::size_t>(answers - q));
    }
  }
  finish_codes(out, next, answers, coded);
}

void append_codes_from_plain_line(std::string_view line, const textio::SplitLine& split,
                                  const coursefile::CourseValues& values, StudentCoding& coding, std::string& out) {
  const int answers = coursefile::answer_count(split);
  const int coded = coded_answers(answers, values);
  char* next = start_codes(out, answers);
  // In a plain line answer position q is field 8 + q, and every position up
  // to the answer count is a field that a comma ends.
  const char* const end = line.data() + line.size();
  const char* at = coded > 0 ? first_answer(line, split) : end;
  const char* const key_bytes = coding.key_bytes.data();
  bool keyed = false;  // the general way marks keyed answers; here none is kept
  int q = 1;
  while (q <= coded) {
    bool after_sixteen = false;  // the sixteen answers before `at` were one byte each
    while (coded - q >= 15 && end - at >= 32 && code_sixteen(at, key_bytes + (q - 1), next)) {
      q += 16;
      at += 32;
      next += 16;
      after_sixteen = true;
    }
    // Fewer than sixteen positions left, right after sixteen one-byte
    // answers: the last sixteen positions are coded together, the ones
    // among them already coded once more, to the same codes.
    const int left = coded - q + 1;
    const int again = 16 - left;
    if (after_sixteen && left > 0 && left < 16 && end - (at - 2 * again) >= 32 &&
        code_sixteen(at - 2 * again, key_bytes + (q - 1 - again), next - again)) {
      next += left;
      break;
    }
    // One by one, up to the answer that broke the run of one-byte answers
    // (or to the last position to code), then sixteen at a time again.
    for (bool one_byte = true; one_byte && q <= coded; ++q) {
      const char* comma = at;
      while (comma < end && *comma != ',') ++comma;
      const std::string_view answer(at, static_cast<std::size_t>(comma - at));
      one_byte = answer.size() == 1;
      if (one_byte) {
        next = code_one_byte(answer[0], key_bytes[q - 1], keyed, next);
      } else {
        next = code_longer_answer(answer, coursefile::key_entry(values, q), keyed, next, out,
                                  static_cast<std::size_t>(answers - q));
      }
      at = comma == end ? end : comma + 1;
    }
  }
  finish_codes(out, next, answers, coded);
}

void code_student(std::string_view line, const textio::SplitLine& split, const coursefile::CourseValues& values,
                  StudentCoding& coding, textio::ChannelTable& channels) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;

  // The rest of the .dat line goes straight into the channel's pending text
  // (or, with no .dat file open, into room of its own); its codes and line
  // end are then the whole .txt line.
  std::string* const dat = textio::pending_text(channels, dat_channel);
  std::string& out = dat != nullptr ? *dat : coding.codes;
  if (dat == nullptr) out.clear();
  out.append(textio::field_of(split, 3));
  out.append(",,");
  const std::size_t codes_begin = out.size();
  if (split.plain) {
    append_codes_from_plain_line(line, split, values, coding, out);
  } else {
    textio::split_fields(line, field_list_size, coding.fields);
    append_codes_from_field_list(coding.fields, values, coding, out);
  }
  out.append(textio::line_end);
  textio::write_text(channels, txt_channel, std::string_view(out).substr(codes_begin));
  textio::end_append(channels, dat_channel);
}

}  // namespace output
