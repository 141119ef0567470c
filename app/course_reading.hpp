// The reading loop: the course file line by line, each record to its step.
#pragma once

#include <string_view>

#include "console/console.hpp"
#include "coursefile/course_values.hpp"
#include "output/response_coding.hpp"
#include "textio/channels.hpp"

namespace app {

// How student lines are taken. The usual way converts the plain ones (see
// plain_student_lines.hpp) in one pass and every other line the general
// way; general_only takes every line the general way: the reference that the
// one pass must agree with, byte for byte.
enum class StudentLines { one_pass_where_plain, general_only };

// Reads the course file on its channel to its end; the outputs are open.
void read_course_file(textio::ChannelTable& channels, coursefile::CourseValues& values, output::StudentCoding& coding,
                      std::string_view course_file_name, console::Console& console,
                      StudentLines way = StudentLines::one_pass_where_plain);

}  // namespace app
