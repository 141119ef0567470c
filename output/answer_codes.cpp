#include "output/answer_codes.hpp"

namespace output::codes {

namespace {

// An answer is compared with its key entry as if a..e were upper case; the
// line itself is never copied to make them so.
bool equals_key(std::string_view answer, std::string_view key) {
  if (answer.size() != key.size()) return false;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (upper_option(answer[i]) != key[i]) return false;
  }
  return true;
}

}  // namespace

// Out of line: the one-byte codes around it stay short.
[[gnu::noinline]] char* code_longer_answer(std::string_view answer, std::string_view key, bool& keyed, char* out,
                                           std::string& codes, std::size_t positions_after) {
  // An empty answer to an empty key entry is keyed too.
  keyed = equals_key(answer, key);
  if (keyed) {
    *out++ = '.';
  } else if (answer.empty()) {
    *out++ = '-';
  } else {
    const std::size_t length = static_cast<std::size_t>(out - codes.data());
    const std::size_t needed = length + answer.size() + positions_after;
    if (needed > codes.size()) codes.resize(needed, '-');
    out = put_option_digits(codes.data() + length, answer);
  }
  return out;
}

}  // namespace output::codes
