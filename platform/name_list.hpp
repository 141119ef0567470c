// Lists of names with fixed bounds: sorted in byte order, and shortened at
// the front while keeping their length.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// Ascending in the byte order of names (unsigned bytes, then length), so
// empty entries come first.
void sort_list(std::span<std::string> names);

// Entry 1 leaves the list, the others move up one place and the last entry
// receives fill.
void delete_first_entry(std::span<std::string> names, std::string_view fill);

}  // namespace platform
