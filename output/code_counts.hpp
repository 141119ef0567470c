// What the key check counts while answers are coded: the codes written at
// each question's position, by kind (coursefile::CodeKind). Both ways of
// coding put each student record's codes for questions 1 to 100 in a row
// of their own, one byte per position; every 255 records the rows are
// counted a column of sixteen positions at a time, down all rows, and at
// the end of the reading the counts go into the run's tally. Counting so
// costs the one pass a copy of its codes and a few vector steps per sixteen
// codes of each record, with no counter stored per record.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "coursefile/run_tally.hpp"

namespace output {

struct PendingCodeCounts {
  static constexpr int rows = 255;      // a byte counts as many records
  static constexpr int row_size = 112;  // questions 1 to 100, and room to a whole sixteen
  // Row r holds record r's codes, a byte per position: the code when it is
  // one byte long, another_code for a longer one, "-" where the record has
  // none.
  std::array<char, rows * row_size> codes;
  int records = 0;  // rows in use
  int widest = 0;   // the most positions a row in use holds
  decltype(coursefile::CodeCounts::codes) counted{};

  PendingCodeCounts() { codes.fill('-'); }
};

// The byte that stands for a code longer than one byte: no kind of its own.
constexpr char another_code = 'x';

// The row for the codes of the record being coded, all "-".
inline char* code_row(PendingCodeCounts& pending) {
  return pending.codes.data() + pending.records * PendingCodeCounts::row_size;
}

// A code of the one pass that is not one byte long, at position q.
struct LongerCode {
  int q;
  std::size_t size;
};

// Puts in the record's row the codes of positions 1 to `positions`, one
// after another from `codes`: one byte each, but for those listed in
// `longer` (by position). Returns how many positions the row holds.
int put_codes(PendingCodeCounts& pending, const char* codes, int positions, const std::vector<LongerCode>& longer);

// The record's row holds its codes at positions 1 to `positions` (at most
// 100).
void end_counted_record(PendingCodeCounts& pending, int positions);

// Puts the counts into the tally and empties the rows: due at the end of the
// reading.
void add_code_counts(PendingCodeCounts& pending, coursefile::RunTally& tally);

}  // namespace output
