#include <csignal>
#include <string>

#include "app/command_tail.hpp"
#include "app/program_information.hpp"
#include "app/winmain.hpp"

int main(int argc, char** argv) {
  // A reader that goes away (a closed pipe) must not end the run before the
  // output files are complete.
  std::signal(SIGPIPE, SIG_IGN);
  const std::string tail = app::command_tail_of(argc, argv);
  if (app::answer_information_request(tail, {"--help", "-h"})) return 0;
  return app::WINMAIN(tail);
}
