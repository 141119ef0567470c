// The input box: a question, an edit field and a hint in a frame, with OK
// and Cancel buttons. The keys and clicks work on plain values here, so the
// box can be driven without a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "dialogs/box_drawing.hpp"

namespace dialogs {

struct InputBoxLayout {
  BoxArea area;
  int field_row = 1;
  int field_left = 1;
  int field_width = 1;  // cells
  int buttons_row = 1;
  int ok_left = 1;      // "[  OK  ]"
  int cancel_left = 1;  // "[Cancel]"
};

constexpr std::string_view ok_button = "[  OK  ]";
constexpr std::string_view cancel_button = "[Cancel]";
constexpr std::size_t input_limit = 1024;  // bytes the field takes at most

// The text being edited; cursor and first are byte offsets at a character's
// start. The field shows the text from first on; it scrolls only when the
// cursor would leave it, or when text shrank and hidden text on the left
// can fill the room freed on the right.
struct InputField {
  std::string text;
  std::size_t cursor = 0;
  std::size_t first = 0;
};

enum class BoxState { open, accepted, cancelled };

// The box centred on row, col, inside the part of the screen the operator
// sees (view) where it fits.
InputBoxLayout input_box_layout(const console::Screen& screen, const console::View& view, int row, int col,
                                std::string_view first_text, std::string_view second_text);

// Typing, Backspace, Delete, Left, Right, Home, End, each by whole
// characters; Enter accepts and Esc cancels; a left click in the field moves
// the cursor (never the text), on a button presses it, anywhere else does
// nothing. The end of input cancels.
BoxState input_box_event(InputField& field, const console::InputEvent& event, const InputBoxLayout& layout,
                         const console::Screen& screen);

// Draws the whole box and places the cursor in the field.
void draw_input_box(console::Console& console, const InputBoxLayout& layout, std::string_view first_text,
                    std::string_view second_text, const InputField& field);

// The box from opening to closing on a terminal: the screen under it comes
// back. Returns the text typed, or the empty text when cancelled.
std::string run_input_box(console::Console& console, int row, int col, std::string_view first_text,
                          std::string_view second_text, std::string_view default_text);

}  // namespace dialogs
