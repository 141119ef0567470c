#include "platform/name_list.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "textio/strings.hpp"

namespace platform {

void sort_list(std::span<std::string> names) {
  // Each upper-case form is made once, not at every comparison.
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(textio::upper_case(name), std::move(name));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    const int by_upper = textio::compare_bytes(a.first, b.first);
    return by_upper != 0 ? by_upper < 0 : textio::compare_bytes(a.second, b.second) < 0;
  });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace platform
