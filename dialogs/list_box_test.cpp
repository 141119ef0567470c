#include "dialogs/list_box.hpp"
#include "dialogs/test_events.hpp"

#include <gtest/gtest.h>

#include <array>

namespace dialogs {
namespace {

using namespace test_events;

// Names C000.GBK ... in 1000 entries with the empty ones behind, as the
// course file list holds them.
std::array<std::string, 1000> course_list(int names) {
  std::array<std::string, 1000> list{};
  for (int i = 0; i < names; ++i) {
    std::string number = std::to_string(i);
    list[static_cast<std::size_t>(i)] = "C" + std::string(3 - number.size(), '0') + number + ".GBK";
  }
  return list;
}

struct Box {
  std::array<std::string, 1000> list;
  ListChoice choice;
  ListBoxLayout layout;
  explicit Box(std::array<std::string, 1000> l, const console::Screen& screen = console::Screen{})
      : Box(std::move(l), screen, console::whole_screen(screen)) {}
  Box(std::array<std::string, 1000> l, const console::Screen& screen, const console::View& view) : list(std::move(l)) {
    choice.items = non_empty_items(list);
    layout = list_box_layout(screen, view, "/home/exams", "Select a .gbk file or exit", choice.items);
  }
};

TEST(ListBoxItems, OnlyTheNonEmptyItemsInTheirOrder) {
  std::array<std::string, 1000> list{};
  list[0] = "B.GBK";
  list[1] = "A.GBK";
  list[5] = "C.GBK";
  const std::vector<std::string_view> items = non_empty_items(list);
  EXPECT_EQ(items, (std::vector<std::string_view>{"B.GBK", "A.GBK", "C.GBK"}));
  Box box(list);
  EXPECT_EQ(box.layout.visible_items, 3);
}

TEST(ListBoxKeys, MoveTheSelectionAndKeepItInView) {
  Box probe(course_list(60));
  const int page = probe.layout.visible_items;
  ASSERT_EQ(page, 23);  // a 30-row screen has room for 23 names
  const struct {
    const char* name;
    std::vector<InputEvent> events;
    int selected;
    int top;
  } cases[] = {
      {"down", {key(Key::down), key(Key::down)}, 2, 0},
      {"up at the first stays", {key(Key::up)}, 0, 0},
      {"end", {key(Key::end)}, 59, 60 - page},
      {"end then down stays", {key(Key::end), key(Key::down)}, 59, 60 - page},
      {"page down", {key(Key::page_down)}, page, 1},
      {"page down twice then page up", {key(Key::page_down), key(Key::page_down), key(Key::page_up)}, page, page},
      {"end then home", {key(Key::end), key(Key::home)}, 0, 0},
      {"down past the view scrolls one row", std::vector<InputEvent>(static_cast<std::size_t>(page), key(Key::down)),
       page, 1},
  };
  for (const auto& c : cases) {
    Box box(course_list(60));
    for (const InputEvent& event : c.events) {
      ASSERT_EQ(list_box_event(box.choice, event, box.layout), BoxState::open) << c.name;
    }
    EXPECT_EQ(box.choice.selected, c.selected) << c.name;
    EXPECT_EQ(box.choice.top, c.top) << c.name;
  }
}

TEST(ListBoxKeys, LetterJumpsToTheNextItemStartingWithIt) {
  std::array<std::string, 1000> list{};
  const char* names[] = {"BIOLOGY.GBK", "BOTANY.GBK", "CHEMISTRY.GBK", "EXAM.GBK", "_OLD.GBK"};
  for (std::size_t i = 0; i < 5; ++i) list[i] = names[i];
  const struct {
    std::vector<char> letters;
    int selected;
  } cases[] = {
      {{'b'}, 1}, {{'b', 'b'}, 0}, {{'E'}, 3}, {{'e', 'c'}, 2}, {{'z'}, 0}, {{'_'}, 4}, {{' '}, 0},
  };
  for (const auto& c : cases) {
    Box box(list);
    for (char letter : c.letters) list_box_event(box.choice, typed(letter), box.layout);
    EXPECT_EQ(box.choice.selected, c.selected) << std::string(c.letters.begin(), c.letters.end());
  }
}

TEST(ListBoxKeys, EnterChoosesEscAndEndOfInputLeave) {
  Box box(course_list(3));
  list_box_event(box.choice, key(Key::down), box.layout);
  EXPECT_EQ(list_box_event(box.choice, key(Key::enter), box.layout), BoxState::accepted);
  EXPECT_EQ(box.choice.selected, 1);
  EXPECT_EQ(list_box_event(box.choice, key(Key::escape), box.layout), BoxState::cancelled);
  EXPECT_EQ(list_box_event(box.choice, key(Key::end_of_input), box.layout), BoxState::cancelled);
  Box empty(course_list(0));
  EXPECT_EQ(list_box_event(empty.choice, key(Key::enter), empty.layout), BoxState::cancelled);
  EXPECT_EQ(list_box_event(empty.choice, typed('c'), empty.layout), BoxState::open);
  EXPECT_EQ(list_box_event(empty.choice, key(Key::end), empty.layout), BoxState::open);
}

TEST(ListBoxMouse, ClickSelectsSecondClickChooses) {
  Box box(course_list(5));
  const ListBoxLayout& l = box.layout;
  EXPECT_EQ(list_box_event(box.choice, click(l.first_item_row + 3, l.item_left + 2), l), BoxState::open);
  EXPECT_EQ(box.choice.selected, 3);
  EXPECT_EQ(list_box_event(box.choice, click(l.first_item_row + 3, l.item_left), l), BoxState::accepted);
  EXPECT_EQ(box.choice.selected, 3);
  // Right button, below the last name, outside the box: nothing.
  for (const InputEvent& event : {click(l.first_item_row + 1, l.item_left, 2), click(l.first_item_row + 5, l.item_left),
                                  click(1, 1), click(l.area.top + 1, l.item_left)}) {
    EXPECT_EQ(list_box_event(box.choice, event, l), BoxState::open);
    EXPECT_EQ(box.choice.selected, 3);
  }
  EXPECT_EQ(list_box_event(box.choice, click(l.buttons_row, l.ok_left + 3), l), BoxState::accepted);
  EXPECT_EQ(list_box_event(box.choice, click(l.buttons_row, l.cancel_left), l), BoxState::cancelled);
}

TEST(ListBoxMouse, WheelAndScrollBarMoveTheViewNotTheSelection) {
  Box box(course_list(100));
  const ListBoxLayout& l = box.layout;
  const int page = l.visible_items;
  const struct {
    const char* name;
    std::vector<InputEvent> events;
    int top;
  } cases[] = {
      {"wheel down", {key(Key::wheel_down)}, 3},
      {"wheel down and up", {key(Key::wheel_down), key(Key::wheel_down), key(Key::wheel_up)}, 3},
      {"wheel up at the top", {key(Key::wheel_up)}, 0},
      {"down arrow of the bar", {click(l.first_item_row + page - 1, l.scroll_col)}, 1},
      {"track below the thumb", {click(l.first_item_row + page - 2, l.scroll_col)}, page},
      {"track then up arrow",
       {click(l.first_item_row + page - 2, l.scroll_col), click(l.first_item_row, l.scroll_col)},
       page - 1},
  };
  for (const auto& c : cases) {
    Box b(course_list(100));
    for (const InputEvent& event : c.events) list_box_event(b.choice, event, b.layout);
    EXPECT_EQ(b.choice.top, c.top) << c.name;
    EXPECT_EQ(b.choice.selected, 0) << c.name;
  }
  // Far down the list a click picks what is shown there.
  for (int i = 0; i < 40; ++i) list_box_event(box.choice, key(Key::wheel_down), l);
  EXPECT_EQ(box.choice.top, 100 - page);
  list_box_event(box.choice, click(l.first_item_row, l.item_left), l);
  EXPECT_EQ(box.choice.selected, 100 - page);
}

// In any view of at least 80 by 24 the whole box is on view, and the list
// shows as many names as fit; smaller views hold as much of the box as fits.
TEST(ListBoxLayout, TheBoxFitsThePartOfTheScreenOnView) {
  const struct {
    const char* name;
    console::View view;
    int names;
    int visible_items;
    bool whole_box;
  } cases[] = {
      {"80 by 30, 25 names", {1, 1, 30, 80}, 25, 23, true},
      {"80 by 30, 3 names", {1, 1, 30, 80}, 3, 3, true},
      {"80 by 24, 25 names", {1, 1, 24, 80}, 25, 17, true},
      {"80 by 24 showing rows 7 to 30", {7, 1, 24, 80}, 25, 17, true},
      {"80 by 30, 1000 names", {1, 1, 30, 80}, 1000, 23, true},
      {"40 by 10", {1, 1, 10, 40}, 25, 3, true},
      {"30 by 6: one name, part of the box", {1, 1, 6, 30}, 25, 1, false},
  };
  for (const auto& c : cases) {
    Box box(course_list(c.names), console::Screen{}, c.view);
    const ListBoxLayout& l = box.layout;
    const BoxArea& a = l.area;
    EXPECT_EQ(l.visible_items, c.visible_items) << c.name;
    const bool inside = a.top >= c.view.top && a.top + a.height - 1 <= c.view.top + c.view.rows - 1 &&
                        a.left >= c.view.left && a.left + a.width - 1 <= c.view.left + c.view.cols - 1;
    EXPECT_EQ(inside, c.whole_box) << c.name;
    EXPECT_EQ(l.buttons_row, a.top + a.height - 2) << c.name;
    EXPECT_LE(l.cancel_left + 7, a.left + a.width - 2) << c.name << ": the buttons inside the frame";
  }
}

std::string row_text(const console::Screen& screen, int row, int col, int cells) {
  std::string text;
  for (int c = col; c < col + cells; ++c) text += console::cell_text(console::cell_at(screen, row, c));
  return text;
}

TEST(ListBoxDrawing, TitleHintNamesAndTheSelection) {
  console::Console console;
  Box box(course_list(2));
  box.choice.selected = 1;
  draw_list_box(console, box.layout, "/home/exams", "Select a .gbk file or exit", box.choice);
  const ListBoxLayout& l = box.layout;
  EXPECT_EQ(row_text(console.screen, l.area.top + 1, l.area.left + 2, 11), "/home/exams");
  EXPECT_EQ(row_text(console.screen, l.area.top + 2, l.area.left + 2, 26), "Select a .gbk file or exit");
  EXPECT_EQ(row_text(console.screen, l.first_item_row, l.item_left, 8), "C000.GBK");
  EXPECT_EQ(row_text(console.screen, l.first_item_row + 1, l.item_left, 8), "C001.GBK");
  EXPECT_EQ(console::cell_at(console.screen, l.first_item_row, l.item_left).attr, box_colour);
  EXPECT_EQ(console::cell_at(console.screen, l.first_item_row + 1, l.item_left).attr, chosen_colour);
  EXPECT_EQ(row_text(console.screen, l.buttons_row, l.ok_left, 8), "[  OK  ]");
  // No scroll bar when every name is in view.
  EXPECT_EQ(row_text(console.screen, l.first_item_row, l.scroll_col, 1), " ");
}

// A name wider than the list keeps its beginning and its end, the folder in
// the title its end, all inside the frame; clicks and keys work on the
// whole name.
TEST(ListBoxDrawing, LongNamesShowBothEndsInsideTheFrame) {
  std::array<std::string, 1000> list{};
  list[0] = std::string(150, 'N') + "_A.GBK";
  list[1] = std::string(150, 'N') + "_B.GBK";
  console::Console console;
  Box box(list, console.screen);
  draw_list_box(console, box.layout, "/" + std::string(120, 'T') + "/exams/2024/spring", "hint", box.choice);
  const ListBoxLayout& l = box.layout;
  EXPECT_EQ(l.area.left, 1);
  EXPECT_EQ(l.area.width, 80);
  const std::string title = ".../exams/2024/spring";  // three dots: one byte per cell
  EXPECT_EQ(row_text(console.screen, l.area.top + 1, 2, 79), " " + title + std::string(76 - title.size(), ' ') + " |");
  EXPECT_EQ(row_text(console.screen, l.first_item_row, 2, 79),
            " " + std::string(36, 'N') + "..." + std::string(30, 'N') + "_A.GBK  |");
  EXPECT_EQ(row_text(console.screen, l.first_item_row + 1, 2, 79),
            " " + std::string(36, 'N') + "..." + std::string(30, 'N') + "_B.GBK  |");
  ASSERT_EQ(list_box_event(box.choice, click(l.first_item_row + 1, l.item_left + 70), l), BoxState::open);
  ASSERT_EQ(list_box_event(box.choice, click(l.first_item_row + 1, l.item_left + 70), l), BoxState::accepted);
  EXPECT_EQ(box.choice.items[static_cast<std::size_t>(box.choice.selected)], list[1]);
}

// On a terminal too small for the box the view follows the cursor, so the
// hidden cursor stands on the selected name, or on the nearest name shown
// when the wheel scrolled the selection out of the list.
TEST(ListBoxDrawing, TheCursorStandsOnTheSelectedName) {
  const struct {
    const char* name;
    std::vector<InputEvent> events;
    int row;  // among the names shown, from 0
  } cases[] = {
      {"first", {}, 0},
      {"third", {key(Key::down), key(Key::down)}, 2},
      {"end", {key(Key::end)}, -1},
      {"wheel scrolled the selection away upwards", {key(Key::wheel_down), key(Key::wheel_down)}, 0},
      {"wheel scrolled it away downwards", {key(Key::end), key(Key::wheel_up), key(Key::wheel_up)}, -1},
  };
  for (const auto& c : cases) {
    console::Console console;
    Box box(course_list(100));
    for (const InputEvent& event : c.events) list_box_event(box.choice, event, box.layout);
    draw_list_box(console, box.layout, "t", "h", box.choice);
    const int row = c.row >= 0 ? c.row : box.layout.visible_items - 1;
    EXPECT_EQ(console.screen.row, box.layout.first_item_row + row) << c.name;
    EXPECT_EQ(console.screen.col, box.layout.item_left) << c.name;
  }
}

TEST(ListBoxDrawing, ScrollBarShowsArrowsAndThumb) {
  console::Console console;
  Box box(course_list(100));
  draw_list_box(console, box.layout, "t", "h", box.choice);
  const ListBoxLayout& l = box.layout;
  std::string bar;
  for (int r = 0; r < l.visible_items; ++r) bar += row_text(console.screen, l.first_item_row + r, l.scroll_col, 1);
  EXPECT_EQ(bar, "^#" + std::string(static_cast<std::size_t>(l.visible_items - 3), ':') + "v");
}

}  // namespace
}  // namespace dialogs
