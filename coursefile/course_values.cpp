#include "coursefile/course_values.hpp"

#include "textio/strings.hpp"

namespace coursefile {

RecordKind record_kind(const textio::SplitLine& line) {
  return record_kind_of(textio::trim(textio::field_of(line, 1)));
}

RecordKind record_kind_of(std::string_view tag) {
  if (tag == answer_key_tag) return RecordKind::answer_key;
  if (tag == header_tag) return RecordKind::header;
  if (tag == student_tag) return RecordKind::student;
  return RecordKind::none;
}

std::int64_t unwrapped_answer_count(const textio::SplitLine& line) { return line.separators - fields_before_answers; }

std::int16_t answer_count(const textio::SplitLine& line) { return textio::wrap16(unwrapped_answer_count(line)); }

std::int64_t unwrapped_number_field(const textio::SplitLine& line, std::size_t n) {
  return textio::to_whole(textio::read_number(textio::field_of(line, n)));
}

}  // namespace coursefile
