#include "app/winmain.hpp"

#include <optional>
#include <string>
#include <vector>

#include "app/command_tail.hpp"
#include "app/course_conversion.hpp"
#include "app/course_selection.hpp"
#include "app/file_naming.hpp"
#include "app/folder_conversion.hpp"
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
  if (const std::optional<std::string> folder = folder_to_convert_whole(course_name)) {
    return convert_folder(*folder, search, console);
  }
  if (!course_name.empty()) {
    const RunFiles files = run_files(base_name_from_command_line(course_name));
    return exit_code_of(convert_named_course_file(files, course_name, true, false, search, console));
  }

  // An interactive run.
  show_start_up_screen(console);
  const std::optional<CourseChoice> chosen = select_course_file(console, search, course_file_list);
  if (!chosen) return nothing_converted;
  if (chosen->all) return convert_every_course_file(search, console);
  // A name kept in its own spelling is that file exactly; any other is
  // built in upper case.
  const RunFiles files =
      chosen->exact ? run_files_for_exact_file(chosen->name) : run_files(base_name_from_chosen(chosen->name));
  return exit_code_of(convert_named_course_file(files, chosen->name, chosen->exact, true, search, console));
}

}  // namespace app
