// Course files of any size for the benchmarks: a class of students shaped
// like real answer sheets, a file of a given size, one very long line, many
// lines that are not records.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// What stands in fields 3 to 8 of a student line.
enum class LeadingFields {
  code,         // field 3 a short code (G1), fields 4 to 8 empty
  codes,        // fields 3 to 8 all short codes (G1, F2, R17, ...)
  name,         // field 3 a name with a blank (SMITH J), fields 4 to 8 empty
  quoted_name,  // field 3 a quoted name with a comma ("SMITH, J"), fields 4 to 8 empty
};

// The answer sheets of a class. Each question has a right option, which
// most students choose (how many varies from question to question), the
// others spread over the rest, in either case; `blank_percent` of the
// answers are left blank. The key gives the right option, except for
// question `miskeyed_question` (0: none), which 80% of the students answer
// with its right option and the key gives as the option after it.
struct Sheets {
  int blank_percent = 0;
  LeadingFields fields = LeadingFields::code;
  int miskeyed_question = 0;
};

// The answer-key record, the header record for `students` x `answers` and
// the student records.
void write_class(const std::string& path, std::int64_t students, int answers, const Sheets& sheets = {});

// A class of 100 answers per student grown to about `bytes` bytes (whole
// lines); the header's student count is the 16-bit count the run will
// reach, so a file of any size converts without a warning.
void write_sized(const std::string& path, std::int64_t bytes);

// A small class whose last student record is one line of `line_bytes` bytes
// with `commas` commas, its fields long runs of answer letters.
void write_long_line(const std::string& path, std::int64_t line_bytes, std::int64_t commas);

// `lines` lines that are not records (comments, lower-case tags, tags with
// more behind them, blank lines), between a header and a few students.
void write_non_records(const std::string& path, std::int64_t lines);

// One student record line of a class, without its line end.
std::string student_line(std::int64_t number, int answers, const Sheets& sheets = {});

}  // namespace bench
