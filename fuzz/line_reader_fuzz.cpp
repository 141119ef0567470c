// Any bytes as a course file, read through a text channel: the lines must be
// those of the line rule, the fields those of the field rule, and the number
// reading and string operations must hold their laws on every field.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>

#include "course_model.hpp"
#include "require.hpp"
#include "scratch_files.hpp"
#include "textio/channels.hpp"
#include "textio/fields.hpp"
#include "textio/strings.hpp"

namespace {

int sign(std::int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::int64_t plain_count(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return 0;
  std::int64_t count = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

std::string plain_replace(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string result;
  std::size_t at = 0;
  for (std::size_t hit = text.find(pattern); hit != std::string_view::npos; hit = text.find(pattern, at)) {
    result.append(text.substr(at, hit - at)).append(replacement);
    at = hit + pattern.size();
  }
  result.append(text.substr(at));
  return result;
}

// A number written as optional blanks, an optional minus and up to 15
// digits: exact in the reading's precision, so its 16-bit count is known.
bool plain_integer(std::string_view text, std::int64_t& value) {
  text = model::trim(text);
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 15) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  return true;
}

void check_string_laws(std::string_view text, std::string_view pattern, std::string_view replacement) {
  const std::int64_t count = textio::count_occurrences(text, pattern);
  require(count == plain_count(text, pattern), "occurrence count");

  const std::string replaced = textio::replace_all(text, pattern, replacement);
  require(replaced == plain_replace(text, pattern, replacement), "replace all");
  require(static_cast<std::int64_t>(replaced.size()) ==
              static_cast<std::int64_t>(text.size()) +
                  count * (static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(pattern.size())),
          "replace all length");
  const std::string removed = textio::remove_all(text, pattern);
  require(removed == (pattern.size() > text.size() ? std::string(text) : plain_replace(text, pattern, "")),
          "remove all");

  require(textio::trim(text) == model::trim(text), "trim");

  const std::string upper = textio::upper_case(text, textio::CodePage::utf8);
  require(upper.size() == text.size(), "upper case length");
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    require(upper[i] == (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c), "upper case a-z only");
  }

  require(sign(textio::compare_bytes(text, pattern)) == sign(text.compare(pattern)), "byte order");
  require(sign(textio::compare_bytes(pattern, text)) == -sign(text.compare(pattern)), "byte order reversed");
}

void check_line(std::string line) {
  for (char& c : line) {
    if (c == '\t') c = ',';
  }
  textio::SplitLine split;
  constexpr std::size_t kept = 150;
  textio::split_fields(line, kept, split);
  require(split.separators == model::separating_commas(line), "separating commas");
  require(split.between_commas == (line.find_first_of(" \"") == std::string::npos),
          "between commas: no blank, no double quote");
  if (split.trimmed) {
    for (std::string_view value : split.fields) {
      require(value.empty() || (value.front() != ' ' && value.back() != ' '), "a field said to be trimmed");
    }
  }

  // Fields beyond the kept ones are not held: they read as empty.
  for (std::size_t n = 1; n <= kept + 2; ++n) {
    const std::string expected = model::field(line, n);
    require(textio::field_of(split, n) == (n <= kept ? expected : std::string()), "split field");
    if (n <= 12) require(textio::field(line, n) == expected, "single field");
  }

  for (std::size_t n = 1; n <= split.fields.size() && n <= 12; ++n) {
    const std::string_view value = textio::field_of(split, n);
    const long double number = textio::read_number(value);
    const std::int16_t count = textio::to_int16(number);
    std::int64_t exact = 0;
    if (plain_integer(value, exact)) require(count == textio::wrap16(exact), "whole number as a 16-bit count");
  }

  // The reading loop keeps the first three fields only; the count is the same.
  textio::SplitLine leading;
  textio::split_fields(line, 3, leading);
  require(leading.separators == split.separators && leading.between_commas == split.between_commas,
          "a short split counts the same");
  for (std::size_t n = 1; n <= 3; ++n)
    require(textio::field_of(leading, n) == textio::field_of(split, n), "short split");

  check_string_laws(line, textio::field_of(split, 1), textio::field_of(split, 2));
  check_string_laws(textio::field_of(split, 2), textio::field_of(split, 3), textio::field_of(split, 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool filler = false;
  const std::string bytes = scratch::across_first_block({reinterpret_cast<const char*>(data), size}, &filler);
  const std::size_t filler_lines = filler ? 1 : 0;

  scratch::folder().put("COURSE.GBK", bytes);
  const std::string path = (scratch::folder() / "COURSE.GBK").string();

  textio::ChannelTable channels;
  textio::open_for_input(channels, path, 1);
  require(channels.failures.empty(), "course file opens");
  const std::vector<std::string> expected = model::lines_of(bytes);
  std::size_t count = 0;
  while (!textio::at_end(channels, 1)) {
    const std::string line(textio::read_line(channels, 1));
    require(count < expected.size(), "no more lines than the file has");
    require(line == expected[count], "line text");
    if (count >= filler_lines) check_line(line);
    ++count;
  }
  require(count == expected.size(), "every line read");
  textio::close(channels, 1);
  require(channels.failures.empty(), "no failure reported");
  return 0;
}
