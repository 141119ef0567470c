#include "dialogs/input_box.hpp"
#include "dialogs/test_events.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dialogs {
namespace {

using namespace test_events;

std::vector<InputEvent> typing(std::string_view text) {
  std::vector<InputEvent> events;
  for (char c : text) events.push_back(typed(c));
  return events;
}

struct EditCase {
  const char* name;
  std::vector<InputEvent> events;
  std::string text;
  std::size_t cursor;
};

std::vector<InputEvent> operator+(std::vector<InputEvent> a, const std::vector<InputEvent>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(InputBoxEditing, KeysEditTheFieldAtTheCursor) {
  const console::Screen screen;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "question", "hint");
  const EditCase cases[] = {
      {"typing", typing("exam"), "exam", 4},
      {"backspace", typing("exam") + std::vector{key(Key::backspace)}, "exa", 3},
      {"backspace at start", std::vector{key(Key::backspace)}, "", 0},
      {"left then type", typing("eam") + std::vector{key(Key::left), key(Key::left), typed('x')}, "exam", 2},
      {"home, delete", typing("xexam") + std::vector{key(Key::home), key(Key::delete_key)}, "exam", 0},
      {"delete at end", typing("ab") + std::vector{key(Key::delete_key)}, "ab", 2},
      {"left stops at start", typing("a") + std::vector{key(Key::left), key(Key::left)}, "a", 0},
      {"right stops at end",
       typing("ab") + std::vector{key(Key::home), key(Key::right), key(Key::right), key(Key::right)}, "ab", 2},
      {"end", typing("ab") + std::vector{key(Key::home), key(Key::end), typed('c')}, "abc", 3},
      {"control bytes are not typed", std::vector{typed('\t'), typed('\x1b'), typed('\x7f'), typed('a')}, "a", 1},
      {"other keys change nothing", typing("a") + std::vector{key(Key::up), key(Key::page_down), key(Key::wheel_up)},
       "a", 1},
      {"blanks and backslashes stay", typing(" c:\\my exams\\ "), " c:\\my exams\\ ", 14},
  };
  for (const EditCase& c : cases) {
    InputField field;
    for (const InputEvent& event : c.events) {
      ASSERT_EQ(input_box_event(field, event, layout, screen), BoxState::open) << c.name;
    }
    EXPECT_EQ(field.text, c.text) << c.name;
    EXPECT_EQ(field.cursor, c.cursor) << c.name;
  }
}

TEST(InputBoxEditing, Utf8CharactersAreEditedWhole) {
  console::Screen screen;
  screen.utf8 = true;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "q", "h");
  InputField field;
  for (const InputEvent& event : typing("a\xC3\xA9z")) input_box_event(field, event, layout, screen);
  input_box_event(field, key(Key::left), layout, screen);
  EXPECT_EQ(field.cursor, 3u);
  input_box_event(field, key(Key::left), layout, screen);
  EXPECT_EQ(field.cursor, 1u);
  input_box_event(field, key(Key::delete_key), layout, screen);
  EXPECT_EQ(field.text, "az");
  input_box_event(field, key(Key::end), layout, screen);
  for (const InputEvent& event : typing("\xC3\xA9")) input_box_event(field, event, layout, screen);
  input_box_event(field, key(Key::backspace), layout, screen);
  EXPECT_EQ(field.text, "az");
}

#define WIDE_A "\xE4\xB8\xAD"  // two columns each
#define WIDE_B "\xE6\x96\x87"

