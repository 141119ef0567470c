#include "coursefile/run_tally.hpp"

namespace coursefile {

std::string kept_student_number(std::string_view student_number) {
  if (student_number.size() <= kept_student_number_size) return std::string(student_number);
  std::string kept(student_number.substr(0, kept_student_number_size));
  kept += "...";
  return kept;
}

void note_warned_record(RunTally& tally, WarnedRecord record) {
  if (tally.warned.size() < kept_warned_records) {
    tally.warned.push_back(std::move(record));
  } else {
    ++tally.warned_left_out;
  }
}

}  // namespace coursefile
