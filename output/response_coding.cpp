#include "output/response_coding.hpp"

#include "coursefile/records.hpp"
#include "textio/strings.hpp"

namespace output {

namespace {

// Only the option letters are made upper case, nothing else of the line.
void upper_options(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'e') c = static_cast<char>(c - 'a' + 'A');
  }
}

void append_option_digits(std::string& codes, std::string_view entry) {
  const std::size_t start = codes.size();
  codes.append(entry);
  for (std::size_t i = start; i < codes.size(); ++i) {
    if (codes[i] >= 'A' && codes[i] <= 'E') codes[i] = static_cast<char>(codes[i] - 'A' + '1');
  }
}

}  // namespace

std::string option_digits(std::string_view entry) {
  std::string result(entry);
  for (char& c : result) {
    if (c >= 'A' && c <= 'E') c = static_cast<char>(c - 'A' + '1');
  }
  return result;
}

void code_student(const textio::SplitLine& line, const coursefile::CourseValues& values, FieldList& field_list,
                  textio::ChannelTable& channels) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;

  textio::write_text(channels, dat_channel, textio::field_of(line, 3));
  textio::write_text(channels, dat_channel, ",,");

  // Entries are refilled in place: their storage serves record after record.
  for (int i = 1; i <= field_list_size; ++i) {
    std::string& entry = field_list[static_cast<std::size_t>(i)];
    entry.assign(textio::trim(textio::field_of(line, static_cast<std::size_t>(i))));
    upper_options(entry);
  }

  // Keyed answers become "." (an empty answer to an empty key entry too).
  const int declared = values.declared_questions;
  const int last_question_in_list = field_list_size - 8;
  for (int q = 1; q <= declared && q <= last_question_in_list; ++q) {
    std::string& entry = field_list[static_cast<std::size_t>(8 + q)];
    if (entry == coursefile::key_entry(values, q)) entry.assign(1, '.');
  }

  // Each position is coded from its own entry, so a comma inside a quoted
  // field cannot shift the codes of the answers after it.
  // The codes of the line are gathered and written to each file at once:
  // nothing waits for the operator in between, so the files end up the same.
  const int answers = coursefile::answer_count(line);
  std::string codes;
  codes.reserve(answers > 0 ? static_cast<std::size_t>(answers) : 0);
  for (int a = 1; a <= answers; ++a) {
    const std::string* entry =
        a <= declared && a <= last_question_in_list ? &field_list[static_cast<std::size_t>(8 + a)] : nullptr;
    if (entry == nullptr || entry->empty()) {
      codes += '-';
    } else {
      append_option_digits(codes, *entry);
    }
  }
  textio::write_text(channels, dat_channel, codes);
  textio::write_text(channels, txt_channel, codes);
  textio::end_line(channels, dat_channel);
  textio::end_line(channels, txt_channel);
}

}  // namespace output
