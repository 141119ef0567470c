// The columns of every character as a table: what character_width gives on
// a POSIX system (the C library's wcwidth in a UTF-8 locale), for a build
// whose C library has no wcwidth (Windows), so that both builds lay out the
// same text in the same cells. The ranges (character_width_ranges.cpp) are
// made by make_character_width_table from the C library of a POSIX build.
#pragma once

#include <span>

namespace console {

// A run of characters that do not take one column each: columns 2 (shown
// double-width) or 0 (no column of its own, or nothing to show).
struct WidthRange {
  char32_t first;
  char32_t last;
  unsigned char columns;
};

// Ascending, not overlapping; every character outside them takes 1 column.
extern const std::span<const WidthRange> width_ranges;

// 1 or 2 as character_width says; 0 likewise.
int tabled_character_width(char32_t code_point);

}  // namespace console
