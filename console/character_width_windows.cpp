#include "console/character_width.hpp"

namespace console {

// The Windows console holds one byte of the OEM code page per cell; the
// screen model never asks about characters of several bytes there.
int character_width(char32_t) { return 1; }

}  // namespace console
