// The console dialog toolkit: window properties and the input and list boxes,
// drawn on the run's console. The operations keep the names and argument
// lists the conversion run was written against.
//
// On a terminal the boxes are drawn over the screen and the screen under
// them comes back when they close. On a plain-text console (input or output
// not a terminal) they work line by line on standard input and output, so
// that an interactive run can be driven by a script.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "console/console.hpp"

namespace dialogs {

// The instance handed to the toolkit is the console its boxes draw on.
void InitConsoleTools(console::Console* instance, std::int32_t a, std::int32_t b, std::int32_t c,
                      std::int32_t& reserved, std::int32_t d);
void ConsoleIcon(std::int32_t icon);
std::string ConsoleTitle(const std::string& title);
// Brings the console window to the front (window_posix.cpp, window_windows.cpp).
void ConsoleToTop();

// Screen positions for ConsoleInputBox, kept inside the screen.
std::int32_t LocOfRow(std::int32_t row);
std::int32_t LocOfCol(std::int32_t col);

// A box centred on column, row with first_text as the question, second_text
// as the hint and an edit field holding default_text. Returns the text typed,
// or the empty text when the operator cancels.
std::string ConsoleInputBox(std::int32_t style, std::int32_t column, std::int32_t row, const std::string& first_text,
                            const std::string& second_text, const std::string& default_text, std::int32_t buttons,
                            std::int32_t flags);

// A box with first_text as title and second_text as hint that offers the
// non-empty items. Returns the chosen item, or the empty text when the
// operator leaves without a choice.
std::string ConsoleListBox(std::int32_t style, std::int32_t column, std::int32_t row, const std::string& first_text,
                           const std::string& second_text, std::span<const std::string> items, std::int32_t a,
                           std::int32_t b, std::int32_t c);

}  // namespace dialogs
