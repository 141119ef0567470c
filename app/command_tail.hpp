// The command tail and the command-line course name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// The text after the program's name in a full command line: a quoted name
// runs to the next quote and the blanks after it are skipped; an unquoted
// name runs to the first byte of 0x20 or less, and if that is a blank, it and
// the blanks after it are skipped. The rest is kept exactly.
std::string command_tail_of(std::string_view command_line);

// POSIX: the arguments after the program's name, joined by one blank.
std::string command_tail_of(int argc, const char* const* argv);

// The tail without blanks at either end; empty means an interactive run.
std::string command_line_course_name(std::string_view command_tail);

// The folder whose course files a course name asks to convert, each in
// turn: "--all" the current folder (the empty text), "--all FOLDER" that
// folder, without the blanks at either end, and without a pair of double
// quotes around it (a Windows command line keeps the quotes typed around a
// name with blanks). Nothing for any other course name.
std::optional<std::string> folder_to_convert_whole(std::string_view course_name);

}  // namespace app
