#include "dialogs/plain_boxes.hpp"

#include <algorithm>
#include <string>

#include "dialogs/list_box.hpp"
#include "textio/strings.hpp"

namespace dialogs {

namespace {

void print_line(console::Console& console, std::string_view text) {
  console::print_text(console, text);
  console::line_end(console);
}

// The item number a line gives (blanks around it allowed), or 0.
std::size_t item_number(std::string_view line) {
  const std::string_view digits = textio::trim(line);
  if (digits.empty() || digits.size() > 9) return 0;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
  return std::stoul(std::string(digits));
}

}  // namespace

std::optional<std::string> read_plain_line(console::Console& console) {
  std::string line;
  bool any = false;
  char byte = 0;
  while (console::read_line_byte(console, byte)) {
    any = true;
    if (byte == '\n') break;
    line += byte;
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string plain_input_box(console::Console& console, std::string_view first_text, std::string_view second_text) {
  print_line(console, first_text);
  print_line(console, second_text);
  return read_plain_line(console).value_or(std::string());
}

std::string plain_list_box(console::Console& console, std::string_view first_text, std::string_view second_text,
                           std::span<const std::string> items) {
  const std::vector<std::string_view> names = non_empty_items(items);
  print_line(console, first_text);
  print_line(console, second_text);
  for (std::size_t i = 0; i < names.size(); ++i) {
    console::print_text(console, std::to_string(i + 1));
    console::print_text(console, " ");
    print_line(console, names[i]);
  }
  const std::optional<std::string> line = read_plain_line(console);
  if (!line) return {};
  const std::size_t number = item_number(*line);
  if (number >= 1 && number <= names.size()) return std::string(names[number - 1]);
  if (std::find(names.begin(), names.end(), *line) != names.end()) return *line;
  return {};
}

}  // namespace dialogs
