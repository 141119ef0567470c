#include "tests/support/console_into_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace tests {

ConsoleIntoFile::ConsoleIntoFile(const std::filesystem::path& file)
    : saved_in_(::dup(STDIN_FILENO)), saved_out_(::dup(STDOUT_FILENO)) {
  std::fflush(stdout);  // what was printed before goes where it was meant to
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (saved_in_ < 0 || saved_out_ < 0 || in < 0 || out < 0) throw std::runtime_error("console into " + file.string());
  ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::close(in);
  ::close(out);
}

ConsoleIntoFile::~ConsoleIntoFile() {
  std::fflush(stdout);
  ::dup2(saved_in_, STDIN_FILENO);
  ::dup2(saved_out_, STDOUT_FILENO);
  ::close(saved_in_);
  ::close(saved_out_);
}

}  // namespace tests
