#include "console/character_width_table.hpp"

#include <algorithm>
#include <iterator>

namespace console {

int tabled_character_width(char32_t code_point) {
  const auto after = std::upper_bound(width_ranges.begin(), width_ranges.end(), code_point,
                                      [](char32_t cp, const WidthRange& range) { return cp < range.first; });
  if (after == width_ranges.begin() || std::prev(after)->last < code_point) return 1;
  return std::prev(after)->columns;
}

}  // namespace console
