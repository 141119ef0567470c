// Course files of any size for the benchmarks: a class of students, a file
// of a given size, one very long line, many lines that are not records.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// The answer-key record, the header record for `students` x `answers` and
// the student records, each a fixed-width line so sizes are exact.
void write_class(const std::string& path, std::int64_t students, int answers);

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
std::string student_line(std::int64_t number, int answers);

}  // namespace bench
