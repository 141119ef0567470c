#include "dialogs/toolkit.hpp"

#include <algorithm>

#include "dialogs/input_box.hpp"
#include "dialogs/list_box.hpp"
#include "dialogs/plain_boxes.hpp"

namespace dialogs {

namespace {

// Like the library it stands for, the toolkit serves one console per process.
console::Console* toolkit_console = nullptr;

}  // namespace

void InitConsoleTools(console::Console* instance, std::int32_t, std::int32_t, std::int32_t, std::int32_t&,
                      std::int32_t) {
  toolkit_console = instance;
}

void ConsoleIcon(std::int32_t) {
  // A terminal window has no icon the program could set.
}

std::string ConsoleTitle(const std::string& title) {
  if (toolkit_console != nullptr) console::set_title(*toolkit_console, title);
  return title;
}

std::int32_t LocOfRow(std::int32_t row) {
  if (toolkit_console == nullptr) return row;
  return std::clamp(row, 1, toolkit_console->screen.height);
}

std::int32_t LocOfCol(std::int32_t col) {
  if (toolkit_console == nullptr) return col;
  return std::clamp(col, 1, toolkit_console->screen.width);
}

std::string ConsoleInputBox(std::int32_t, std::int32_t column, std::int32_t row, const std::string& first_text,
                            const std::string& second_text, const std::string& default_text, std::int32_t,
                            std::int32_t) {
  if (toolkit_console == nullptr) return {};
  console::Console& console = *toolkit_console;
  if (console.form == console::Form::plain) return plain_input_box(console, first_text, second_text);
  return run_input_box(console, row, column, first_text, second_text, default_text);
}

std::string ConsoleListBox(std::int32_t, std::int32_t, std::int32_t, const std::string& first_text,
                           const std::string& second_text, std::span<const std::string> items, std::int32_t,
                           std::int32_t, std::int32_t) {
  if (toolkit_console == nullptr) return {};
  console::Console& console = *toolkit_console;
  if (console.form == console::Form::plain) return plain_list_box(console, first_text, second_text, items);
  return run_list_box(console, first_text, second_text, items);
}

}  // namespace dialogs
