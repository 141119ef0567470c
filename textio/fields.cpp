#include "textio/fields.hpp"

#include <cstring>

#include "textio/strings.hpp"

namespace textio {

namespace {

std::size_t find_byte(std::string_view text, std::size_t from, char byte) {
  if (from >= text.size()) return std::string_view::npos;
  const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
  return hit == nullptr ? std::string_view::npos
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

}  // namespace

void split_fields(std::string_view text, std::size_t max_fields, SplitLine& out) {
  out.fields.clear();
  out.separators = 0;
  std::size_t at = 0;
  while (true) {
    while (at < text.size() && text[at] == blank) ++at;
    if (at >= text.size()) return;

    std::string_view value;
    std::size_t comma;
    if (text[at] == '"') {
      const std::size_t close = find_byte(text, at + 1, '"');
      if (close == std::string_view::npos) {
        // An unclosed quote runs to the end of the line: no later comma
        // separates anything.
        if (out.fields.size() < max_fields) out.fields.push_back(text.substr(at + 1));
        return;
      }
      value = text.substr(at + 1, close - at - 1);
      comma = find_byte(text, close + 1, ',');
    } else {
      comma = find_byte(text, at, ',');
      const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
      value = trim_right(text.substr(at, end - at));
    }
    if (out.fields.size() < max_fields) out.fields.push_back(value);
    if (comma == std::string_view::npos) return;
    ++out.separators;
    at = comma + 1;
  }
}

std::string_view field_of(const SplitLine& split, std::size_t n) {
  if (n == 0 || n > split.fields.size()) return {};
  return split.fields[n - 1];
}

std::string field(std::string_view text, std::size_t n) {
  if (n == 0) return {};
  SplitLine split;
  split_fields(text, n, split);
  return std::string(field_of(split, n));
}

}  // namespace textio
