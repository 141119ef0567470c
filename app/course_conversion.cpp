#include "app/course_conversion.hpp"

#include "app/course_reading.hpp"
#include "coursefile/course_file_check.hpp"
#include "coursefile/operator_wait.hpp"
#include "coursefile/records.hpp"
#include "output/end_of_run.hpp"
#include "output/response_coding.hpp"
#include "output/run_report.hpp"
#include "output/viewing.hpp"
#include "textio/strings.hpp"

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

void print_lines(console::Console& console, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    console::print_text(console, line);
    console::line_end(console);
  }
}

// The first failure on record in a few words, and how many more there are.
std::string failures_in_brief(const std::vector<textio::FileFailure>& failures) {
  const textio::FileFailure& first = failures.front();
  std::string text = first.file_name + " " + first.what + ": " + first.reason;
  if (failures.size() > 1) text += " (and " + std::to_string(failures.size() - 1) + " more)";
  return text;
}

// A run that finds no one course file for its name says why and waits.
CourseOutcome not_found(console::Console& console, const std::vector<std::string>& lines) {
  print_lines(console, lines);
  coursefile::wait_for_operator(console);
  return {.result = CourseOutcome::Result::failed, .why = std::string(textio::trim(lines.front()))};
}

}  // namespace

int exit_code_of(const CourseOutcome& outcome) {
  return outcome.result == CourseOutcome::Result::converted ? 0 : nothing_converted;
}

CourseOutcome convert_course_file(const RunFiles& files, std::string_view course_path, bool interactive,
                                  console::Console& console) {
  textio::ChannelTable channels;
  const std::string path(course_path);
  const coursefile::CourseFileLook look = coursefile::look_at_course_file(path, textio::os::NameMatch::exact);
  const std::vector<std::string> refusal = coursefile::not_a_course_file(path, look);
  if (!refusal.empty()) {
    print_lines(console, refusal);
    console::copy_to_standard_output(console, refusal);
    coursefile::wait_for_operator(console, channels);
    return {.result = CourseOutcome::Result::refused, .why = coursefile::refusal_in_brief(look)};
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
  const bool course_file_opened = !textio::opened_path(channels, coursefile::course_channel).empty();

  read_course_file(channels, values, coding, files.course_file, console, student_lines);
  const output::ReportNames names = report_names(files, opened);
  output::end_run(values, files.course_file, console, channels);
  CourseOutcome outcome;
  outcome.read = course_file_opened;
  outcome.student_records = values.tally.student_records;
  outcome.header_read = values.tally.header_read;
  outcome.declared_questions = values.tally.declared_questions;
  outcome.findings = output::show_run_report(names, values, channels, console);
  if (channels.failures.empty()) {
    outcome.result = CourseOutcome::Result::converted;
  } else {
    outcome.why = failures_in_brief(channels.failures);
  }
  console::flush(console);  // the report is out before any editor starts
  // end_run has closed every file, so each editor finds its file complete.
  if (interactive) output::view_outputs(opened.dat_file, opened.txt_file, opened.ans_file);
  return outcome;
}

CourseOutcome convert_named_course_file(RunFiles files, std::string_view typed_name, bool built_as_typed,
                                        bool interactive, platform::FileSearch& search, console::Console& console) {
  const FoundCourseFile found = find_course_file(search, files, typed_name, built_as_typed);
  return convert_found_course_file(found, std::move(files), typed_name, interactive, search, console);
}

CourseOutcome convert_found_course_file(const FoundCourseFile& found, RunFiles files, std::string_view typed_name,
                                        bool interactive, platform::FileSearch& search, console::Console& console) {
  if (found.how == FoundCourseFile::How::none) {
    return not_found(console, no_course_file_lines(search, files, typed_name));
  }
  if (found.how == FoundCourseFile::How::ambiguous) {
    return not_found(console, {ambiguous_course_name_message(files.course_file, found.candidates)});
  }
  // Names that differ only in case: the one named exactly, and its own outputs.
  if (found.how == FoundCourseFile::How::exactly) files = run_files_for_exact_file(found.path);
  return convert_course_file(files, found.path, interactive, console);
}

}  // namespace app
