#include "platform/editor_command.hpp"

namespace platform {

std::string_view editor_command() { return "notepad"; }

}  // namespace platform
