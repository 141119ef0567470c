// The layout of a student's .dat line, which both ways of converting a
// student record write: field 2, ",", field 3, ",," (an empty item between
// field 3 and the codes), the codes, the line end. The .txt line is the
// codes and the line end alone.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace coursefile {

// Field 2 and this open the line; the checks write them before they may
// wait for the operator.
constexpr std::string_view dat_after_student_number = ",";
// Field 3 and this follow; then the codes.
constexpr std::string_view dat_before_codes = ",,";

// The bytes of the line before its codes.
constexpr std::size_t dat_opening_size(std::string_view field_2, std::string_view field_3) {
  return field_2.size() + dat_after_student_number.size() + field_3.size() + dat_before_codes.size();
}

// Writes the line before its codes at out (dat_opening_size bytes) and
// returns where the codes go.
inline char* put_dat_opening(char* out, std::string_view field_2, std::string_view field_3) {
  static_assert(dat_after_student_number.size() == 1 && dat_before_codes.size() == 2);
  // Fields 2 and 3 of most lines stand in the line as they are written,
  // with the one comma between them: one copy.
  const char* const field_2_end = field_2.data() + field_2.size();
  if (field_3.data() == field_2_end + 1 && *field_2_end == dat_after_student_number[0]) {
    std::memcpy(out, field_2.data(), field_2.size() + 1 + field_3.size());
    out += field_2.size() + 1 + field_3.size();
  } else {
    if (!field_2.empty()) std::memcpy(out, field_2.data(), field_2.size());
    out += field_2.size();
    *out++ = dat_after_student_number[0];
    if (!field_3.empty()) std::memcpy(out, field_3.data(), field_3.size());
    out += field_3.size();
  }
  std::memcpy(out, dat_before_codes.data(), dat_before_codes.size());
  return out + dat_before_codes.size();
}

}  // namespace coursefile
