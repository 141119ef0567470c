#include "output/end_of_run.hpp"

#include "coursefile/operator_wait.hpp"
#include "coursefile/records.hpp"

namespace output {

namespace {

void print_line(console::Console& console, std::string_view text) {
  console::print_text(console, text);
  console::line_end(console);
}

void check_student_count(const coursefile::CourseValues& values, std::string_view course_file_name,
                         console::Console& console, textio::ChannelTable& channels) {
  if (values.student_count == values.declared_students) return;
  console::print_text(console, "   filename= ");
  print_line(console, course_file_name);
  print_line(console, "Discrepancy in the number of students");
  print_line(console, " Any key to continue");
  coursefile::wait_for_operator(console, channels);
}

void write_ans_file(const coursefile::CourseValues& values, textio::ChannelTable& channels) {
  for (int q = 1; q <= values.last_answer_count; ++q) {
    textio::write_text(channels, coursefile::ans_channel, ans_line(coursefile::key_entry(values, q)));
    textio::end_line(channels, coursefile::ans_channel);
  }
}

// A file that could not be opened, written or read must not pass in silence.
void report_failures(console::Console& console, textio::ChannelTable& channels) {
  for (const textio::FileFailure& failure : channels.failures) {
    console::print_text(console, "   filename= ");
    print_line(console, failure.file_name);
    console::print_text(console, " The file ");
    console::print_text(console, failure.what);
    console::print_text(console, ": ");
    print_line(console, failure.reason);
    print_line(console, "  Any key to continue");
    coursefile::wait_for_operator(console, channels);
  }
}

}  // namespace

std::string_view ans_line(std::string_view key_entry) {
  static constexpr std::string_view digits[] = {"1", "2", "3", "4", "5"};
  if (key_entry.size() == 1 && key_entry[0] >= 'A' && key_entry[0] <= 'E') {
    return digits[key_entry[0] - 'A'];
  }
  return key_entry;
}

int end_run(const coursefile::CourseValues& values, std::string_view course_file_name, console::Console& console,
            textio::ChannelTable& channels) {
  check_student_count(values, course_file_name, console, channels);
  write_ans_file(values, channels);
  for (std::int16_t number = 1; number <= 5; ++number) textio::close(channels, number);
  report_failures(console, channels);
  console::set_colours(console, console::bright_white, console::keep_colour);
  return channels.failures.empty() ? 0 : 1;
}

}  // namespace output
