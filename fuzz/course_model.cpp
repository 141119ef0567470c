#include "course_model.hpp"

namespace model {

std::string_view readable_part(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a UTF-8 byte-order mark is never read
  const std::size_t stop = bytes.find('\x1a');
  return stop == std::string_view::npos ? bytes : bytes.substr(0, stop);
}

std::vector<std::string> lines_of(std::string_view bytes) {
  const std::string_view text = readable_part(bytes);
  // No CR in what is read, and at least one LF: every LF counts as CR LF.
  const bool line_feeds_only = text.find('\r') == std::string_view::npos && text.find('\n') != std::string_view::npos;
  const char line_end = line_feeds_only ? '\n' : '\r';
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::string line;
    while (at < text.size() && text[at] != line_end) line += text[at++];
    if (at < text.size()) {
      ++at;  // the line end
      if (!line_feeds_only && at < text.size() && text[at] == '\n') ++at;
    }
    lines.push_back(line);
  }
  return lines;
}

namespace {

constexpr std::size_t none = std::string_view::npos;

void skip_blanks(std::string_view line, std::size_t& at) {
  while (at < line.size() && line[at] == ' ') ++at;
}

// Steps over the field that starts at `at` and the comma behind it; false
// when there is no such comma.
bool skip_field(std::string_view line, std::size_t& at) {
  if (line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    if (close == none) return false;
    at = close + 1;
  }
  const std::size_t comma = line.find(',', at);
  if (comma == none) return false;
  at = comma + 1;
  return true;
}

}  // namespace

std::string field(std::string_view line, std::size_t n) {
  if (n == 0 || line.empty()) return {};
  std::size_t at = 0;
  for (std::size_t counter = 1;; ++counter) {
    skip_blanks(line, at);
    if (at >= line.size()) return {};
    if (counter == n) break;
    if (!skip_field(line, at)) return {};
  }
  if (line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    return std::string(line.substr(at + 1, close == none ? none : close - at - 1));
  }
  if (line[at] == ',') return {};
  const std::size_t comma = line.find(',', at);
  std::string_view value = line.substr(at, comma == none ? none : comma - at);
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  return std::string(value);
}

std::int64_t separating_commas(std::string_view line) {
  std::int64_t commas = 0;
  std::size_t at = 0;
  while (true) {
    skip_blanks(line, at);
    if (at >= line.size() || !skip_field(line, at)) return commas;
    ++commas;
  }
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool split_crlf_lines(std::string_view text, std::vector<std::string>& lines) {
  lines.clear();
  std::string line;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r') {
      line += text[at];
      continue;
    }
    if (at + 1 >= text.size() || text[at + 1] != '\n') return false;
    ++at;
    lines.push_back(line);
    line.clear();
  }
  return line.empty();
}

}  // namespace model
