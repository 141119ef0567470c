#include "console/character_width_table.hpp"

#include <gtest/gtest.h>

#include "console/character_width.hpp"

namespace console {
namespace {

// The Windows build lays text out by the table, the POSIX build by the C
// library: they must agree on every character. A C library with other
// widths (a newer Unicode) needs the table made again:
// `cmake --build build/tests --target character_width_table`.
TEST(CharacterWidthTable, AgreesWithTheCLibraryOnEveryCharacter) {
  int differences = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    const int table = tabled_character_width(cp);
    const int library = character_width(cp);
    if (table != library && ++differences <= 20) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp) << std::dec << ": table " << table
                    << ", C library " << library;
    }
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace console
