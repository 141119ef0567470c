// The list box: a title, a hint and a scrolling list of names in a frame,
// with OK and Cancel buttons. Keys and clicks work on plain values here, so
// the box can be driven without a terminal.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.hpp"
#include "dialogs/box_drawing.hpp"
#include "dialogs/input_box.hpp"

namespace dialogs {

struct ListBoxLayout {
  BoxArea area;
  int first_item_row = 1;
  int visible_items = 1;
  int item_left = 1;
  int item_width = 1;  // cells
  int scroll_col = 1;  // the column with the scroll bar
  int buttons_row = 1;
  int ok_left = 1;
  int cancel_left = 1;
};

struct ListChoice {
  std::vector<std::string_view> items;  // the non-empty items, in their order
  int selected = 0;
  int top = 0;  // first visible item
};

// The box in the middle of the part of the screen the operator sees (view),
// showing as many items as fit in it (at least one).
ListBoxLayout list_box_layout(const console::Screen& screen, const console::View& view, std::string_view first_text,
                              std::string_view second_text, const std::vector<std::string_view>& items);

std::vector<std::string_view> non_empty_items(std::span<const std::string> items);

// Up, Down, PgUp, PgDn, Home, End; a typed character jumps to the next item
// starting with it (either case for letters). Enter chooses the selected item, Esc
// leaves. A left click selects an item, a second click on the selected one
// chooses it; the wheel and the scroll bar scroll; OK and Cancel as on the
// keyboard. The end of input leaves.
BoxState list_box_event(ListChoice& choice, const console::InputEvent& event, const ListBoxLayout& layout);

// Draws the whole box. A name wider than the list shows its beginning and
// its end, a title (the folder) wider than the box its end; what is chosen
// is always the whole name. The hidden cursor stands on the selected item (or,
// when the wheel scrolled it out of the list, on the nearest item shown), so
// that a terminal too small for the box keeps it on view.
void draw_list_box(console::Console& console, const ListBoxLayout& layout, std::string_view first_text,
                   std::string_view second_text, const ListChoice& choice);

// The box from opening to closing on a terminal: the screen under it comes
// back. Returns the chosen item, or the empty text when left without a choice.
std::string run_list_box(console::Console& console, std::string_view first_text, std::string_view second_text,
                         std::span<const std::string> items);

}  // namespace dialogs
