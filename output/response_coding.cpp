#include "output/response_coding.hpp"

#include <algorithm>
#include <array>

#include "coursefile/records.hpp"
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

// Codes the answer to question q at out and marks it keyed or not; returns
// where the next code goes.
char* code_answer(FieldList& field_list, int q, std::string_view key, char* out, std::string& codes, int answers) {
  const std::string_view answer = field_list.text[static_cast<std::size_t>(8 + q)];
  bool& keyed = field_list.keyed[static_cast<std::size_t>(8 + q)];
  if (answer.size() != 1 || key.size() != 1) {
    return code_longer_answer(answer, key, keyed, out, codes, static_cast<std::size_t>(answers - q));
  }
  keyed = upper_option(answer[0]) == key[0];
  // Arithmetic rather than a choice, so no branch hangs on the answer.
  const char digit = option_digit(answer[0]);
  const char keyed_mask = static_cast<char>(-static_cast<int>(keyed));
  *out = static_cast<char>(digit ^ ((digit ^ '.') & keyed_mask));
  return out + 1;
}

}  // namespace

std::string option_digits(std::string_view answer) {
  std::string codes(answer.size(), ' ');
  put_option_digits(codes.data(), answer);
  return codes;
}

void code_student(const textio::SplitLine& line, const coursefile::CourseValues& values, FieldList& field_list,
                  textio::ChannelTable& channels) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;

  textio::write_text(channels, dat_channel, textio::field_of(line, 3));
  textio::write_text(channels, dat_channel, ",,");

  const std::size_t present = std::min(line.fields.size(), static_cast<std::size_t>(field_list_size));
  const auto first_field = line.fields.begin();
  const auto text_1 = field_list.text.begin() + 1;
  if (line.trimmed) {
    std::copy(first_field, first_field + static_cast<std::ptrdiff_t>(present), text_1);
  } else {
    std::transform(first_field, first_field + static_cast<std::ptrdiff_t>(present), text_1, textio::trim);
  }
  std::fill(text_1 + static_cast<std::ptrdiff_t>(present), text_1 + field_list_size, std::string_view{});
  std::fill(field_list.keyed.begin() + 1, field_list.keyed.begin() + 1 + field_list_size, false);

  // Each answer position is coded from its own entry, so a comma inside a
  // quoted field cannot shift the codes of the answers after it. Positions
  // beyond the declared questions or the field list stay "-". Most codes
  // are one byte; a longer answer makes room for itself.
  const int answers = coursefile::answer_count(line);
  const int coded = std::clamp(std::min<int>(answers, values.declared_questions), 0, field_list_size - 8);
  std::string codes(answers > 0 ? static_cast<std::size_t>(answers) : 0, '-');
  char* out = codes.data();
  // Questions beyond the answer key meet an empty key entry.
  const int within_key = std::min(coded, coursefile::answer_key_size);
  for (int q = 1; q <= within_key; ++q) {
    out = code_answer(field_list, q, values.answer_key[static_cast<std::size_t>(q)], out, codes, answers);
  }
  for (int q = within_key + 1; q <= coded; ++q) out = code_answer(field_list, q, {}, out, codes, answers);
  if (answers > coded) out += answers - coded;
  codes.resize(static_cast<std::size_t>(out - codes.data()));

  textio::write_text(channels, dat_channel, codes);
  textio::write_text(channels, txt_channel, codes);
  textio::end_line(channels, dat_channel);
  textio::end_line(channels, txt_channel);
}

}  // namespace output
