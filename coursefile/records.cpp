#include "coursefile/records.hpp"

#include <algorithm>

#include "coursefile/dat_line.hpp"
#include "coursefile/operator_wait.hpp"
#include "textio/strings.hpp"

namespace coursefile {

namespace {

// Student numbers that mark a multiple-version examination.
constexpr std::string_view version_student_numbers[] = {"1111111", "2222222", "3333333", "4444444"};
// is_version_student_number tells most other numbers from them by length
// and first digit alone; it holds only while all share these.
static_assert(std::ranges::all_of(version_student_numbers, [](std::string_view number) {
  return number.size() == version_student_numbers[0].size() && number[0] >= '1' && number[0] <= '4';
}));

// "a".."e" as the whole entry become "A".."E"; anything else stays.
std::string key_letter(std::string_view entry) {
  if (entry.size() == 1 && entry[0] >= 'a' && entry[0] <= 'e') {
    return std::string(1, static_cast<char>(entry[0] - 'a' + 'A'));
  }
  return std::string(entry);
}

void print_line(console::Console& console, std::string_view text) {
  console::print_text(console, text);
  console::line_end(console);
}

void warn_question_count(console::Console& console, textio::ChannelTable& channels, std::string_view course_file_name) {
  console::print_text(console, "   filename= ");
  print_line(console, course_file_name);
  // Light magenta stays in force for the rest of the run's messages.
  console::set_colours(console, console::light_magenta, console::keep_colour);
  print_line(console, " Discrepancy in number of questions");
  print_line(console, "  Any key to continue");
  wait_for_operator(console, channels);
}

void warn_multiple_version(console::Console& console, textio::ChannelTable& channels, std::string_view course_file_name,
                           std::string_view student_number) {
  console::line_end(console);
  console::print_text(console, "   filename= ");
  print_line(console, course_file_name);
  console::line_end(console);
  print_line(console, " This may be a multiple version file.");
  console::print_text(console, " Student number ");
  console::print_text(console, student_number);
  print_line(console, " is present");
  print_line(console, "   Statistical detection results are meaningless.");
  console::line_end(console);
  print_line(console, "      Any key to continue.");
  console::line_end(console);
  wait_for_operator(console, channels);
}

}  // namespace

void take_answer_key(const textio::SplitLine& line, CourseValues& values) {
  for (int q = 1; q <= answer_key_size; ++q) {
    values.answer_key[static_cast<std::size_t>(q)] =
        key_letter(textio::trim(textio::field_of(line, static_cast<std::size_t>(fields_before_answers + q))));
  }
  values.tally.answer_key_read = true;
}

void take_header(const textio::SplitLine& line, CourseValues& values, console::Console& console) {
  const std::int64_t questions = unwrapped_number_field(line, 9);
  const std::int64_t students = unwrapped_number_field(line, 10);
  values.declared_questions = textio::wrap16(questions);
  values.current_questions = values.declared_questions;
  values.declared_students = textio::wrap16(students);
  values.tally.header_read = true;
  values.tally.declared_questions = questions;
  values.tally.expected_answers = questions;
  values.tally.declared_students = students;
  console::print_text(console, " number of questions =");
  console::print_number(console, values.declared_questions);
  console::print_text(console, " number of students = ");
  console::print_number(console, values.declared_students);
  console::line_end(console);
}

bool answer_count_expected(const CourseValues& values, std::int64_t answers) {
  return textio::wrap16(answers) == values.current_questions;
}

bool is_version_student_number(std::string_view student_number) {
  // Most student numbers are no version number by their length or their
  // first digit alone.
  if (student_number.size() != version_student_numbers[0].size() || student_number[0] < '1' ||
      student_number[0] > '4') {
    return false;
  }
  for (std::string_view version : version_student_numbers) {
    if (student_number == version) return true;
  }
  return false;
}

void count_student_record(CourseValues& values, std::int64_t answers) {
  values.student_count = textio::wrap16(values.student_count + 1);
  ++values.tally.student_records;
  values.last_answer_count = textio::wrap16(answers);
  // The next student record is compared with this one.
  values.current_questions = values.last_answer_count;
  values.tally.expected_answers = answers;  // for the report, not cut to 16 bits
  values.tally.most_answers = std::max<int>(values.tally.most_answers, values.last_answer_count);
  if (!values.tally.answer_key_read && values.tally.students_without_key++ == 0) {
    values.tally.first_line_without_key = values.tally.lines_read;
  }
  // Codes are written for the 16-bit count.
  const int coded = std::clamp<int>(values.last_answer_count, 0, checked_questions);
  ++values.tally.code_counts.records_by_answers[static_cast<std::size_t>(coded)];
}

void check_student(const textio::SplitLine& line, CourseValues& values, std::string_view course_file_name,
                   console::Console& console, textio::ChannelTable& channels) {
  const std::int64_t full_answers = unwrapped_answer_count(line);
  const bool question_count_differs = !answer_count_expected(values, full_answers);
  const std::int64_t full_expected = values.tally.expected_answers;
  count_student_record(values, full_answers);
  if (question_count_differs) warn_question_count(console, channels, course_file_name);

  textio::write_text(channels, dat_channel, textio::field_of(line, 2));
  textio::write_text(channels, dat_channel, dat_after_student_number);

  const std::string_view student_number = textio::trim(textio::field_of(line, 2));
  const bool multiple_version = is_version_student_number(student_number);
  if (multiple_version) warn_multiple_version(console, channels, course_file_name, student_number);

  if (question_count_differs || multiple_version) {
    note_warned_record(values.tally, {.line_number = values.tally.lines_read,
                                      .student_number = kept_text(student_number),
                                      .question_count = question_count_differs,
                                      .answers = full_answers,
                                      .expected = full_expected,
                                      .multiple_version = multiple_version});
  }
}

}  // namespace coursefile
