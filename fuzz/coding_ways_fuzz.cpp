// The two ways of coding a student record must give the same bytes: the one
// pass over a plain line against the general way through the field list.
// Any bytes: up to the first line feed an answer-key record, after it a
// student record made plain (each blank or double quote becomes a comma),
// with the declared question count and the number of fields the first split
// keeps taken from its last three bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "coursefile/records.hpp"
#include "output/response_coding.hpp"
#include "require.hpp"
#include "textio/fields.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size - 3);
  const std::uint8_t* const control = data + size - 3;
  const auto declared = static_cast<std::int16_t>(control[0] | control[1] << 8);
  const std::size_t kept = control[2];

  const std::size_t key_end = input.find('\n');
  const std::string_view key_record = input.substr(0, key_end);
  std::string record(key_end == std::string_view::npos ? std::string_view() : input.substr(key_end + 1));
  for (char& c : record) {
    if (c == ' ' || c == '"') c = ',';
  }

  coursefile::CourseValues values;
  output::StudentCoding coding;
  textio::SplitLine split;
  textio::split_fields(key_record, output::field_list_size, split);
  coursefile::take_answer_key(split, values);
  output::take_key_bytes(values, coding);
  values.declared_questions = declared;

  textio::SplitLine leading;
  textio::split_fields(record, kept, leading);
  require(leading.plain, "a line without blanks and double quotes is plain");
  textio::split_fields(record, output::field_list_size, split);

  // Both append to a .dat line already begun.
  std::string one_pass = "1001,";
  output::append_codes_from_plain_line(record, leading, values, coding, one_pass);
  std::string general = "1001,";
  output::append_codes_from_field_list(split, values, coding, general);
  require(one_pass == general, "the one pass codes a plain line as the field list does");
  return 0;
}
