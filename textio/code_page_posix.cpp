#include "textio/strings.hpp"

namespace textio {

// Names and course files on a POSIX system are UTF-8 (or plain ASCII): the
// accented mapping of code page 437 would corrupt multi-byte characters.
CodePage native_code_page() { return CodePage::utf8; }

}  // namespace textio
