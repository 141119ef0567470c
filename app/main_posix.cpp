#include <csignal>

#include "app/command_tail.hpp"
#include "app/winmain.hpp"

int main(int argc, char** argv) {
  // A reader that goes away (a closed pipe) must not end the run before the
  // output files are complete.
  std::signal(SIGPIPE, SIG_IGN);
  return app::WINMAIN(app::command_tail_of(argc, argv));
}
