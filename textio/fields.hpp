// The default field rule: commas separate fields, blanks before a field are
// skipped, a field whose first character is a double quote runs to the next
// double quote, an unquoted field loses its trailing blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textio/strings.hpp"

namespace textio {

constexpr char double_quote = '"';  // opens a quoted field
constexpr char tab = '\t';          // a comma, wherever it stands in a course file line

// One field by the field rule: its value, and where it ends.
struct FieldTaken {
  std::string_view value;
  // The comma that ends the field; or end, when no comma follows (a field
  // with an unclosed quote runs to the end); or the byte where the reader
  // stopped.
  const char* after;
  bool quoted;
};

// The blanks in front of a field are skipped.
inline const char* skip_blanks(const char* at, const char* const end) {
  while (at < end && *at == blank) ++at;
  return at;
}

// Takes the field whose first byte after its leading blanks is at `at`
// (at < end), up to `end`. A reader of bytes that run on past the end of
// its line stops at the first byte for which stops(byte) is true, whatever
// the field holds there, and finds `after` at that byte: a reader of one
// line passes a `stops` that is never true. Linear in the bytes taken.
template <class Stops>
FieldTaken take_field(const char* const at, const char* const end, Stops stops) {
  if (*at == double_quote) {
    // The value runs to the next double quote; what follows it up to the
    // next comma is ignored.
    const char* const value_begin = at + 1;
    const char* close = value_begin;
    while (close < end && *close != double_quote && !stops(*close)) ++close;
    const std::string_view value(value_begin, static_cast<std::size_t>(close - value_begin));
    if (close == end || *close != double_quote) return {value, close, true};
    const char* comma = close + 1;
    while (comma < end && *comma != ',' && !stops(*comma)) ++comma;
    return {value, comma, true};
  }
  const char* comma = at;
  while (comma < end && *comma != ',' && !stops(*comma)) ++comma;
  return {trim_right({at, static_cast<std::size_t>(comma - at)}), comma, false};
}

// One pass over a line: the values of its first fields (views into the line)
// and the number of commas that separate fields, counted over the whole line.
// A comma inside a quoted field separates nothing and is not counted.
struct SplitLine {
  std::vector<std::string_view> fields;  // fields[0] is field 1
  std::int64_t separators = 0;
  // No kept field has a blank at either end; false once a quoted field, whose
  // text keeps its blanks, has been seen.
  bool trimmed = true;
  // The line has neither blanks nor double quotes: every comma separates, and
  // every field, kept or not, is exactly the bytes between two commas, so a
  // reader may take the fields after the kept ones straight from the line.
  bool between_commas = false;
};

// Splits text, keeping at most max_fields field values; the separator count
// always covers the whole text. Linear in the length of text.
void split_fields(std::string_view text, std::size_t max_fields, SplitLine& out);

// Field n (from 1) of text; the empty view when the text has no field n.
inline std::string_view field_of(const SplitLine& split, std::size_t n) {
  return n == 0 || n > split.fields.size() ? std::string_view{} : split.fields[n - 1];
}

// Field n of text by the same rule, for a single look-up.
std::string field(std::string_view text, std::size_t n);

}  // namespace textio
