#include "app/course_reading.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "coursefile/records.hpp"
#include "output/plain_student_lines.hpp"
#include "textio/fields.hpp"

namespace app {

namespace {

// Every tab of a course file line is a comma. A line read in place stays as
// it is in the file's read-ahead; one with a tab is copied into `copy` first.
std::string_view tabs_to_commas(std::string_view line, std::string& copy) {
  if (line.empty() || std::memchr(line.data(), '\t', line.size()) == nullptr) return line;
  copy.assign(line);
  std::replace(copy.begin(), copy.end(), '\t', ',');
  return copy;
}

// Fields 1..3 name a record and hold all that the checks take from a
// student line's split; answer-key and header records are split again as
// far as they are read, and the coding splits a student line as far as it
// needs.
constexpr std::size_t leading_fields = 3;
constexpr std::size_t header_fields = 10;

// One line of any kind, the general way.
void read_record(std::string_view line, textio::ChannelTable& channels, coursefile::CourseValues& values,
                 output::StudentCoding& coding, std::string_view course_file_name, console::Console& console,
                 textio::SplitLine& split) {
  textio::split_fields(line, leading_fields, split);
  switch (coursefile::record_kind(split)) {
    case coursefile::RecordKind::answer_key:
      textio::split_fields(line, output::field_list_size, split);
      coursefile::take_answer_key(split, values);
      output::take_key_bytes(values, coding);
      break;
    case coursefile::RecordKind::header:
      textio::split_fields(line, header_fields, split);
      coursefile::take_header(split, values, console);
      break;
    case coursefile::RecordKind::student:
      coursefile::check_student(split, values, course_file_name, console, channels);
      output::code_student(line, split, values, coding, channels);
      break;
    case coursefile::RecordKind::none: break;
  }
}

}  // namespace

void read_course_file(textio::ChannelTable& channels, coursefile::CourseValues& values, output::StudentCoding& coding,
                      std::string_view course_file_name, console::Console& console, StudentLines way) {
  using coursefile::course_channel;
  std::string copy;  // a line with tabs
  textio::SplitLine split;
  const char line_end_byte = textio::line_end_byte(channels, course_channel);
  values.tally.line_feeds_end_lines = line_end_byte == '\n';
  values.tally.byte_order_mark_skipped = textio::byte_order_mark_skipped(channels, course_channel);
  while (!textio::at_end(channels, course_channel)) {
    // The usual student lines are converted in one pass straight from the
    // read-ahead, also one that the read-ahead cuts, once more of the file
    // is read; the first line that is not one is left to the general way.
    if (way == StudentLines::one_pass_where_plain) {
      while (true) {
        const output::PlainLinesTaken taken = output::convert_plain_student_lines(
            textio::read_ahead(channels, course_channel), values, coding, channels, line_end_byte);
        textio::skip_read(channels, course_channel, taken.bytes);
        if (!taken.line_cut || !textio::read_further(channels, course_channel)) break;
      }
      if (textio::at_end(channels, course_channel)) break;
    }
    const std::string_view line = tabs_to_commas(textio::read_line(channels, course_channel), copy);
    ++values.tally.lines_read;  // the line number the report gives a warned record
    read_record(line, channels, values, coding, course_file_name, console, split);
  }
  output::add_code_counts(coding.code_counts, values.tally);
}

}  // namespace app
