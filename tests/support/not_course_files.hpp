// Files an operator names as the course file that are none, as spreadsheets
// and editors write them: what the program refuses before it opens any
// output, each with the line that says what the file likely is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tests {

// UTF-16 text ("Unicode" in Notepad) of the bytes of `text`: each with a
// zero byte after it (little-endian) or before it (big-endian).
inline std::string utf16(std::string_view text, bool little_endian = true) {
  std::string bytes;
  for (char c : text) {
    if (!little_endian) bytes += '\0';
    bytes += c;
    if (little_endian) bytes += '\0';
  }
  return bytes;
}

struct NotACourseFile {
  const char* what;  // for a test's name: letters and digits only
  std::string bytes;
  std::string cause;  // the line after " X is not a course file: ...", or empty
};

inline const std::string utf16_cause = " it is UTF-16 text: save it as ANSI or UTF-8";

inline std::vector<NotACourseFile> not_course_files() {
  const std::string exam = "SH3,,,,,,,,A,c,B,e,\r\nFH,,,,,,,,4,1,\r\nSD,1001,G1,,,,,,a,B,d,E,\r\n";
  return {
      {"Utf16WithItsMark", "\xFF\xFE" + utf16(exam), utf16_cause},
      {"Utf16WithoutAMark", utf16(exam), utf16_cause},
      {"Utf16BigEndian", "\xFE\xFF" + utf16(exam, false), utf16_cause},
      {"SemicolonSeparated", "SH3;;;;;;;;A;c;B;e;\r\nFH;;;;;;;;4;1;\r\nSD;1001;G1;;;;;;a;B;d;E;\r\n",
       " its fields are separated by \";\""},
      {"Empty", "", " it is empty"},
      {"OnlyEndOfFileByte", "\x1A", " it is empty"},
      {"NoRecord", "Student,Mark\r\n1001,12\r\nsd,1002\r\n", ""},
  };
}

}  // namespace tests
