// Numbers on the console: a sign position (blank or "-"), the digits with at
// most `digits` significant ones, and one trailing blank: 15 prints " 15 ".
#pragma once

#include <string>

namespace console {

std::string number_form(long double value, int digits = 7);

}  // namespace console
