#include "app/course_selection.hpp"

#include <algorithm>
#include <span>
#include <vector>

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

// Ends the program when the typed name matches no normal file.
std::optional<CourseChoice> manual_course_entry(console::Console& console, platform::FileSearch& search) {
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
  return CourseChoice{chosen, false};
}

}  // namespace

std::vector<std::string> course_files_found(platform::FileSearch& search) {
  // Every course file first: which 1000 are listed must not depend on the
  // order in which the file system gives the names.
  std::vector<std::string> found;
  for (std::string name = platform::first_file_name(search, course_pattern, normal_files); !name.empty();
       name = platform::next_file_name(search)) {
    found.push_back(std::move(name));
  }
  platform::sort_list(found);
  return found;
}

void build_course_file_list(platform::FileSearch& search, CourseFileList& list) {
  const std::vector<std::string> found = course_files_found(search);
  std::vector<std::string> upper(found.size());
  std::transform(found.begin(), found.end(), upper.begin(),
                 [](const std::string& name) { return textio::upper_case(name); });
  const std::size_t listed = std::min(found.size(), list.names.size() - 1);
  for (std::size_t i = 0; i < listed; ++i) {
    // Names that differ only in case stand side by side after the sort.
    const bool exact = (i > 0 && upper[i - 1] == upper[i]) || (i + 1 < found.size() && upper[i + 1] == upper[i]);
    list.names[i + 1] = exact ? found[i] : upper[i];
    list.exact[i + 1] = exact;
  }
}

std::string all_course_files_entry(std::size_t course_files) {
  return " All " + std::to_string(course_files) + " course files";
}

std::optional<CourseChoice> select_course_file(console::Console& console, platform::FileSearch& search,
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
  const std::span<const std::string> names = std::span<const std::string>(list.names).subspan(1);
  const std::size_t listed = static_cast<std::size_t>(
      std::count_if(names.begin(), names.end(), [](const std::string& name) { return !name.empty(); }));
  const std::string all = listed >= 2 ? all_course_files_entry(listed) : std::string();
  std::vector<std::string> entries;
  entries.reserve(names.size() + 1);
  if (!all.empty()) entries.push_back(all);
  entries.insert(entries.end(), names.begin(), names.end());
  dialogs::ConsoleToTop();
  const std::string chosen =
      dialogs::ConsoleListBox(3, 0, 0, platform::current_directory(), "Select a .gbk file or exit", entries, 0, 0, 0);
  console::clear_screen(console);
  if (chosen.empty()) return manual_course_entry(console, search);
  if (!all.empty() && chosen == all) return CourseChoice{"", false, true};
  // Each name stands for one file, so the chosen text finds its entry.
  const auto entry = std::find(list.names.begin() + 1, list.names.end(), chosen);
  const bool exact = entry != list.names.end() && list.exact[static_cast<std::size_t>(entry - list.names.begin())];
  return CourseChoice{chosen, exact};
}

}  // namespace app
