#include "textio/fields.hpp"

#include <cstring>

#include "textio/strings.hpp"

namespace textio {

void split_fields(std::string_view text, std::size_t max_fields, SplitLine& out) {
  out.fields.clear();
  out.separators = 0;
  const char* at = text.data();
  const char* const end = at + text.size();
  while (true) {
    while (at < end && *at == blank) ++at;
    if (at == end) return;

    const char* value_begin;
    const char* value_end;
    const char* comma;
    if (*at == '"') {
      value_begin = at + 1;
      value_end = static_cast<const char*>(std::memchr(value_begin, '"', static_cast<std::size_t>(end - value_begin)));
      if (value_end == nullptr) {
        // An unclosed quote runs to the end of the line: no later comma
        // separates anything.
        if (out.fields.size() < max_fields) out.fields.emplace_back(value_begin, static_cast<std::size_t>(end - value_begin));
        return;
      }
      comma = static_cast<const char*>(std::memchr(value_end + 1, ',', static_cast<std::size_t>(end - value_end - 1)));
    } else {
      // Most fields are a byte or two: a plain scan beats a library call.
      value_begin = at;
      comma = at;
      while (comma < end && *comma != ',') ++comma;
      value_end = comma;
      while (value_end > value_begin && value_end[-1] == blank) --value_end;
      if (comma == end) comma = nullptr;
    }
    if (out.fields.size() < max_fields) {
      out.fields.emplace_back(value_begin, static_cast<std::size_t>(value_end - value_begin));
    }
    if (comma == nullptr) return;
    ++out.separators;
    at = comma + 1;
  }
}

std::string field(std::string_view text, std::size_t n) {
  if (n == 0) return {};
  SplitLine split;
  split_fields(text, n, split);
  return std::string(field_of(split, n));
}

}  // namespace textio
