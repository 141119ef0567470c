// One course file read by the reading loop both ways: the one pass over
// plain student lines and the general way, which takes every line and is the
// reference. The two must leave the same bytes, console text and values.
#pragma once

#include <string>
#include <string_view>

#include "app/course_reading.hpp"
#include "coursefile/course_values.hpp"
#include "tests/support/scratch_folder.hpp"

namespace tests {

// What one reading of a course file leaves: the .dat and .txt files, the
// console text and the values kept for the run (the report's tally among
// them).
struct Reading {
  std::string dat;
  std::string txt;
  std::string console;
  coursefile::CourseValues values;
};

// Reads `course` as the course file C.GBK of `folder`, with the .txt file
// open and the .dat file too when dat_open, the console into a file and at
// the end of its input.
Reading read_course(const ScratchFolder& folder, std::string_view course, app::StudentLines way, bool dat_open = true);

// Where two readings differ, in words ("the .dat files, from byte 12"); empty
// when they agree in everything.
std::string difference(const Reading& one, const Reading& other);

struct BothWays {
  Reading general;
  Reading one_pass;
};

BothWays read_both_ways(const ScratchFolder& folder, std::string_view course, bool dat_open = true);

}  // namespace tests
