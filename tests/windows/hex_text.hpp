// The hex form in which the Windows tests hand names and command lines to the
// probe: blanks, quotes, tabs and backslashes survive the way through Wine's
// command line unchanged. Shared by the tests (encode) and the probe (both).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hex_text {

inline std::string to_hex(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// Two digits a byte, either case; a last lone digit is ignored.
inline std::string from_hex(std::string_view hex) {
  auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
  }
  return bytes;
}

}  // namespace hex_text
