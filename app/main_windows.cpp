#include <windows.h>

#include "app/command_tail.hpp"
#include "app/winmain.hpp"

int main() {
  // The tail is taken from the full command line exactly as the system
  // reports it, quotes and blanks included, not from the C library's
  // split into arguments.
  const char* line = ::GetCommandLineA();
  return app::WINMAIN(app::command_tail_of(line != nullptr ? line : ""));
}
