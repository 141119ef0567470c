#include "textio/unread_memory.hpp"

namespace textio {

void mark_unreadable(const void*, std::size_t) {}
void mark_readable(const void*, std::size_t) {}

}  // namespace textio
