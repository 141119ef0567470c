// What the end-of-run report tells about the reading: counts that are never
// cut to 16 bits, and the student records that raised a warning. Its size
// does not grow with the file: the first warned records are kept, the rest
// only counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace coursefile {

constexpr std::size_t kept_warned_records = 20;
// A longer student number is kept as its first bytes and "...": 20 records
// of a hostile file must not hold 20 copies of a huge field.
constexpr std::size_t kept_student_number_size = 40;

struct WarnedRecord {
  std::uint64_t line_number = 0;  // 1 for the course file's first line
  std::string student_number;     // field 2 trimmed, as the report shows it
  bool question_count = false;    // the answer count differed from the expected one
  std::int64_t answers = 0;
  std::int64_t expected = 0;
  bool multiple_version = false;  // a version student number

  bool operator==(const WarnedRecord&) const = default;
};

struct RunTally {
  std::uint64_t lines_read = 0;
  bool line_feeds_end_lines = false;    // a file of LF line ends, read as if each were CR LF
  std::uint64_t student_records = 0;
  bool header_read = false;
  std::int64_t declared_questions = 0;  // the last header record's numbers, rounded, not wrapped
  std::int64_t declared_students = 0;
  std::int64_t expected_answers = 0;    // the answer count the next student record is expected to have
  std::vector<WarnedRecord> warned;     // the first kept_warned_records, in file order
  std::uint64_t warned_left_out = 0;

  bool operator==(const RunTally&) const = default;
};

// The student number as the report keeps it.
std::string kept_student_number(std::string_view student_number);

// Keeps the record while fewer than kept_warned_records are kept, else counts it.
void note_warned_record(RunTally& tally, WarnedRecord record);

}  // namespace coursefile
