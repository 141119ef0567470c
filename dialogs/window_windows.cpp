#include <windows.h>

#include "dialogs/toolkit.hpp"

namespace dialogs {

void ConsoleToTop() {
  HWND window = ::GetConsoleWindow();
  if (window != nullptr) ::SetForegroundWindow(window);
}

}  // namespace dialogs
