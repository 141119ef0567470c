// The default field rule: commas separate fields, blanks before a field are
// skipped, a field whose first character is a double quote runs to the next
// double quote, an unquoted field loses its trailing blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace textio {

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
  bool plain = false;
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
