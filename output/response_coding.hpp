// A student record's answers as response codes: "." the keyed answer, "1".."5"
// the options A..E, "-" no answer. Writes the rest of the student's .dat line
// and the student's .txt line.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"
#include "textio/fields.hpp"

namespace output {

constexpr int field_list_size = 150;  // fields taken from a student record

// Fields 1..150 of the current student record, trimmed; [0] and [151..200]
// stay empty. A text is a view into the record's line, read with the option
// letters a..e as upper case; keyed marks an answer equal to its key entry.
// Two parallel arrays, so that filling them for every record is two block
// copies.
struct FieldList {
  std::array<std::string_view, 201> text{};
  std::array<bool, 201> keyed{};
};

// The code of one answer that is not keyed: each option letter, in either
// case, becomes its digit; any other byte stays.
std::string option_digits(std::string_view answer);

// Writes field 3, the separators and the codes of answer positions 1 to the
// record's answer count to the .dat and .txt channels, and ends both lines.
void code_student(const textio::SplitLine& line, const coursefile::CourseValues& values, FieldList& field_list,
                  textio::ChannelTable& channels);

}  // namespace output
