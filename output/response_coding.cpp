#include "output/response_coding.hpp"

#include "coursefile/records.hpp"
#include "textio/strings.hpp"

namespace output {

namespace {

// An answer is compared with its key entry as if a..e were upper case; the
// line itself is never copied to make them so.
char upper_option(char c) { return c >= 'a' && c <= 'e' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equals_key(std::string_view answer, std::string_view key) {
  if (answer.size() != key.size()) return false;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (upper_option(answer[i]) != key[i]) return false;
  }
  return true;
}

char option_digit(char c) {
  const char upper = upper_option(c);
  return upper >= 'A' && upper <= 'E' ? static_cast<char>(upper - 'A' + '1') : c;
}

char* put_option_digits(char* out, std::string_view answer) {
  for (char c : answer) *out++ = option_digit(c);
  return out;
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

  const int declared = values.declared_questions;
  const int answers = coursefile::answer_count(line);
  const int last_question_in_list = field_list_size - 8;

  // One pass fills the field list, marks keyed answers and codes each answer
  // position from its own entry, so a comma inside a quoted field cannot
  // shift the codes of the answers after it. Most codes are one byte.
  std::string codes(answers > 0 ? static_cast<std::size_t>(answers) : 0, '-');
  std::size_t length = 0;
  const std::string_view* const fields = line.fields.data();
  const int present = static_cast<int>(line.fields.size());
  for (int i = 1; i <= field_list_size; ++i) {
    FieldEntry& entry = field_list[static_cast<std::size_t>(i)];
    entry.text = i <= present ? textio::trim(fields[i - 1]) : std::string_view{};
    entry.keyed = false;
    const int q = i - 8;
    if (q < 1 || q > answers) continue;
    if (q > declared) {
      codes[length++] = '-';
      continue;
    }
    // An empty answer to an empty key entry is keyed too.
    entry.keyed = equals_key(entry.text, coursefile::key_entry(values, q));
    if (entry.keyed) {
      codes[length++] = '.';
    } else if (entry.text.empty()) {
      codes[length++] = '-';
    } else {
      const std::size_t needed = length + entry.text.size() + static_cast<std::size_t>(answers - q);
      if (needed > codes.size()) codes.resize(needed, '-');
      length = static_cast<std::size_t>(put_option_digits(codes.data() + length, entry.text) - codes.data());
    }
  }
  // Positions beyond the field list keep their "-".
  if (answers > last_question_in_list) length += static_cast<std::size_t>(answers - last_question_in_list);
  codes.resize(length);

  textio::write_text(channels, dat_channel, codes);
  textio::write_text(channels, txt_channel, codes);
  textio::end_line(channels, dat_channel);
  textio::end_line(channels, txt_channel);
}

}  // namespace output
