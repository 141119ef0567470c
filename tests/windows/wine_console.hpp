// A Windows program on a real Wine console: started by Wine directly in a
// pseudo-terminal (the pty harness of the terminal tests), so that Wine's
// console host, conhost.exe, gives it a console, draws that console into the
// terminal and turns the terminal's keys into console input records.
//
// Under Wine the program does not read the terminal itself: the console
// host does, and hands records over through the Wine server. So "the
// program waits for the operator" is a state of two processes here; see
// waits_for_operator.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/pty_harness.hpp"

namespace wine_console {

struct WineConsoleRun {
  pty_test::PtyProgram program;              // the Windows program's own process
  pid_t host = -1;                           // the console host drawing into the terminal
  std::vector<std::uint64_t> last_activity;  // what waits_for_operator saw last
  int quiet_looks = 0;                       // how many looks in a row saw no thread run
};

// How many looks in a row must see every thread asleep and none run since
// the look before. wait_for_operator looks about every 10 ms, so a thread
// woken by a timer, or polling, any more often than every 50 ms is seen.
constexpr int quiet_looks_needed = 5;

// Starts `wine exe arguments...` in folder cwd on a terminal of that size,
// with the Wine settings of the Windows tests; standard input from
// input_file when one is given (as a shell's <), else the terminal; standard
// output into output_file when one is given (as a shell's >).
bool start(WineConsoleRun& run, const std::string& exe, const std::vector<std::string>& arguments,
           const std::string& cwd, int rows = 30, int cols = 80, const std::string& input_file = {},
           const std::string& output_file = {});

// True when the run waits for the operator: every byte sent has been read
// from the terminal, the console host is found, and at this look and the
// quiet_looks_needed looks before it every thread of the host and of the
// program slept and none of them ran in between. Under Wine a thread that
// blocks for good and one that sleeps until a timer look alike at any one
// moment (both wait on the Wine server); only the timer's wake-ups tell
// them apart.
bool waits_for_operator(WineConsoleRun& run);
// Pumps the terminal until waits_for_operator holds (true), the program
// ends or the time runs out (false). The time allows for Wine's start.
bool wait_for_operator(WineConsoleRun& run, std::chrono::milliseconds timeout = std::chrono::seconds(90));

// Waits for the program's end and then for the console host's, whose last
// output (the title and colours given back) lands after the program has
// gone; the program's exit code, or -1.
int wait_for_end(WineConsoleRun& run, std::chrono::milliseconds timeout = std::chrono::seconds(90));

// Processor time used so far by every thread of the program and its host.
std::chrono::nanoseconds cpu_time(const WineConsoleRun& run);

}  // namespace wine_console
