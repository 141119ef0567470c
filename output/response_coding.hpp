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

// The trimmed fields 1..150 of the current student record; [0] unused.
using FieldList = std::array<std::string, 201>;

// Code of one answer-list entry: each letter A..E becomes its digit.
std::string option_digits(std::string_view entry);

// Writes field 3, the separators and the codes of answer positions 1 to the
// record's answer count to the .dat and .txt channels, and ends both lines.
void code_student(const textio::SplitLine& line, const coursefile::CourseValues& values, FieldList& field_list,
                  textio::ChannelTable& channels);

}  // namespace output
