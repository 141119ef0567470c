#include "platform/name_list.hpp"

#include <algorithm>

#include "textio/strings.hpp"

namespace platform {

void sort_list(std::span<std::string> names) {
  // Only the strings' handles move; entries that compare equal are equal
  // bytes, so the order among them cannot be seen.
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return textio::compare_bytes(a, b) < 0; });
}

void delete_first_entry(std::span<std::string> names, std::string_view fill) {
  if (names.empty()) return;
  std::move(names.begin() + 1, names.end(), names.begin());
  names.back() = std::string(fill);
}

}  // namespace platform
