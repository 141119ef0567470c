#include "textio/strings.hpp"

namespace textio {

// The Windows console shows course files in the OEM code page 437.
CodePage native_code_page() { return CodePage::oem437; }

}  // namespace textio
