// The boxes when the console is plain text (standard input or output not a
// terminal): lines out, one line in, so that a script can answer them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "console/console.hpp"

namespace dialogs {

// One line of standard input without its line end ("\n" or "\r\n"); nothing
// at end of input. Reads byte by byte, so that a later key wait gets exactly
// the bytes after this line.
std::optional<std::string> read_plain_line(console::Console& console);

// Writes the two texts as lines and returns the next input line, or the
// empty text at end of input.
std::string plain_input_box(console::Console& console, std::string_view first_text, std::string_view second_text);

// Writes the two texts and the non-empty items numbered from 1 as lines, then
// reads one line: a number picks that item, a line equal to an item picks it,
// anything else (and the end of input) leaves without a choice.
std::string plain_list_box(console::Console& console, std::string_view first_text, std::string_view second_text,
                           std::span<const std::string> items);

}  // namespace dialogs