TEST(InputBoxEditing, DoubleWidthCharactersAreEditedWholeAndTakeTwoCells) {
  console::Console console;
  console.screen.utf8 = true;
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::whole_screen(console.screen), 15, 40, "q", "h");
  InputField field;
  for (const InputEvent& event : {typed(WIDE_A), typed(WIDE_B), typed('x')}) {
    input_box_event(field, event, layout, console.screen);
  }
  EXPECT_EQ(field.text, WIDE_A WIDE_B "x");
  const struct {
    const char* name;
    std::vector<InputEvent> events;
    std::string text;
    std::size_t cursor;
    int cursor_col;  // from the field's first cell
  } cases[] = {
      {"at the end", {}, WIDE_A WIDE_B "x", 7, 5},
      {"left over x", {key(Key::left)}, WIDE_A WIDE_B "x", 6, 4},
      {"left over a wide one", {key(Key::left), key(Key::left)}, WIDE_A WIDE_B "x", 3, 2},
      {"backspace", {key(Key::left), key(Key::backspace)}, WIDE_A "x", 3, 2},
      {"delete", {key(Key::home), key(Key::delete_key)}, WIDE_B "x", 0, 0},
      {"right", {key(Key::home), key(Key::right)}, WIDE_A WIDE_B "x", 3, 2},
      {"click on a left half", {click(layout.field_row, layout.field_left + 2)}, WIDE_A WIDE_B "x", 3, 2},
      {"click on a right half: before its character",
       {click(layout.field_row, layout.field_left + 3)},
       WIDE_A WIDE_B "x",
       3,
       2},
  };
  for (const auto& c : cases) {
    InputField edited = field;
    for (const InputEvent& event : c.events) input_box_event(edited, event, layout, console.screen);
    EXPECT_EQ(edited.text, c.text) << c.name;
    EXPECT_EQ(edited.cursor, c.cursor) << c.name;
    draw_input_box(console, layout, "q", "h", edited);
    EXPECT_EQ(console.screen.col, layout.field_left + c.cursor_col) << c.name;
  }
}

TEST(InputBoxEditing, NothingTypedPastTheLimitAndNoCharacterCutByIt) {
  console::Screen screen;
  screen.utf8 = true;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "q", "h");
  InputField field{std::string(input_limit - 2, 'a'), input_limit - 2};
  input_box_event(field, typed(WIDE_A), layout, screen);
  EXPECT_EQ(field.text.size(), input_limit - 2) << "three bytes do not fit in two";
  input_box_event(field, typed('b'), layout, screen);
  input_box_event(field, typed('c'), layout, screen);
  input_box_event(field, typed('d'), layout, screen);
  EXPECT_EQ(field.text, std::string(input_limit - 2, 'a') + "bc");
}

// A field narrower than the text: what the operator sees of it moves only
// when the cursor would leave it.
TEST(InputBoxField, TheViewScrollsOnlyWhenTheCursorWouldLeaveIt) {
  const console::Screen screen;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "q", "h");
  const int width = layout.field_width;
  const std::size_t length = static_cast<std::size_t>(width) + 9;  // ten characters hidden on the left
  const std::vector<InputEvent> long_text = typing(std::string(length, 'x'));
  const std::vector<InputEvent> lefts(static_cast<std::size_t>(width - 1), key(Key::left));
  const struct {
    const char* name;
    std::vector<InputEvent> events;
    std::size_t cursor;
    std::size_t first;
  } cases[] = {
      {"typing past the end", long_text, length, 10},
      {"left inside the field moves the cursor alone", long_text + std::vector{key(Key::left), key(Key::left)},
       length - 2, 10},
      {"left to the field's first cell", long_text + lefts, 10, 10},
      {"left once more scrolls by one", long_text + lefts + std::vector{key(Key::left)}, 9, 9},
      {"home", long_text + std::vector{key(Key::home)}, 0, 0},
      {"home then right inside the field", long_text + std::vector{key(Key::home), key(Key::right)}, 1, 0},
      {"home then end", long_text + std::vector{key(Key::home), key(Key::end)}, length, 10},
      {"a click moves the cursor, never the text",
       long_text + std::vector{click(layout.field_row, layout.field_left + 3)}, 13, 10},
      {"a click after the text's end", typing("ab") + std::vector{click(layout.field_row, layout.field_left + 20)}, 2,
       0},
      {"backspace at the end brings hidden text back",
       long_text + std::vector{key(Key::backspace), key(Key::backspace), key(Key::backspace)}, length - 3, 7},
      {"delete inside, with text hidden on the left",
       long_text + std::vector{key(Key::left), key(Key::left), key(Key::delete_key)}, length - 2, 9},
  };
  for (const auto& c : cases) {
    InputField field;
    for (const InputEvent& event : c.events) input_box_event(field, event, layout, screen);
    EXPECT_EQ(field.cursor, c.cursor) << c.name;
    EXPECT_EQ(field.first, c.first) << c.name;
  }
}

