#include "console/number_form.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace console {

namespace {

// The first digits + 1 significant digits of |value| and the count of digits
// before the point (value = 0.d1d2... x 10^point), from an 18-digit expansion.
void significant_digits(long double value, int digits, std::string& out, int& point) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17Le", value);  // d.ddddddddddddddddde+XX
  std::string all;
  for (const char* p = text; *p != 'e' && *p != '\0'; ++p) {
    if (*p >= '0' && *p <= '9') all += *p;
  }
  const char* e = std::strchr(text, 'e');
  point = (e != nullptr ? std::atoi(e + 1) : 0) + 1;
  out = all.substr(0, static_cast<std::size_t>(digits) + 1);
}

}  // namespace

std::string number_form(long double value, int digits) {
  std::string text = value < 0 ? "-" : " ";
  const long double magnitude = std::fabs(value);
  if (magnitude == 0 || !std::isfinite(magnitude)) {
    return text + "0 ";
  }
  std::string s;
  int e = 0;
  significant_digits(magnitude, digits, s, e);

  // Cut the last digit: above 5 up, below 5 down, exactly 5 to even.
  const int cut = s.back() - '0';
  s.pop_back();
  const bool round_up = cut > 5 || (cut == 5 && (s.back() - '0') % 2 == 1);
  if (round_up) {
    int i = static_cast<int>(s.size()) - 1;
    while (i >= 0 && s[static_cast<std::size_t>(i)] == '9') {
      s[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      s.insert(s.begin(), '1');
      s.pop_back();
      ++e;
    } else {
      ++s[static_cast<std::size_t>(i)];
    }
  }
  while (s.size() > 1 && s.back() == '0') s.pop_back();

  const int k = static_cast<int>(s.size());
  if (e >= k && e <= digits) {
    text += s + std::string(static_cast<std::size_t>(e - k), '0');
  } else if (e > 0 && e < k && k - e <= digits) {
    text += s.substr(0, static_cast<std::size_t>(e)) + "." + s.substr(static_cast<std::size_t>(e));
  } else if (e <= 0 && k - e <= digits) {
    text += "." + std::string(static_cast<std::size_t>(-e), '0') + s;
  } else {
    text += s.substr(0, 1);
    if (k > 1) text += "." + s.substr(1);
    const int exponent = e - 1;
    text += exponent < 0 ? "E-" : "E+";
    text += std::to_string(exponent < 0 ? -exponent : exponent);
  }
  return text + " ";
}

}  // namespace console
