// Viewing at the end of an interactive run: the three outputs opened in the
// text editor, one start each, none waited for.
#pragma once

#include <string>
#include <string_view>

namespace output {

// The editor's command word, two blanks, the name as it is (no quotes).
std::string editor_command_line(std::string_view editor, std::string_view file_name);

// Starts the editor on the .dat, .txt and .ans file, in this order. A start
// that fails is not reported; the others still take place. Every output must
// be closed before.
void view_outputs(std::string_view dat_file, std::string_view txt_file, std::string_view ans_file);

}  // namespace output
