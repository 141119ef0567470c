// The process's current directory: its full name, and a change of it that
// fails silently (the caller only learns the error number).
#pragma once

#include <string>
#include <string_view>

namespace platform {

constexpr int path_not_found = 76;

// The full path of the current directory, or the empty text when the system
// cannot give it.
std::string current_directory();

// The path is taken whole, never cut; a path holding `*` or `?` is refused
// with path_not_found, as is one that names no directory. Returns 0 when the
// current directory changed, otherwise the error number; the current
// directory then stays as it was.
int change_directory(std::string_view path);

// Whether the entries of the current directory can be listed: a directory
// the process may enter but not read lists no file, which must not pass for
// a directory that holds none (directory_posix.cpp, directory_windows.cpp).
bool current_directory_listable();

// The same rule, then the system's own change (directory_posix.cpp or
// directory_windows.cpp). path holds no wildcard.
int change_directory_os(const std::string& path);

}  // namespace platform
