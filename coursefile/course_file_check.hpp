// Whether the file named as the course file is one: a course file holds at
// least one record, a line whose field 1 is SH3, FH or SD. A file that holds
// none (saved as UTF-16, its fields separated by ";", empty) would convert
// into empty outputs in place of the operator's good ones, so it is not
// converted; what it likely is instead is told from its bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "textio/file_system.hpp"

namespace coursefile {

struct CourseFileLook {
  bool looked = false;      // a disk file, opened and read as far as it takes
  bool has_record = false;  // a line whose field 1 is a record's tag
  // Of a file without a record, what it likely is:
  bool empty = false;       // no byte before its end or a 0x1A, but a UTF-8 byte-order mark
  bool utf16 = false;       // it starts as UTF-16 text does (utf16_text)
  bool semicolons = false;  // a line's field 1 is a record's tag followed by ";"
};

// Reads the file's lines as the reading loop would (the line end the
// channel decides, 0x1A the end, a UTF-8 byte-order mark passed over, tabs
// commas), field 1 of each by the field rule, up to the first record: a
// usual course file costs its first line. Memory stays the same for a file
// of any size. A file that cannot be opened or read, or is no disk file, is
// not looked at: its reading reports it.
CourseFileLook look_at_course_file(const std::string& name, textio::os::NameMatch match);

// Whether a file's first bytes are UTF-16 text: they start with its
// byte-order mark (FF FE or FE FF), or at least half of their pairs of
// bytes hold a zero byte on one and the same side, as text of the Latin
// letters does.
bool utf16_text(std::string_view first_bytes);

// The lines that refuse a file looked at, naming it as `shown_name`: the
// first says it has no record, the second, when one can be told, why. None
// for a course file or one not looked at.
std::vector<std::string> not_a_course_file(std::string_view shown_name, const CourseFileLook& look);

// The same in a few words, for a line of a summary: "not a course file:
// UTF-16 text". Empty where not_a_course_file gives no lines.
std::string refusal_in_brief(const CourseFileLook& look);

}  // namespace coursefile
