// Runs the real gbkconvert in a scratch folder, with given standard input,
// and captures what it prints and its exit code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.hpp"

namespace tests {

struct RunResult {
  std::string output;  // standard output
  std::string errors;  // standard error
  int exit_code = -1;  // the signal number, negated, when a signal ended it
  bool timed_out = false;
};

struct RunOptions {
  std::string input;  // standard input, then end of input
  int timeout_ms = 20000;
  void (*in_child)() = nullptr;  // runs in the child right before exec (limits, signals)
  std::string program = {};      // empty: the program under test where it was built
};

// Runs the program with the given arguments inside folder.
RunResult run_program(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                      const RunOptions& options = {});

// The program under test.
std::string program_path();

// What runs the program under test in a cross build: its emulator
// (qemu-user), through which every run starts it; empty in a native build.
std::string program_emulator();

// A file of the sources by its path from their top ("examples/WARN.GBK"),
// for a test that holds the program to what the sources show.
std::string source_file(const std::string& name);

// For in_child: loads library into the run (LD_PRELOAD), also into a run
// built with the sanitizers, whose runtime then no longer comes first.
void preload_into_run(const char* library);

}  // namespace tests
