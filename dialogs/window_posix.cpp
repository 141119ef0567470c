#include "dialogs/toolkit.hpp"

namespace dialogs {

void ConsoleToTop() {
  // A terminal program cannot raise the window it runs in: the window belongs
  // to the terminal emulator, which the operator is already looking at.
}

}  // namespace dialogs