TEST(InputBoxEnding, EnterAndOkAcceptEscCancelAndEndOfInputCancel) {
  const console::Screen screen;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "question", "hint");
  const struct {
    const char* name;
    InputEvent event;
    BoxState state;
  } cases[] = {
      {"enter", key(Key::enter), BoxState::accepted},
      {"escape", key(Key::escape), BoxState::cancelled},
      {"end of input", key(Key::end_of_input), BoxState::cancelled},
      {"click on OK", click(layout.buttons_row, layout.ok_left + 1), BoxState::accepted},
      {"click on Cancel", click(layout.buttons_row, layout.cancel_left + 7), BoxState::cancelled},
      {"right click on OK", click(layout.buttons_row, layout.ok_left + 1, 2), BoxState::open},
      {"click between the buttons", click(layout.buttons_row, layout.ok_left + 9), BoxState::open},
      {"click outside the box", click(1, 1), BoxState::open},
      {"click on the frame", click(layout.area.top, layout.area.left), BoxState::open},
  };
  for (const auto& c : cases) {
    InputField field{"kept", 4};
    EXPECT_EQ(input_box_event(field, c.event, layout, screen), c.state) << c.name;
    EXPECT_EQ(field.text, "kept") << c.name;
  }
}

TEST(InputBoxEnding, ClickInTheFieldMovesTheCursor) {
  const console::Screen screen;
  const InputBoxLayout layout = input_box_layout(screen, console::whole_screen(screen), 15, 40, "question", "hint");
  InputField field{"exam.gbk", 8};
  input_box_event(field, click(layout.field_row, layout.field_left + 2), layout, screen);
  EXPECT_EQ(field.cursor, 2u);
  input_box_event(field, click(layout.field_row, layout.field_left + 30), layout, screen);
  EXPECT_EQ(field.cursor, 8u);
}

std::string row_text(const console::Screen& screen, int row, int col, int cells) {
  std::string text;
  for (int c = col; c < col + cells; ++c) text += console::cell_text(console::cell_at(screen, row, c));
  return text;
}

TEST(InputBoxDrawing, QuestionFieldHintAndCursorAtTheirPlaces) {
  console::Console console;
  const std::string question = "Change default directory for .gbk course files? ";
  const std::string hint = "<Cancel> accepts program's directory";
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::whole_screen(console.screen), 15, 40, question, hint);
  draw_input_box(console, layout, question, hint, InputField{"/tmp/x", 6});
  const BoxArea& a = layout.area;
  EXPECT_EQ(row_text(console.screen, a.top, a.left, a.width), "+" + std::string(a.width - 2, '-') + "+");
  EXPECT_EQ(row_text(console.screen, a.top + 1, a.left + 2, static_cast<int>(question.size())), question);
  EXPECT_EQ(row_text(console.screen, a.top + 3, a.left + 2, static_cast<int>(hint.size())), hint);
  EXPECT_EQ(row_text(console.screen, layout.field_row, layout.field_left, 7), "/tmp/x ");
  EXPECT_EQ(console::cell_at(console.screen, layout.field_row, layout.field_left).attr, field_colour);
  EXPECT_EQ(row_text(console.screen, layout.buttons_row, layout.ok_left, 8), "[  OK  ]");
  EXPECT_EQ(row_text(console.screen, layout.buttons_row, layout.cancel_left, 8), "[Cancel]");
  EXPECT_EQ(console.screen.row, layout.field_row);
  EXPECT_EQ(console.screen.col, layout.field_left + 6);
  // The start-up screen ends on row 10; the box leaves it readable.
  EXPECT_GT(a.top, 10);
}

