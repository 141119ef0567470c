// The answer-key and header records, and the checks on a student record.
#pragma once

#include <string_view>

#include "console/console.hpp"
#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"
#include "textio/fields.hpp"

namespace coursefile {

// Channel numbers of the run's files.
constexpr std::int16_t course_channel = 1;
constexpr std::int16_t dat_channel = 2;
constexpr std::int16_t ans_channel = 3;
constexpr std::int16_t txt_channel = 5;

// SH3: all 100 key entries from fields 9..108, a..e made upper case.
void take_answer_key(const textio::SplitLine& line, CourseValues& values);

// FH: declared counts from fields 9 and 10, and their console line.
void take_header(const textio::SplitLine& line, CourseValues& values, console::Console& console);

// SD, first half: count the record, check its answer count and student
// number (warning and waiting for the operator), and open its .dat line.
void check_student(const textio::SplitLine& line, CourseValues& values, std::string_view course_file_name,
                   console::Console& console, textio::ChannelTable& channels);

// The two checks one by one, for a reader that meets a student record in
// its own way: a record warns when its answer count (separating commas
// minus fields_before_answers) is not the one expected, or when its student
// number (field 2 trimmed) marks a multiple-version examination.
bool answer_count_expected(const CourseValues& values, std::int64_t answers);
bool is_version_student_number(std::string_view student_number);

// The counts a student record changes, warned or not; due once the record's
// line is counted in tally.lines_read.
void count_student_record(CourseValues& values, std::int64_t answers);

}  // namespace coursefile
