#include <windows.h>

#include "textio/strings.hpp"

namespace textio {

// Names reach the program in the process's code page. Where that is UTF-8
// (the program's manifest asks for it), the seven accented letters of code
// page 437 are bytes inside multi-byte characters (the 0x94 of U+751F, the
// 0xA4 of U+00E4) and must not be mapped. Otherwise the console shows names
// and course files in the OEM code page 437.
CodePage native_code_page() { return ::GetACP() == CP_UTF8 ? CodePage::utf8 : CodePage::oem437; }

}  // namespace textio
