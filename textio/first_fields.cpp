#include "textio/first_fields.hpp"

#include <cstring>

namespace textio {

namespace {

using Part = FirstFieldReader::Part;

void keep(FirstFieldReader& reader, char byte) {
  FirstField& field = reader.field;
  if (byte == ' ') {
    if (!field.text.empty()) ++reader.blanks;  // blanks in front are no part of it
    return;
  }
  const std::size_t size = field.text.size() + reader.blanks + 1;
  if (size > first_field_kept) {
    field.longer = true;
    return;
  }
  field.text.append(reader.blanks, ' ');
  field.text += byte;
  reader.blanks = 0;
}

// Field 1 is complete: the rest of its line is not looked at.
FirstFieldTaken field_ended(FirstFieldReader& reader, std::size_t bytes) {
  FirstFieldTaken taken{bytes, true, std::move(reader.field)};
  reader.field = FirstField{};
  reader.blanks = 0;
  reader.part = Part::rest_of_line;
  return taken;
}

void start_line(FirstFieldReader& reader) {
  reader.part = Part::before_field;
  reader.in_line = false;
  reader.after_cr = reader.line_end_byte == '\r';
}

}  // namespace

FirstFieldTaken take_first_field(FirstFieldReader& reader, std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (reader.after_cr) {
      reader.after_cr = false;
      if (text[at] == '\n') {
        ++at;
        continue;
      }
    }
    if (reader.part == Part::rest_of_line) {
      const void* const stop = std::memchr(text.data() + at, reader.line_end_byte, text.size() - at);
      if (stop == nullptr) return {text.size(), false, {}};
      at = static_cast<std::size_t>(static_cast<const char*>(stop) - text.data()) + 1;
      start_line(reader);
      continue;
    }
    const char byte = text[at];
    if (byte == reader.line_end_byte) {
      FirstFieldTaken taken = field_ended(reader, at + 1);
      start_line(reader);
      return taken;
    }
    reader.in_line = true;
    const bool comma = byte == ',' || byte == '\t';
    switch (reader.part) {
      case Part::before_field:
        if (byte == '"') {
          reader.part = Part::quoted;
        } else if (comma) {
          return field_ended(reader, at + 1);
        } else if (byte != ' ') {
          reader.part = Part::unquoted;
          keep(reader, byte);
        }
        break;
      case Part::unquoted:
        if (comma) return field_ended(reader, at + 1);
        keep(reader, byte);
        break;
      case Part::quoted:
        // What follows the closing quote, up to the next comma, is ignored.
        if (byte == '"') return field_ended(reader, at + 1);
        keep(reader, byte == '\t' ? ',' : byte);
        break;
      case Part::rest_of_line: break;
    }
    ++at;
  }
  return {text.size(), false, {}};
}

FirstFieldTaken end_first_fields(FirstFieldReader& reader) {
  if (reader.part == Part::rest_of_line || !reader.in_line) return {};
  return field_ended(reader, 0);
}

}  // namespace textio
