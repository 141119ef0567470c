#include "output/response_coding.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "coursefile/dat_line.hpp"
#include "coursefile/records.hpp"
#include "output/answer_codes.hpp"
#include "textio/strings.hpp"

namespace output {

namespace {

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

}  // namespace

void take_key_bytes(const coursefile::CourseValues& values, StudentCoding& coding) {
  for (int q = 1; q <= static_cast<int>(key_bytes_size); ++q) {
    const std::string_view entry = coursefile::key_entry(values, q);
    char& byte = coding.key_bytes[static_cast<std::size_t>(q - 1)];
    if (entry.empty()) {
      byte = codes::empty_answer;
    } else {
      byte = entry.size() == 1 && entry[0] != codes::empty_answer ? entry[0] : 'a';
    }
  }
}

std::string option_digits(std::string_view answer) {
  std::string codes(answer.size(), ' ');
  codes::put_option_digits(codes.data(), answer);
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
  char* const code_row = output::code_row(coding.code_counts);
  for (int q = 1; q <= coded; ++q) {
    const std::string_view answer = field_list.text[static_cast<std::size_t>(fields_before_answers + q)];
    const std::string_view key = coursefile::key_entry(values, q);
    bool& keyed = field_list.keyed[static_cast<std::size_t>(fields_before_answers + q)];
    const std::size_t code_begin = static_cast<std::size_t>(next - out.data());
    if (answer.size() == 1 && key.size() == 1) {
      next = codes::code_one_byte(answer[0], key[0], keyed, next);
    } else {
      next = codes::code_longer_answer(answer, key, keyed, next, out, static_cast<std::size_t>(answers - q));
    }
    if (q <= coursefile::checked_questions) {
      const bool one_byte = static_cast<std::size_t>(next - out.data()) == code_begin + 1;
      code_row[q - 1] = one_byte ? out[code_begin] : another_code;
    }
  }
  finish_codes(out, next, answers, coded);
  end_counted_record(coding.code_counts, coded);
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
  out.append(coursefile::dat_before_codes);
  const std::size_t codes_begin = out.size();
  textio::split_fields(line, field_list_size, coding.fields);
  append_codes_from_field_list(coding.fields, values, coding, out);
  out.append(textio::line_end);
  textio::write_text(channels, txt_channel, std::string_view(out).substr(codes_begin));
  textio::end_append(channels, dat_channel);
}

}  // namespace output
