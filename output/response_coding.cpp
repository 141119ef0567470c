#include "output/response_coding.hpp"

#include "coursefile/records.hpp"
#include "textio/strings.hpp"

namespace output {

namespace {

// Only the option letters are made upper case, nothing else of the line.
std::string upper_options(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'e') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
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

  for (int i = 1; i <= field_list_size; ++i) {
    field_list[static_cast<std::size_t>(i)] =
        upper_options(textio::trim(textio::field_of(line, static_cast<std::size_t>(i))));
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
  const int answers = coursefile::answer_count(line);
  for (int a = 1; a <= answers; ++a) {
    std::string code = "-";
    if (a <= declared && a <= last_question_in_list) {
      const std::string& entry = field_list[static_cast<std::size_t>(8 + a)];
      if (!entry.empty()) code = option_digits(entry);
    }
    textio::write_text(channels, dat_channel, code);
    textio::write_text(channels, txt_channel, code);
  }
  textio::end_line(channels, dat_channel);
  textio::end_line(channels, txt_channel);
}

}  // namespace output
