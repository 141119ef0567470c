// The start of an outside program from a command line, such as the text
// editor at the end of a run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr int show_normal = 1;  // window style: a normal, activated window

struct ProgramStart {
  long process_number = 0;  // of no use to the run; kept only for the record
  int error = 0;            // 0 when the program was started
};

// Starts the whole command line (a long file name is never cut). Without wait
// the program goes on at once and the started one runs on independently,
// even after this process has ended; it never writes into our console. A
// program that cannot be started is reported only through error.
ProgramStart start_program(std::string_view command_line, int window_style, bool wait);

// Where programs take an argument vector: the command line's words up to the
// first two blanks in a row are the program and its options; everything
// after those two blanks is one argument, kept exactly (blanks included), as
// a Windows program receives the rest of its command line.
std::vector<std::string> program_arguments(std::string_view command_line);

// The system's part (program_start_posix.cpp, program_start_windows.cpp).
ProgramStart start_program_os(const std::string& command_line, int window_style, bool wait);

}  // namespace platform
