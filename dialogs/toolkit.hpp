// The console dialog toolkit: window properties and the input and list boxes,
// drawn on the run's console. The operations keep the names and argument
// lists the conversion run was written against.
#pragma once

#include <cstdint>
#include <string>

#include "console/console.hpp"

namespace dialogs {

// The instance handed to the toolkit is the console its boxes draw on.
void InitConsoleTools(console::Console* instance, std::int32_t a, std::int32_t b, std::int32_t c,
                      std::int32_t& reserved, std::int32_t d);
void ConsoleIcon(std::int32_t icon);
std::string ConsoleTitle(const std::string& title);

}  // namespace dialogs
