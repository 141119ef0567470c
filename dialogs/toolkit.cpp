#include "dialogs/toolkit.hpp"

namespace dialogs {

namespace {

// Like the library it stands for, the toolkit serves one console per process.
console::Console* toolkit_console = nullptr;

}  // namespace

void InitConsoleTools(console::Console* instance, std::int32_t, std::int32_t, std::int32_t, std::int32_t&,
                      std::int32_t) {
  toolkit_console = instance;
}

void ConsoleIcon(std::int32_t) {
  // A terminal window has no icon the program could set.
}

std::string ConsoleTitle(const std::string& title) {
  if (toolkit_console != nullptr) console::set_title(*toolkit_console, title);
  return title;
}

}  // namespace dialogs