TEST(InputBoxDrawing, LongTextScrollsInTheFieldAndLongQuestionIsCut) {
  console::Console console;
  const std::string question(200, 'q');
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::whole_screen(console.screen), 15, 40, question, "h");
  EXPECT_EQ(layout.area.left, 1);
  EXPECT_EQ(layout.area.width, 80);
  InputField field{std::string(100, 'a') + "END", 0};
  input_box_event(field, key(Key::end), layout, console.screen);
  draw_input_box(console, layout, question, "h", field);
  EXPECT_EQ(row_text(console.screen, layout.area.top + 1, 77, 4), "qq |");
  // The end of the text is in view with the cursor just after it.
  EXPECT_EQ(row_text(console.screen, layout.field_row, layout.field_left + layout.field_width - 4, 4), "END ");
  EXPECT_EQ(console.screen.col, layout.field_left + layout.field_width - 1);
}

TEST(InputBoxDrawing, LeftMovesTheCursorAndLeavesTheTextWhereItIs) {
  console::Console console;
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::whole_screen(console.screen), 15, 40, "question", "hint");
  InputField field;
  for (int i = 0; i < 60; ++i) input_box_event(field, typed(static_cast<char>('A' + i % 26)), layout, console.screen);
  draw_input_box(console, layout, "question", "hint", field);
  const std::string before = row_text(console.screen, layout.field_row, layout.field_left, layout.field_width);
  const int cursor_before = console.screen.col;
  input_box_event(field, key(Key::left), layout, console.screen);
  draw_input_box(console, layout, "question", "hint", field);
  EXPECT_EQ(row_text(console.screen, layout.field_row, layout.field_left, layout.field_width), before);
  EXPECT_EQ(console.screen.col, cursor_before - 1);
}

TEST(InputBoxDrawing, TheWholeBoxInsideTheViewOfASmallTerminal) {
  console::Console console;
  const std::string question = "Change default directory for .gbk course files? ";
  const struct {
    const char* name;
    console::View view;
  } cases[] = {
      {"80 by 24", {1, 1, 24, 80}},
      {"40 by 10 after the start-up screen", {2, 1, 10, 40}},
      {"30 by 6 further down", {20, 1, 6, 30}},
  };
  for (const auto& c : cases) {
    const InputBoxLayout layout = input_box_layout(console.screen, c.view, 15, 40, question, "hint");
    const BoxArea& a = layout.area;
    EXPECT_GE(a.top, c.view.top) << c.name;
    EXPECT_LE(a.top + a.height - 1, c.view.top + c.view.rows - 1) << c.name;
    EXPECT_GE(a.left, c.view.left) << c.name;
    EXPECT_LE(a.left + a.width - 1, c.view.left + c.view.cols - 1) << c.name;
    EXPECT_LE(layout.cancel_left + 7, a.left + a.width - 2) << c.name << ": the buttons inside the frame";
  }
}

TEST(InputBoxDrawing, SmallScreenIsDrawnClipped) {
  console::Console console;
  console::set_size(console.screen, 20, 4);
  const InputBoxLayout layout =
      input_box_layout(console.screen, console::whole_screen(console.screen), 15, 40, "a long question here", "hint");
  draw_input_box(console, layout, "a long question here", "hint", InputField{"typed", 5});
  EXPECT_EQ(console.screen.width, 20);
  EXPECT_EQ(console.screen.height, 4);
  EXPECT_EQ(row_text(console.screen, 1, 1, 1), "+");
  EXPECT_EQ(row_text(console.screen, 2, 3, 6), "a long");
}

}  // namespace
}  // namespace dialogs
