// Byte-string operations on course file text. Strings are counted bytes in
// the console's code page: nothing here decodes, and any byte may occur.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace textio {

constexpr char blank = ' ';  // the only character that trimming removes

// Unsigned byte order, then length: negative, zero or positive.
int compare_bytes(std::string_view a, std::string_view b);

// Non-overlapping occurrences of pattern, scanned from the left.
std::int64_t count_occurrences(std::string_view text, std::string_view pattern);
std::string replace_all(std::string_view text, std::string_view pattern, std::string_view replacement);
std::string remove_all(std::string_view text, std::string_view pattern);

// Inline: trimming runs for every field of every record.
inline std::string_view trim_left(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && text[first] == blank) ++first;
  return {text.data() + first, text.size() - first};
}
inline std::string_view trim_right(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == blank) --end;
  return {text.data(), end};
}
inline std::string_view trim(std::string_view text) { return trim_right(trim_left(text)); }  // left, then right

// The letters the upper-case mapping knows depend on the code page of the
// text: plain a-z on a UTF-8 system (and for a Windows program whose code
// page is UTF-8), a-z plus seven accented letters of the OEM code page 437
// on the Windows console otherwise.
enum class CodePage { utf8, oem437 };
CodePage native_code_page();
std::string upper_case(std::string_view text, CodePage page = native_code_page());
std::string upper_case_ascii(std::string_view text);  // a-z only

// The number at the start of text, as the course file's number fields are
// read: blanks, tabs and line feeds skipped, &H/&O/&B forms, sign, decimal
// point, exponent; 0 when there is no number.
long double read_number(std::string_view text);

// Low 16 bits of a count, as a 16-bit signed integer wraps.
constexpr std::int16_t wrap16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu));
}

// Round half to even, as a whole number; 0 outside the 64-bit range.
std::int64_t to_whole(long double value);

// Round half to even, then keep the low 16 bits as a signed count.
std::int16_t to_int16(long double value);

}  // namespace textio
