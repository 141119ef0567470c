// The command tail and the command-line course name.
#pragma once

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

}  // namespace app
