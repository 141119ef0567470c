#include "textio/strings.hpp"

#include <cmath>
#include <cstring>

namespace textio {

int compare_bytes(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common != 0) {
    // memcmp compares as unsigned char, which is the order we want.
    const int by_bytes = std::memcmp(a.data(), b.data(), common);
    if (by_bytes != 0) return by_bytes < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::int64_t count_occurrences(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return 0;
  std::int64_t count = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

std::string replace_all(std::string_view text, std::string_view pattern, std::string_view replacement) {
  std::string result;
  if (pattern.empty() || pattern.size() > text.size()) return std::string(text);
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, from)) {
    result.append(text.substr(from, at - from));
    result.append(replacement);
    from = at + pattern.size();
  }
  result.append(text.substr(from));
  return result;
}

std::string remove_all(std::string_view text, std::string_view pattern) { return replace_all(text, pattern, {}); }

std::string upper_case_ascii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string upper_case(std::string_view text, CodePage page) {
  std::string result = upper_case_ascii(text);
  if (page != CodePage::oem437) return result;
  // The seven accented small letters of code page 437 that have capitals there.
  static constexpr unsigned char small[] = {0x84, 0x94, 0x81, 0x82, 0xA4, 0x86, 0x87};
  static constexpr unsigned char capital[] = {0x8E, 0x99, 0x9A, 0x90, 0xA5, 0x8F, 0x80};
  for (char& c : result) {
    for (std::size_t i = 0; i < sizeof small; ++i) {
      if (static_cast<unsigned char>(c) == small[i]) {
        c = static_cast<char>(capital[i]);
        break;
      }
    }
  }
  return result;
}

namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// &H1F, &O17, &Q17, &B101, &17: a whole number in another base. The count
// wraps at 64 bits; such forms never occur in course files.
long double read_based_number(std::string_view text, std::size_t at) {
  int base = 8;
  if (at < text.size()) {
    switch (text[at]) {
      case 'H':
      case 'h':
        base = 16;
        ++at;
        break;
      case 'O':
      case 'o':
      case 'Q':
      case 'q':
        base = 8;
        ++at;
        break;
      case 'B':
      case 'b':
        base = 2;
        ++at;
        break;
      default: break;
    }
  }
  std::uint64_t value = 0;
  for (; at < text.size() && digit_value(text[at]) < base; ++at) {
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit_value(text[at]));
  }
  return static_cast<long double>(static_cast<std::int64_t>(value));
}

}  // namespace

long double read_number(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n')) ++at;
  if (at < text.size() && text[at] == '&') return read_based_number(text, at + 1);

  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }

  // Up to 18 significant digits make the mantissa; later integer digits
  // still scale the number, later fraction digits are dropped.
  constexpr int max_significant = 18;
  std::uint64_t mantissa = 0;
  int significant = 0;
  std::int64_t scale = 0;  // power of ten applied to the mantissa
  bool seen_point = false;
  bool seen_digit = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    seen_digit = true;
    if (significant == 0 && c == '0') {
      if (seen_point) --scale;
      continue;
    }
    if (significant < max_significant) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      ++significant;
      if (seen_point) --scale;
    } else if (!seen_point) {
      ++scale;
    }
  }
  if (!seen_digit) return 0.0L;

  if (at < text.size() && (text[at] == 'E' || text[at] == 'e' || text[at] == 'D' || text[at] == 'd')) {
    std::size_t e = at + 1;
    bool exponent_negative = false;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
      exponent_negative = text[e] == '-';
      ++e;
    }
    std::int64_t exponent = 0;
    for (; e < text.size() && text[e] >= '0' && text[e] <= '9'; ++e) {
      exponent = exponent * 10 + (text[e] - '0');
      if (exponent > 9999) exponent = 9999;
    }
    scale += exponent_negative ? -exponent : exponent;
  }

  long double value = static_cast<long double>(mantissa);
  if (mantissa != 0 && scale != 0) {
    // One multiplication or division by an exact power of ten (exact up to
    // 10^27 in extended precision) keeps the result correctly rounded.
    const long double power = std::pow(10.0L, static_cast<long double>(scale < 0 ? -scale : scale));
    value = scale < 0 ? value / power : value * power;
  }
  return negative ? -value : value;
}

std::int64_t to_whole(long double value) {
  // Out of the 64-bit range the conversion gives the "integer indefinite"
  // 0x8000000000000000, whose low 16 bits are 0; 0 keeps both forms agreeing.
  constexpr long double limit = 9223372036854775808.0L;  // 2^63
  const long double rounded = std::nearbyint(value);     // ties to even
  if (std::isnan(rounded) || rounded >= limit || rounded < -limit) return 0;
  return static_cast<std::int64_t>(rounded);
}

std::int16_t to_int16(long double value) { return wrap16(to_whole(value)); }

}  // namespace textio
