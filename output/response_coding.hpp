// A student record's answers as response codes: "." the keyed answer, "1".."5"
// the options A..E, "-" no answer. Writes the rest of the student's .dat line
// and the student's .txt line.
//
// Two ways give the same codes. The general one, here, fills the field list
// with the record's fields 1..150 and codes each answer from its entry; it
// takes any line and is the reference. The usual student line is converted
// in one pass instead, checks and all, straight from the course file's
// read-ahead (plain_student_lines.hpp).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "coursefile/course_values.hpp"
#include "output/answer_codes.hpp"
#include "output/code_counts.hpp"
#include "textio/channels.hpp"
#include "textio/fields.hpp"

namespace output {

constexpr int field_list_size = 150;  // fields taken from a student record
using coursefile::fields_before_answers;
// Answer positions coded from the record; those beyond field 150 are "-".
constexpr int coded_positions = field_list_size - fields_before_answers;

// Fields 1..150 of the current student record, trimmed; [0] and [151..200]
// stay empty. A text is a view into the record's line, read with the option
// letters a..e as upper case; keyed marks an answer equal to its key entry.
// Two parallel arrays, so that filling them for every record is two block
// copies.
struct FieldList {
  std::array<std::string_view, 201> text{};
  std::array<bool, 201> keyed{};
};

// Key entry q as one byte at [q - 1], for the one pass, which reads an
// answer of at most one byte as one byte (answer_codes.hpp): the entry when
// it is one byte long, a comma when it is empty (an empty answer reads as a
// comma), otherwise 'a', which no answer read with a..e as upper case
// equals, just as no answer of at most one byte equals a longer entry or a
// comma given in quotes. Questions beyond the answer key have empty
// entries. Key bytes follow the last position to code as far as a window
// of answers reads them (codes::codes_room_after).
constexpr std::size_t key_bytes_size = coded_positions + codes::codes_room_after;
using KeyBytes = std::array<char, key_bytes_size>;

constexpr KeyBytes key_bytes_of_no_key() {
  KeyBytes bytes{};
  bytes.fill(',');
  return bytes;
}

// What the coding of a student record keeps from one record to the next:
// nothing of the record itself survives it, only room that is used again.
struct StudentCoding {
  KeyBytes key_bytes = key_bytes_of_no_key();  // taken again after every answer-key record
  FieldList field_list{};
  textio::SplitLine fields;              // the general way's split of the record line
  std::string codes;                     // the codes of the current record when no .dat file is open
  PendingCodeCounts code_counts;         // for the key check
  std::vector<LongerCode> longer_codes;  // the one pass's, in the current record
};

// Takes the run's answer key into coding.key_bytes. Due after every
// answer-key record, before the next student record is coded.
void take_key_bytes(const coursefile::CourseValues& values, StudentCoding& coding);

// The code of one answer that is not keyed: each option letter, in either
// case, becomes its digit; any other byte stays.
std::string option_digits(std::string_view answer);

// Appends to out the codes of answer positions 1 to the record's answer
// count, the general way, and counts them for the key check. split holds
// the record line's fields up to field 150 (or all of them).
void append_codes_from_field_list(const textio::SplitLine& split, const coursefile::CourseValues& values,
                                  StudentCoding& coding, std::string& out);

// Writes field 3, the separators and the codes of answer positions 1 to the
// record's answer count to the .dat and .txt channels, and ends both lines.
// split is the split of line and kept at least fields 1..3; the line is
// split again, up to field 150, for the field list.
void code_student(std::string_view line, const textio::SplitLine& split, const coursefile::CourseValues& values,
                  StudentCoding& coding, textio::ChannelTable& channels);

}  // namespace output
