// The usual student line converted in one pass, straight from the course
// file's read-ahead: its line end found, its fields, checks and codes taken
// as its bytes go by, its .dat and .txt lines written at once.
//
// A plain student line is one that needs nothing of the general way:
// - it ends with the course file's line end byte (textio::line_end_byte),
//   and a CR only once the byte after it has been read;
// - its field 1 is SD, with no blank or quote;
// - fields 2 to 8 hold no control byte (no tab to turn into a comma, no
//   line feed, no 0x1A); blanks and double quotes in them are taken by the
//   field rule, and a comma inside quotes separates nothing;
// - every byte from its first answer to the line end is '#' or above: no
//   tab, no blank, no double quote, no other control byte (empty answers
//   are plain);
// - its answer count (separating commas minus 8) is from 0 to 32767 and is
//   the count the record before it led the run to expect, and its student
//   number is no version number: it raises no warning.
// Such a line gives exactly the bytes, counts and report that the general
// way (the reading loop's split, check_student and code_student) gives; any
// other line is left to the general way.
#pragma once

#include <cstddef>
#include <string_view>

#include "coursefile/course_values.hpp"
#include "output/response_coding.hpp"
#include "textio/channels.hpp"

namespace output {

struct PlainLinesTaken {
  std::size_t bytes = 0;  // of the lines converted, line ends included
  // The line after them ran past the end of the read-ahead before it
  // showed whether it is plain: with more of the file read ahead, it may be.
  bool line_cut = false;
};

// Converts the plain student lines at the start of `ahead` (the course
// file's read-ahead) up to the first line that is not one, or that the
// read-ahead cuts. Counts each as a line read. line_end_byte is the course
// file's (textio::line_end_byte).
PlainLinesTaken convert_plain_student_lines(std::string_view ahead, coursefile::CourseValues& values,
                                            StudentCoding& coding, textio::ChannelTable& channels,
                                            char line_end_byte = '\r');

}  // namespace output
