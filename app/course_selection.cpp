#include "app/course_selection.hpp"

#include <span>

#include "dialogs/toolkit.hpp"
#include "platform/directory.hpp"
#include "platform/name_list.hpp"
#include "textio/strings.hpp"

namespace app {

namespace {

constexpr std::string_view course_pattern = "*.gbk";
constexpr int normal_files = 0;

void print_line(console::Console& console, std::string_view text) {
  console::print_text(console, text);
  console::line_end(console);
}

std::string input_box(const std::string& first_text, const std::string& second_text) {
  const std::int32_t row = dialogs::LocOfRow(15);
  const std::int32_t col = dialogs::LocOfCol(40);
  return dialogs::ConsoleInputBox(33, col, row, first_text, second_text, "", 1, 32768);
}

std::span<std::string> entries(CourseFileList& list) { return std::span<std::string>(list).subspan(1); }

// Ends the program when the typed name matches no normal file.
std::optional<std::string> manual_course_entry(console::Console& console, platform::FileSearch& search) {
  print_line(console, "If the .gbk course files are in another directory,");
  print_line(console, "add the path to the file name.");
  console::set_colours(console, console::black, console::keep_colour);
  console::line_end(console);
  std::string chosen = input_box("Course: ..", "Provide the complete path and course name");
  if (chosen.empty() || platform::first_file_name(search, chosen, normal_files).empty()) {
    console::print_text(console, "no such file: ");
    print_line(console, chosen);
    console::wait_for_key(console);  // whatever was pressed is of no interest
    return std::nullopt;
  }
  return chosen;
}

}  // namespace

void build_course_file_list(platform::FileSearch& search, CourseFileList& list) {
  std::size_t next_free = 1;
  const std::string first = platform::first_file_name(search, course_pattern, normal_files);
  if (!first.empty()) {
    list[next_free++] = textio::upper_case(first);
    // Exactly 999 more asks, whatever they give: the list never holds more
    // than 1000 names, and a used-up search keeps giving empty names.
    for (int ask = 0; ask < 999; ++ask) {
      const std::string name = platform::next_file_name(search);
      if (!name.empty()) list[next_free++] = textio::upper_case(name);
    }
  }
  if (platform::first_file_name(search, course_pattern, normal_files).empty()) return;
  platform::sort_list(entries(list));
  for (int pass = 0; pass < 1000; ++pass) {
    if (list[1].empty()) platform::delete_first_entry(entries(list), "");
  }
}

std::optional<std::string> select_course_file(console::Console& console, platform::FileSearch& search,
                                              CourseFileList& list) {
  const std::string directory_answer =
      input_box("Change default directory for .gbk course files? ", "<Cancel> accepts program's directory");
  if (!directory_answer.empty()) platform::change_directory(directory_answer);  // a refusal changes nothing

  console::clear_screen(console);
  if (platform::first_file_name(search, course_pattern, normal_files).empty()) {
    console::set_colours(console, console::light_red, console::keep_colour);
    print_line(console, "There are no .gbk files in this directory!!");
    console::line_end(console);
    return manual_course_entry(console, search);
  }

  build_course_file_list(search, list);
  dialogs::ConsoleToTop();
  const std::string chosen =
      dialogs::ConsoleListBox(3, 0, 0, platform::current_directory(), "Select a .gbk file or exit", entries(list), 0, 0, 0);
  console::clear_screen(console);
  if (!chosen.empty()) return chosen;
  return manual_course_entry(console, search);
}

}  // namespace app
