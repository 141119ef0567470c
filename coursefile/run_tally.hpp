// What the end-of-run report tells about the reading: counts that are never
// cut to 16 bits, the student records that raised a warning, and what the
// key check counts. Its size does not grow with the file: the first warned
// records are kept, the rest only counted, and the codes are counted per
// question.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace coursefile {

constexpr std::size_t kept_warned_records = 20;
// A longer text from the course file (a student number, a key entry) is
// kept as its first bytes and "...": 20 records of a hostile file must not
// hold 20 copies of a huge field.
constexpr std::size_t kept_text_size = 40;

// The key check looks at questions 1 to 100, those the answer key holds.
constexpr int checked_questions = 100;

// The codes the key check counts at a question's position: "." (keyed),
// "1" to "5" (options A to E), and any other code but "-".
enum CodeKind { keyed_code, option_a_code, option_e_code = option_a_code + 4, other_code, code_kinds };

// For the key check: the student records by the answer count their codes
// were written for (more than checked_questions counted as that many, none
// below 1), and per question the codes written at its position by kind. A
// question's "-" codes are the records that reach it less the codes
// counted there.
struct CodeCounts {
  std::array<std::uint64_t, checked_questions + 1> records_by_answers{};
  std::array<std::array<std::uint64_t, code_kinds>, checked_questions> codes{};  // [q - 1][kind]

  bool operator==(const CodeCounts&) const = default;
};

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
  bool byte_order_mark_skipped = false;  // the file starts with a UTF-8 byte-order mark, not read
  bool line_feeds_end_lines = false;     // a file of LF line ends, read as if each were CR LF
  std::uint64_t student_records = 0;
  bool header_read = false;
  std::int64_t declared_questions = 0;  // the last header record's numbers, rounded, not wrapped
  std::int64_t declared_students = 0;
  std::int64_t expected_answers = 0;  // the answer count the next student record is expected to have
  std::vector<WarnedRecord> warned;   // the first kept_warned_records, in file order
  std::uint64_t warned_left_out = 0;
  bool answer_key_read = false;
  // Student records read while no answer-key record had been: their codes
  // compare nothing with a key. The first one's line.
  std::uint64_t students_without_key = 0;
  std::uint64_t first_line_without_key = 0;
  int most_answers = 0;  // the most answer positions a student record's codes were written for
  CodeCounts code_counts;

  bool operator==(const RunTally&) const = default;
};

// A text from the course file as the report keeps it.
std::string kept_text(std::string_view text);

// Keeps the record while fewer than kept_warned_records are kept, else counts it.
void note_warned_record(RunTally& tally, WarnedRecord record);

}  // namespace coursefile
