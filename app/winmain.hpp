// The conversion run, start to end, as one procedure that owns all of the
// run's state.
#pragma once

#include <string_view>

namespace app {

// command_tail: the text after the program's name on its command line. An
// empty course name in it makes an interactive run. Returns the exit code.
int WINMAIN(std::string_view command_tail);

}  // namespace app
