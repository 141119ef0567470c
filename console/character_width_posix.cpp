#include <locale.h>
#include <wchar.h>

#include <initializer_list>

#include "console/character_width.hpp"

namespace console {

namespace {

// Widths are the same in every UTF-8 locale; the run's own locale stays
// "C", so that no byte operation of the conversion depends on the
// environment. Without any UTF-8 locale every printable character counts as
// one column.
locale_t utf8_locale() {
  static const locale_t locale = [] {
    for (const char* name : {"C.UTF-8", "C.utf8", "UTF-8"}) {
      const locale_t found = ::newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
      if (found != static_cast<locale_t>(0)) return found;
    }
    return static_cast<locale_t>(0);
  }();
  return locale;
}

}  // namespace

int character_width(char32_t code_point) {
  const locale_t locale = utf8_locale();
  if (locale == static_cast<locale_t>(0)) return code_point >= 0xA0 ? 1 : 0;
  const locale_t previous = ::uselocale(locale);
  const int width = ::wcwidth(static_cast<wchar_t>(code_point));
  ::uselocale(previous);
  return width == 1 || width == 2 ? width : 0;
}

}  // namespace console
