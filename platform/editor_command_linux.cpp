#include "platform/editor_command.hpp"

namespace platform {

// The desktop's opener picks the editor the operator has chosen for text.
std::string_view editor_command() { return "xdg-open"; }

}  // namespace platform
