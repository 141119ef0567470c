// Field 1 of each line of a text given a piece at a time, for a reader that
// looks through a file of any size for a line with a certain field 1 and
// keeps none of it: the lines as an input channel reads them with a given
// line end byte (a CR takes one LF after it), every tab a comma, and field 1
// by the field rule, trimmed, as far as its first bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textio {

// Bytes of a field 1 kept: enough to tell any record tag, and what follows
// it, from other text.
inline constexpr std::size_t first_field_kept = 16;

struct FirstField {
  std::string text;     // trimmed, its first first_field_kept bytes
  bool longer = false;  // the trimmed field has more bytes than these
};

// Where the reading is; starts at the beginning of a line.
struct FirstFieldReader {
  enum class Part { before_field, unquoted, quoted, rest_of_line };
  char line_end_byte = '\r';
  Part part = Part::before_field;
  bool in_line = false;   // a byte of the current line has been read
  bool after_cr = false;  // a CR ended the last line: a LF next belongs to its line end
  FirstField field;
  std::size_t blanks = 0;  // blanks after the field's last other byte: inside it only if more follows
};

struct FirstFieldTaken {
  std::size_t bytes = 0;     // of the text, read
  bool field_ended = false;  // a line's field 1 is complete: `field`
  FirstField field;
};

// Reads `text` until a line's field 1 is complete or the text is used up;
// the next call goes on with the bytes after those read. The text given is
// the file's bytes before its end (a 0x1A or the end of the file).
FirstFieldTaken take_first_field(FirstFieldReader& reader, std::string_view text);

// At the end of the file: field 1 of a last line without a line end, when
// it was not complete yet.
FirstFieldTaken end_first_fields(FirstFieldReader& reader);

}  // namespace textio
