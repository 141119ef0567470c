// The command word that opens a text file in the desktop's editor: the first
// part of the command line "<word>  <file name>".
#pragma once

#include <string_view>

namespace platform {

// editor_command_linux.cpp, editor_command_macos.cpp or
// editor_command_windows.cpp, chosen by the build.
std::string_view editor_command();

}  // namespace platform
