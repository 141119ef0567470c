// What reading the course file keeps for the whole run, and the record kinds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "coursefile/run_tally.hpp"
#include "textio/fields.hpp"

namespace coursefile {

constexpr int answer_key_size = 100;  // questions 1..100
static_assert(answer_key_size == checked_questions);
// Question q stands in field fields_before_answers + q of an answer-key or
// student record; a student record's answer count is its separating commas
// minus this.
constexpr int fields_before_answers = 8;

// Field 1 of each kind of record.
constexpr std::string_view answer_key_tag = "SH3";
constexpr std::string_view header_tag = "FH";
constexpr std::string_view student_tag = "SD";

struct CourseValues {
  std::array<std::string, answer_key_size + 1> answer_key{};  // [1..100]; [0] unused
  std::int16_t declared_questions = 0;
  std::int16_t current_questions = 0;  // the answer count the next student is expected to have
  std::int16_t declared_students = 0;
  std::int16_t student_count = 0;
  std::int16_t last_answer_count = 0;
  RunTally tally;  // for the report at the end of the run

  // Two ways of reading the same file must leave the same values.
  bool operator==(const CourseValues&) const = default;
};

// Key entry q, or the empty text for a question beyond the answer key.
inline std::string_view key_entry(const CourseValues& values, int q) {
  return q < 1 || q > answer_key_size ? std::string_view{}
                                      : std::string_view(values.answer_key[static_cast<std::size_t>(q)]);
}

enum class RecordKind { answer_key, header, student, none };

// Field 1 trimmed, compared exactly with SH3, FH and SD.
RecordKind record_kind(const textio::SplitLine& line);
RecordKind record_kind_of(std::string_view trimmed_field_1);

// Commas that separate fields, minus 8. A comma inside a quoted field is part
// of that field and adds no answer.
std::int64_t unwrapped_answer_count(const textio::SplitLine& line);
// The same as a 16-bit count, as the run's values hold it.
std::int16_t answer_count(const textio::SplitLine& line);

// A number field: the number at its start, rounded half to even; the run's
// values keep its low 16 bits.
std::int64_t unwrapped_number_field(const textio::SplitLine& line, std::size_t n);

}  // namespace coursefile
