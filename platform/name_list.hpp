// The order in which course file names are listed.
#pragma once

#include <span>
#include <string>

namespace platform {

// Ascending in the byte order of the names' upper-case form (unsigned bytes,
// then length), so empty entries come first and a folder lists alike on
// every system whatever order its file system keeps; names whose upper-case
// forms are equal follow in the byte order of the names themselves.
void sort_list(std::span<std::string> names);

}  // namespace platform
