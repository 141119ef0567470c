// Runs programs for the Windows tests: the POSIX gbkconvert directly, the
// Windows programs under Wine, headless, in a Wine prefix of the tests' own.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace wine_runner {

struct Result {
  int exit_code = -1;  // -1: killed or timed out
  std::string out;
  std::string err;
  bool timed_out = false;
};

// Runs argv in folder cwd with the given standard input bytes; gives up
// after timeout_seconds (the program must never wait for an operator who
// is not there).
Result run(const std::vector<std::string>& argv, const std::string& cwd, const std::string& input = {},
           bool under_wine = false, int timeout_seconds = 60);

// What a Windows program run by Wine finds in its environment on top of the
// caller's, as NAME=value: the tests' own Wine prefix and a quiet Wine.
std::vector<std::string> wine_settings();
// What it loses: the display, so that Wine never tries to open a window.
std::vector<std::string> wine_removed_variables();

// argv of a Windows program started by Wine: the wine loader, then the
// program and its arguments.
std::vector<std::string> wine_command(const std::string& exe, const std::vector<std::string>& arguments);

// Makes sure the Wine prefix exists (created once, whichever test comes
// first) and that a Windows program starts in it. Empty on success,
// otherwise what went wrong.
std::string prepare_wine(const std::string& probe_exe);

// A program left running: standard input a pipe held by the test, standard
// output read until a given line appears.
struct Background {
  pid_t pid = -1;
  int input = -1;
  int output = -1;
};
Background start_background(const std::vector<std::string>& argv, const std::string& cwd, bool under_wine);
// Reads the program's output until it holds text; false on end or timeout.
bool wait_for_output(Background& program, const std::string& text, std::string& seen, int timeout_seconds = 60);
// Ends its input and waits for it to end; its exit code.
int finish_background(Background& program, int timeout_seconds = 60);

// The Windows name of a POSIX path (Wine's drive Z: is the root).
std::string windows_path(const std::string& posix_path);

}  // namespace wine_runner
