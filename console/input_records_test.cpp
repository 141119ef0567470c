#include "console/input_records.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/test_events.hpp"

namespace console {

void PrintTo(const InputEvent& e, std::ostream* os) {
  *os << "key " << static_cast<int>(e.key) << " ch " << static_cast<int>(static_cast<unsigned char>(e.ch)) << " F"
      << e.function_number << " button " << e.button << " at " << e.row << "," << e.col
      << (e.double_click ? " double" : "");
}

namespace input_records {
namespace {

using namespace windows;

constexpr std::uint32_t left_ctrl_pressed = 0x0008;

using namespace test_events;

KeyRecord press(std::uint16_t vk, char ch = 0, std::uint32_t control = 0) { return {true, vk, ch, control}; }

TEST(InputRecords, KeyPressesAndWhatTheyGive) {
  struct Case {
    const char* name;
    KeyRecord record;
    InputEvent expected;
  };
  const Case cases[] = {
      {"letter", press('A', 'a'), character('a')},
      {"shifted letter", press('A', 'A', 0x0010), character('A')},
      {"digit with Alt", press('1', '1', left_alt_pressed), character('1')},
      {"Control-C is a key", press('C', '\x03', left_ctrl_pressed), character('\x03')},
      {"code page 437 letter", press(0xDE, '\x84'), character('\x84')},
      {"Alt with a letter", press('X', 'x', left_alt_pressed), event(Key::other)},
      {"AltGr with a letter", press('Q', '@', right_alt_pressed | left_ctrl_pressed), event(Key::other)},
      {"key without a character", press(0x5D), event(Key::other)},
      {"Enter", press(vk_return, '\r'), event(Key::enter)},
      {"Esc", press(vk_escape, '\x1b'), event(Key::escape)},
      {"Backspace", press(vk_back, '\b'), event(Key::backspace)},
      {"Tab", press(vk_tab, '\t'), event(Key::tab)},
      {"Up", press(vk_up), event(Key::up)},
      {"Down", press(vk_down), event(Key::down)},
      {"Left", press(vk_left), event(Key::left)},
      {"Right", press(vk_right), event(Key::right)},
      {"Home", press(vk_home), event(Key::home)},
      {"End", press(vk_end), event(Key::end)},
      {"PgUp", press(vk_prior), event(Key::page_up)},
      {"PgDn", press(vk_next), event(Key::page_down)},
      {"Insert", press(vk_insert), event(Key::insert)},
      {"Delete", press(vk_delete, '\x7f'), event(Key::delete_key)},
      {"F1", press(vk_f1), function(1)},
      {"F12", press(vk_f12), function(12)},
  };
  for (const Case& c : cases) {
    InputEvent got;
    EXPECT_TRUE(decode_key(c.record, got)) << c.name;
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(InputRecords, ReleasesAndModifierKeysCountForNothing) {
  const std::uint16_t modifiers[] = {vk_shift, vk_lshift, vk_rshift,  vk_control, vk_lcontrol, vk_rcontrol, vk_menu,
                                     vk_lmenu, vk_rmenu,  vk_capital, vk_numlock, vk_scroll,   vk_lwin,     vk_rwin};
  for (std::uint16_t vk : modifiers) {
    InputEvent got;
    EXPECT_FALSE(decode_key(press(vk), got)) << "virtual key " << vk;
  }
  InputEvent got;
  EXPECT_FALSE(decode_key(KeyRecord{false, 'A', 'a', 0}, got)) << "a key released";
  EXPECT_FALSE(decode_key(KeyRecord{false, vk_return, '\r', 0}, got)) << "Enter released";
}

// A program whose code page is UTF-8 reads key presses as UTF-16 units: each
// press in order, what it gives (nothing: no event of its own).
TEST(InputRecords, Utf16KeyPressesGiveUtf8Characters) {
  struct Step {
    const char* name;
    std::uint16_t vk;
    char16_t unit;
    bool counts;
    InputEvent expected;
  };
  const Step steps[] = {
      {"ASCII letter", 'A', u'a', true, character('a')},
      {"a letter of two bytes", 0, u'\x00E4', true, character("\xC3\xA4")},
      {"a CJK character", 0, u'\x8003', true, character("\xE8\x80\x83")},
      {"first half of a character above U+FFFF", 0, u'\xD83D', false, {}},
      {"its second half", 0, u'\xDE00', true, character("\xF0\x9F\x98\x80")},
      {"a second half alone", 0, u'\xDE00', false, {}},
      {"a first half and then no second one: only the other key", 0, u'\xD83D', false, {}},
      {"Enter", vk_return, u'\r', true, event(Key::enter)},
      {"a key without a character", vk_down, 0, true, event(Key::down)},
  };
  char16_t high_surrogate = 0;
  for (const Step& step : steps) {
    KeyRecord key = press(step.vk);
    const bool counts = take_utf16_character(step.unit, high_surrogate, key);
    EXPECT_EQ(counts, step.counts) << step.name;
    if (!counts) continue;
    InputEvent got;
    EXPECT_TRUE(decode_key(key, got)) << step.name;
    EXPECT_EQ(got, step.expected) << step.name;
  }
}

// Mouse records in the order a console sends them: each press, move and
// release relative to the buttons down before it.
TEST(InputRecords, MouseRecordsInSequence) {
  struct Step {
    const char* name;
    MouseRecord record;
    bool counts;
    InputEvent expected;
  };
  const std::uint32_t left = from_left_1st_button_pressed;
  const std::uint32_t right = rightmost_button_pressed;
  const std::uint32_t middle = from_left_2nd_button_pressed;
  const Step steps[] = {
      {"left press", {4, 2, left, 0}, true, mouse(Key::mouse_press, 1, 3, 5)},
      {"drag", {6, 2, left, mouse_moved}, true, mouse(Key::mouse_move, 1, 3, 7)},
      {"left release", {6, 2, 0, 0}, true, mouse(Key::mouse_release, 1, 3, 7)},
      {"second press of a double click", {6, 2, left, double_click}, true, mouse(Key::mouse_press, 1, 3, 7, true)},
      {"its release", {6, 2, 0, 0}, true, mouse(Key::mouse_release, 1, 3, 7)},
      {"move without buttons", {0, 0, 0, mouse_moved}, true, mouse(Key::mouse_move, 0, 1, 1)},
      {"right press", {79, 29, right, 0}, true, mouse(Key::mouse_press, 2, 30, 80)},
      {"left pressed while right is down", {79, 29, right | left, 0}, true, mouse(Key::mouse_press, 1, 30, 80)},
      {"right released, left still down", {79, 29, left, 0}, true, mouse(Key::mouse_release, 2, 30, 80)},
      {"nothing changed", {79, 29, left, 0}, false, {}},
      {"left released", {79, 29, 0, 0}, true, mouse(Key::mouse_release, 1, 30, 80)},
      {"middle press", {1, 1, middle, 0}, true, mouse(Key::mouse_press, 3, 2, 2)},
      {"middle release", {1, 1, 0, 0}, true, mouse(Key::mouse_release, 3, 2, 2)},
      {"wheel away from the user", {9, 9, 0x00780000u, mouse_wheeled}, true, mouse(Key::wheel_up, 0, 10, 10)},
      {"wheel towards the user", {9, 9, 0xFF880000u, mouse_wheeled}, true, mouse(Key::wheel_down, 0, 10, 10)},
      {"horizontal wheel", {9, 9, 0x00780000u, 0x0008}, false, {}},
  };
  std::uint32_t buttons = 0;
  for (const Step& step : steps) {
    InputEvent got;
    EXPECT_EQ(decode_mouse(step.record, buttons, got), step.counts) << step.name;
    if (step.counts) {
      EXPECT_EQ(got, step.expected) << step.name;
    }
  }
}

// What ends a wait for a key, from the records up, with the program's
// selection: buttons 1 and 2, presses only.
TEST(InputRecords, WhatEndsAWaitForAKey) {
  Console console;
  console.mouse_input = true;
  console.mouse_buttons = 3;
  console.mouse_kinds = 4;
  struct Step {
    const char* name;
    MouseRecord record;
    bool ends_wait;
  };
  const Step clicks[] = {
      {"left press", {5, 5, from_left_1st_button_pressed, 0}, true},
      {"left release", {5, 5, 0, 0}, false},
      {"double click", {5, 5, from_left_1st_button_pressed, double_click}, false},
      {"double click release", {5, 5, 0, 0}, false},
      {"right press", {5, 5, rightmost_button_pressed, 0}, true},
      {"move with the right button down", {6, 5, rightmost_button_pressed, mouse_moved}, false},
      {"right release", {6, 5, 0, 0}, false},
      {"middle press", {5, 5, from_left_2nd_button_pressed, 0}, false},
      {"middle release", {5, 5, 0, 0}, false},
      {"wheel", {5, 5, 0x00780000u, mouse_wheeled}, false},
  };
  std::uint32_t buttons = 0;
  for (const Step& step : clicks) {
    InputEvent got;
    const bool decoded = decode_mouse(step.record, buttons, got);
    EXPECT_EQ(decoded && ends_key_wait(console, got), step.ends_wait) << step.name;
  }
  InputEvent key;
  ASSERT_TRUE(decode_key(press(vk_down), key));
  EXPECT_TRUE(ends_key_wait(console, key));
  InputEvent click;
  ASSERT_TRUE(decode_mouse({5, 5, from_left_1st_button_pressed, 0}, buttons, click));
  console.mouse_input = false;
  EXPECT_FALSE(ends_key_wait(console, click)) << "mouse input off";
}

}  // namespace
}  // namespace input_records
}  // namespace console
