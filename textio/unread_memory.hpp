// Memory that holds nothing yet, such as the part of the course file's
// read-ahead that no read has filled. A sanitizer build marks it so that
// any look at it is reported, as a look past the end of an allocation of
// the exact size would be; every other build does nothing here.
#pragma once

#include <cstddef>

namespace textio {

void mark_unreadable(const void* begin, std::size_t size);
void mark_readable(const void* begin, std::size_t size);

}  // namespace textio
