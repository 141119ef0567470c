// The console of a run made in the test's own process, for as long as the
// value lives: standard input at its end, so that no wait for the operator
// waits, and standard output into a file, to be read back afterwards.
#pragma once

#include <filesystem>

namespace tests {

class ConsoleIntoFile {
 public:
  explicit ConsoleIntoFile(const std::filesystem::path& file);
  ~ConsoleIntoFile();
  ConsoleIntoFile(const ConsoleIntoFile&) = delete;
  ConsoleIntoFile& operator=(const ConsoleIntoFile&) = delete;

 private:
  int saved_in_;
  int saved_out_;
};

}  // namespace tests
