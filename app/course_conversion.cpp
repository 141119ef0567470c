#include "app/course_conversion.hpp"

#include "app/course_reading.hpp"
#include "coursefile/course_file_check.hpp"
#include "coursefile/operator_wait.hpp"
#include "coursefile/records.hpp"
#include "output/end_of_run.hpp"
#include "output/response_coding.hpp"
#include "output/run_report.hpp"
#include "output/viewing.hpp"

namespace app {

namespace {

// A build for the tests may read every line the general way, which the one
// pass must agree with byte for byte (GBK_GENERAL_WAY_ONLY).
constexpr StudentLines student_lines =
    GBK_GENERAL_WAY_ONLY ? StudentLines::general_only : StudentLines::one_pass_where_plain;

// The report shows each file as the run found it on disk; its failures are
// on record under the name the run asked for.
output::ReportNames report_names(const RunFiles& files, const RunFiles& opened) {
  return {{opened.course_file, files.course_file},
          {opened.dat_file, files.dat_file},
          {opened.txt_file, files.txt_file},
          {opened.ans_file, files.ans_file}};
}

}  // namespace

std::vector<std::string> refusal_of(std::string_view course_path) {
  const std::string path(course_path);
  return coursefile::not_a_course_file(path, coursefile::look_at_course_file(path, textio::os::NameMatch::exact));
}

int convert_course_file(const RunFiles& files, std::string_view course_path, bool interactive,
                        console::Console& console) {
  textio::ChannelTable channels;
  const std::vector<std::string> refusal = refusal_of(course_path);
  if (!refusal.empty()) {
    for (const std::string& line : refusal) {
      console::print_text(console, line);
      console::line_end(console);
    }
    console::copy_to_standard_output(console, refusal);
    coursefile::wait_for_operator(console, channels);
    return nothing_converted;
  }

  coursefile::CourseValues values;  // answer key and counts
  output::StudentCoding coding;     // the field list and the codes of a student
  textio::open_for_output(channels, files.ans_file, coursefile::ans_channel, files.match);
  textio::open_for_output(channels, files.dat_file, coursefile::dat_channel, files.match);
  textio::open_for_output(channels, files.txt_file, coursefile::txt_channel, files.match);
  values.student_count = 0;
  if (course_path.find_first_of("*?") != std::string_view::npos) {
    // The name found the file but names none to open: its opening fails.
    textio::open_for_input(channels, files.course_file, coursefile::course_channel, files.match);
  } else {
    textio::open_found_for_input(channels, files.course_file, coursefile::course_channel, course_path);
  }
  const RunFiles opened = files_as_opened(files, channels, course_path);

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
