#include "app/winmain.hpp"

#include <array>
#include <optional>
#include <string>

#include "app/command_tail.hpp"
#include "app/course_reading.hpp"
#include "app/course_selection.hpp"
#include "app/file_naming.hpp"
#include "app/start_up.hpp"
#include "console/console.hpp"
#include "coursefile/course_values.hpp"
#include "coursefile/operator_wait.hpp"
#include "coursefile/records.hpp"
#include "dialogs/toolkit.hpp"
#include "output/end_of_run.hpp"
#include "output/response_coding.hpp"
#include "output/run_report.hpp"
#include "output/viewing.hpp"
#include "platform/file_search.hpp"
#include "textio/channels.hpp"

namespace app {

namespace {

// A run that converts nothing, since the course file named does not exist
// or is not named exactly, must not pass for a successful one.
constexpr int nothing_converted = 1;

// A build for the tests may read every line the general way, which the one
// pass must agree with byte for byte (GBK_GENERAL_WAY_ONLY).
constexpr StudentLines student_lines =
    GBK_GENERAL_WAY_ONLY ? StudentLines::general_only : StudentLines::one_pass_where_plain;

// The terminal is given back however the run ends.
struct ConsoleSession {
  console::Console& console;
  explicit ConsoleSession(console::Console& c) : console(c) { console::open_console(console); }
  ~ConsoleSession() { console::close_console(console); }
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
};

// The report shows each file as the run found it on disk; its failures are
// on record under the name the run asked for.
output::ReportNames report_names(const RunFiles& files, const RunFiles& opened) {
  return {{opened.course_file, files.course_file},
          {opened.dat_file, files.dat_file},
          {opened.txt_file, files.txt_file},
          {opened.ans_file, files.ans_file}};
}

}  // namespace

int WINMAIN(std::string_view command_tail) {
  console::Console console;
  CourseFileList course_file_list{};  // [1..1000], for the interactive choice
  coursefile::CourseValues values;    // answer key and counts
  output::StudentCoding coding;       // the field list and the codes of a student
  textio::ChannelTable channels;
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
    console::print_text(console, " There is no file called ");
    console::print_text(console, files.course_file);
    console::line_end(console);
    coursefile::wait_for_operator(console, channels);
    return nothing_converted;
  }
  if (found.how == FoundCourseFile::How::ambiguous) {
    console::print_text(console, ambiguous_course_name_message(files.course_file, found.candidates));
    console::line_end(console);
    coursefile::wait_for_operator(console, channels);
    return nothing_converted;
  }
  // Names that differ only in case: the one named exactly, and its own outputs.
  if (found.how == FoundCourseFile::How::exactly) files = run_files_for_exact_file(found.path);

  textio::open_for_output(channels, files.ans_file, coursefile::ans_channel, files.match);
  textio::open_for_output(channels, files.dat_file, coursefile::dat_channel, files.match);
  textio::open_for_output(channels, files.txt_file, coursefile::txt_channel, files.match);
  values.student_count = 0;
  textio::open_for_input(channels, files.course_file, coursefile::course_channel, files.match);
  const RunFiles opened = files_as_opened(files, channels, found.path);

  read_course_file(channels, values, coding, files.course_file, console, student_lines);
  const output::ReportNames names = report_names(files, opened);
  const int exit_code = output::end_run(values, files.course_file, console, channels);
  output::show_run_report(names, values, channels, console);
  console::flush(console);  // the report is out before any editor starts
  // end_run has closed every file, so each editor finds its file complete.
  if (interactive) output::view_outputs(opened.dat_file, opened.txt_file, opened.ans_file);
  return exit_code;
}

}  // namespace app
