// Writes the ranges of character_width_table.hpp, from this system's
// character_width (the C library's wcwidth in a UTF-8 locale), into the file
// named by its argument (console/character_width_ranges.cpp):
//   cmake --build build/tests --target character_width_table
// console_test checks the table against the C library of the build machine.
#include <cstdio>
#include <vector>

#include "console/character_width.hpp"
#include "console/character_width_table.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_character_width_table OUTPUT.cpp\n", stderr);
    return 64;
  }
  std::vector<console::WidthRange> ranges;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    const int columns = console::character_width(cp);
    if (columns == 1) continue;
    if (!ranges.empty() && ranges.back().last + 1 == cp && ranges.back().columns == columns) {
      ranges.back().last = cp;
    } else {
      ranges.push_back({cp, cp, static_cast<unsigned char>(columns)});
    }
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out,
               "// Made by make_character_width_table from the C library's wcwidth; do not\n"
               "// edit. See character_width_table.hpp.\n"
               "// The table keeps the layout it is made in:\n"
               "// clang-format off\n"
               "#include \"console/character_width_table.hpp\"\n\n"
               "#include <array>\n\n"
               "namespace console {\n\nnamespace {\n\n"
               "constexpr std::array<WidthRange, %zu> ranges = {{\n",
               ranges.size());
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    std::fprintf(out, "%s{0x%04X, 0x%04X, %d},%s", i % 4 == 0 ? "    " : " ", static_cast<unsigned>(ranges[i].first),
                 static_cast<unsigned>(ranges[i].last), ranges[i].columns,
                 i % 4 == 3 || i + 1 == ranges.size() ? "\n" : "");
  }
  std::fprintf(out,
               "}};\n\n}  // namespace\n\n"
               "const std::span<const WidthRange> width_ranges = ranges;\n\n"
               "}  // namespace console\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
