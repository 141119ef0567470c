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

// The text being edited; cursor is a byte offset at a character's start.
struct InputField {
  std::string text;
  std::size_t cursor = 0;
};

enum class BoxState { open, accepted, cancelled };

InputBoxLayout input_box_layout(const console::Screen& screen, int row, int col, std::string_view first_text,
                                std::string_view second_text);

// Typing, Backspace, Delete, Left, Right, Home, End; Enter accepts and Esc
// cancels; a left click in the field moves the cursor, on a button presses
// it, anywhere else does nothing. The end of input cancels.
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
