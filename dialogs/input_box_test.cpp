#include "dialogs/input_box.hpp"
#include "dialogs/test_events.hpp"

#include <gtest/gtest.h>

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
  const InputBoxLayout layout = input_box_layout(screen, 15, 40, "question", "hint");
  const EditCase cases[] = {
      {"typing", typing("exam"), "exam", 4},
      {"backspace", typing("exam") + std::vector{key(Key::backspace)}, "exa", 3},
      {"backspace at start", std::vector{key(Key::backspace)}, "", 0},
      {"left then type", typing("eam") + std::vector{key(Key::left), key(Key::left), typed('x')}, "exam", 2},
      {"home, delete", typing("xexam") + std::vector{key(Key::home), key(Key::delete_key)}, "exam", 0},
      {"delete at end", typing("ab") + std::vector{key(Key::delete_key)}, "ab", 2},
      {"left stops at start", typing("a") + std::vector{key(Key::left), key(Key::left)}, "a", 0},
      {"right stops at end", typing("ab") + std::vector{key(Key::home), key(Key::right), key(Key::right),
                                                        key(Key::right)},
       "ab", 2},
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
  const InputBoxLayout layout = input_box_layout(screen, 15, 40, "q", "h");
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

TEST(InputBoxEnding, EnterAndOkAcceptEscCancelAndEndOfInputCancel) {
  const console::Screen screen;
  const InputBoxLayout layout = input_box_layout(screen, 15, 40, "question", "hint");
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
  const InputBoxLayout layout = input_box_layout(screen, 15, 40, "question", "hint");
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
  const InputBoxLayout layout = input_box_layout(console.screen, 15, 40, question, hint);
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
  const InputBoxLayout layout = input_box_layout(console.screen, 15, 40, question, "h");
  EXPECT_EQ(layout.area.left, 1);
  EXPECT_EQ(layout.area.width, 80);
  const std::string typed_text = std::string(100, 'a') + "END";
  draw_input_box(console, layout, question, "h", InputField{typed_text, typed_text.size()});
  EXPECT_EQ(row_text(console.screen, layout.area.top + 1, 77, 4), "qq |");
  // The end of the text is in view with the cursor just after it.
  EXPECT_EQ(row_text(console.screen, layout.field_row, layout.field_left + layout.field_width - 4, 4), "END ");
  EXPECT_EQ(console.screen.col, layout.field_left + layout.field_width - 1);
}

TEST(InputBoxDrawing, SmallScreenIsDrawnClipped) {
  console::Console console;
  console::set_size(console.screen, 20, 4);
  const InputBoxLayout layout = input_box_layout(console.screen, 15, 40, "a long question here", "hint");
  draw_input_box(console, layout, "a long question here", "hint", InputField{"typed", 5});
  EXPECT_EQ(console.screen.width, 20);
  EXPECT_EQ(console.screen.height, 4);
  EXPECT_EQ(row_text(console.screen, 1, 1, 1), "+");
  EXPECT_EQ(row_text(console.screen, 2, 3, 6), "a long");
}

}  // namespace
}  // namespace dialogs
