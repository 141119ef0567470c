// What the input box and the list box share: their place on the screen, the
// frame, texts cut to the cells they may use, and the screen under a box,
// saved when it opens and put back when it closes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/console.hpp"

namespace dialogs {

// Rows and columns from 1, as on the screen. A box may reach past a small
// screen; what lies outside is simply not drawn.
struct BoxArea {
  int top = 1;
  int left = 1;
  int height = 1;
  int width = 1;
};

// Colours of the boxes: foreground + 16 * background.
constexpr unsigned char box_colour = 0x1F;     // bright white on blue
constexpr unsigned char hint_colour = 0x1E;    // yellow on blue
constexpr unsigned char field_colour = 0xF0;   // black on bright white
constexpr unsigned char chosen_colour = 0xF0;  // the selected item
constexpr unsigned char button_colour = 0x70;  // black on light grey

// A box of the given size centred on row, col, moved into the part of the
// screen the operator sees (view) where it fits; where it does not, it
// starts at the view's top or left and the view follows the cursor.
BoxArea centred_area(const console::Screen& screen, const console::View& view, int row, int col, int height, int width);

// Number of cells the text takes on this screen (one per character, two for
// a double-width one).
int text_cells(const console::Screen& screen, std::string_view text);
// The longest start of text that takes at most cells cells; never cuts a
// character in two.
std::string_view first_cells(const console::Screen& screen, std::string_view text, int cells);
// The longest end of text that takes at most cells cells; never cuts a
// character in two.
std::string_view last_cells(const console::Screen& screen, std::string_view text, int cells);
// The text padded with blanks, or cut, to exactly cells cells.
std::string fit_cells(const console::Screen& screen, std::string_view text, int cells);

// What stands for the part of a text left out: the ellipsis character
// (U+2026, one cell) where the screen holds UTF-8 characters; "..." on a
// screen of one byte per cell, since code page 437, which the Windows
// console shows, has no such character.
std::string_view ellipsis(const console::Screen& screen);
// A name that fits in cells cells as it is; a longer one as its beginning,
// the ellipsis and its end, the end holding at least its extension (from
// its last '.'), so that names which differ only near their end stay apart.
// The result may be a cell short of cells where a double-width character
// did not fit; no character is cut in two.
std::string name_in_cells(const console::Screen& screen, std::string_view name, int cells);
// A path that fits in cells cells as it is; a longer one as the ellipsis
// and its end, from a separator ('/' or '\\') where its last part fits, so
// that the folder one is in stays readable.
std::string path_in_cells(const console::Screen& screen, std::string_view path, int cells);

// Frame of '+', '-' and '|' with the inside filled with blanks; plain bytes
// that every terminal and code page shows the same.
void draw_frame(console::Console& console, const BoxArea& area, unsigned char attr);
// A row of '-' across the inside, joined to the frame on both sides.
void draw_rule(console::Console& console, const BoxArea& area, int row, unsigned char attr);
// Cells a box's texts may take: its inside less a blank on either side.
int box_text_cells(const BoxArea& area);
// A box's frame with the two texts every box starts with, cut to the inside:
// the first on the row below the frame in the box's colour, the second (the
// hint) on hint_row in the hint colour.
void draw_box_with_texts(console::Console& console, const BoxArea& area, std::string_view first_text,
                         std::string_view second_text, int hint_row);

// The cells under a box and the cursor, to be given back when it closes.
// One more column on either side is kept, so that a double-width character
// the box cut in half comes back whole.
struct SavedScreen {
  BoxArea area;
  std::vector<console::Cell> cells;  // row by row, clipped to the screen
  int row = 1;
  int col = 1;
  bool pending_scroll = false;
};

SavedScreen save_screen(const console::Console& console, const BoxArea& area);
// Puts the cells back, and the cursor where printing goes on.
void restore_screen(console::Console& console, const SavedScreen& saved);

}  // namespace dialogs
