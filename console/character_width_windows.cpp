#include "console/character_width.hpp"
#include "console/character_width_table.hpp"

namespace console {

// The C library here has no wcwidth; the table holds what it gives on a
// POSIX system, so that a UTF-8 console lays names out as a terminal does.
int character_width(char32_t code_point) { return tabled_character_width(code_point); }

}  // namespace console
