#include "textio/unread_memory.hpp"

#include <sanitizer/asan_interface.h>

namespace textio {

void mark_unreadable(const void* begin, std::size_t size) { __asan_poison_memory_region(begin, size); }
void mark_readable(const void* begin, std::size_t size) { __asan_unpoison_memory_region(begin, size); }

}  // namespace textio
