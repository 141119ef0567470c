#include "platform/file_search.hpp"

#include <algorithm>

#include "textio/file_system.hpp"
#include "textio/strings.hpp"

namespace platform {

namespace {

bool passes_filter(const DirectoryEntry& entry, int selection) {
  if (entry.name == "." || entry.name == "..") return false;
  for (int attribute : {hidden, system, directory}) {
    if ((entry.attributes & attribute) != 0 && (selection & attribute) == 0) return false;
  }
  return true;
}

}  // namespace

std::string first_file_name(FileSearch& search, std::string_view pattern, int selection) {
  if (pattern.empty()) return next_file_name(search);
  search = FileSearch{};
  search.selection = selection;
  for (DirectoryEntry& entry : matching_entries(pattern)) {
    if (passes_filter(entry, selection)) search.names.push_back(std::move(entry.name));
  }
  search.open = !search.names.empty();
  return next_file_name(search);
}

std::string next_file_name(FileSearch& search) {
  if (!search.open) return {};
  if (search.next >= search.names.size()) {
    search = FileSearch{};
    return {};
  }
  return search.names[search.next++];
}

bool file_exists(FileSearch& search, std::string_view name) { return !first_file_name(search, name, 0).empty(); }

std::vector<std::string> files_named(FileSearch& search, std::string_view name) {
  const std::string folder = textio::os::resolve_name(std::string(textio::os::folder_part(name)));
  std::vector<std::string> files;
  for (std::string found = first_file_name(search, name, 0); !found.empty(); found = next_file_name(search)) {
    files.push_back(folder + found);
  }
  std::sort(files.begin(), files.end(),
            [](const std::string& a, const std::string& b) { return textio::compare_bytes(a, b) < 0; });
  return files;
}

bool folder_named(std::string_view name) {
  for (const DirectoryEntry& entry : matching_entries(name)) {
    if ((entry.attributes & directory) != 0 && entry.name != "." && entry.name != "..") return true;
  }
  return false;
}

bool wildcard_match(std::string_view pattern, std::string_view name) {
  // Iterative match with one back-track point: linear in practice, and
  // never exponential however many stars the pattern holds.
  auto same = [](char a, char b) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return up(a) == up(b);
  };
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size() || pattern.substr(p) == ".*";
}

}  // namespace platform
