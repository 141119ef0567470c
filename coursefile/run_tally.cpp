#include "coursefile/run_tally.hpp"

namespace coursefile {

std::string kept_text(std::string_view text) {
  if (text.size() <= kept_text_size) return std::string(text);
  std::string kept(text.substr(0, kept_text_size));
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
