#include "platform/editor_command.hpp"

namespace platform {

// -t: the default text editor, whatever the file's extension says.
std::string_view editor_command() { return "open -t"; }

}  // namespace platform
