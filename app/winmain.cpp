#include "app/winmain.hpp"

#include <optional>
#include <string>
#include <vector>

#include "app/command_tail.hpp"
#include "app/course_conversion.hpp"
#include "app/course_selection.hpp"
#include "app/file_naming.hpp"
#include "app/start_up.hpp"
#include "console/console.hpp"
#include "dialogs/toolkit.hpp"
#include "platform/file_search.hpp"

namespace app {

namespace {

// The terminal is given back however the run ends.
struct ConsoleSession {
  console::Console& console;
  explicit ConsoleSession(console::Console& c) : console(c) { console::open_console(console); }
  ~ConsoleSession() { console::close_console(console); }
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
};

// A run that finds no course file to convert says why and waits for a key.
int end_unconverted(console::Console& console, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    console::print_text(console, line);
    console::line_end(console);
  }
  console::wait_for_key(console);  // whatever was pressed is of no interest
  return nothing_converted;
}

}  // namespace

int WINMAIN(std::string_view command_tail) {
  console::Console console;
  CourseFileList course_file_list{};  // [1..1000], for the interactive choice
  platform::FileSearch search;

  std::int32_t toolkit_reserved = 0;
  dialogs::InitConsoleTools(&console, 128, 32, 3, toolkit_reserved, 0);
  ConsoleSession session(console);
  set_up_console(console);

  const std::string course_name = command_line_course_name(command_tail);
  const bool interactive = course_name.empty();
  RunFiles files;
  std::string typed_name = course_name;
  bool built_as_typed = true;  // not so for a name chosen and then upper-cased
  if (interactive) {
    show_start_up_screen(console);
    const std::optional<CourseChoice> chosen = select_course_file(console, search, course_file_list);
    if (!chosen) return nothing_converted;
    files = chosen->exact ? run_files_for_exact_file(chosen->name) : run_files(base_name_from_chosen(chosen->name));
    typed_name = chosen->name;
    built_as_typed = chosen->exact;
  } else {
    files = run_files(base_name_from_command_line(course_name));
  }

  const FoundCourseFile found = find_course_file(search, files, typed_name, built_as_typed);
  if (found.how == FoundCourseFile::How::none) {
    return end_unconverted(console, no_course_file_lines(search, files, typed_name));
  }
  if (found.how == FoundCourseFile::How::ambiguous) {
    return end_unconverted(console, {ambiguous_course_name_message(files.course_file, found.candidates)});
  }
  // Names that differ only in case: the one named exactly, and its own outputs.
  if (found.how == FoundCourseFile::How::exactly) files = run_files_for_exact_file(found.path);
  return convert_course_file(files, found.path, interactive, console);
}

}  // namespace app
