#include <windows.h>

#include <string>

#include "app/command_tail.hpp"
#include "app/program_information.hpp"
#include "app/winmain.hpp"

int main() {
  // The tail is taken from the full command line exactly as the system
  // reports it, quotes and blanks included, not from the C library's
  // split into arguments.
  const char* line = ::GetCommandLineA();
  const std::string tail = app::command_tail_of(line != nullptr ? line : "");
  if (app::answer_information_request(tail, {"--help", "-h", "/?"})) return 0;
  return app::WINMAIN(tail);
}
