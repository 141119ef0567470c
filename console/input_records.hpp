// The Windows console's input records (what ReadConsoleInputA gives, or
// ReadConsoleInputW for a program whose code page is UTF-8) as
// plain data, and their decoding into input events. Plain data so that the
// decoding is the same code in every build and is tested without a console:
// Wine's terminal console host delivers no mouse records at all, so the
// mouse half is proven here alone. terminal_windows.cpp fills these structs
// from INPUT_RECORD and checks that the values below are the system's.
#pragma once

#include <cstdint>
#include <string>

#include "console/input_event.hpp"

namespace console::input_records {

// Values of the Windows console interface.
namespace windows {
// Virtual-key codes.
constexpr std::uint16_t vk_back = 0x08;
constexpr std::uint16_t vk_tab = 0x09;
constexpr std::uint16_t vk_return = 0x0D;
constexpr std::uint16_t vk_shift = 0x10;
constexpr std::uint16_t vk_control = 0x11;
constexpr std::uint16_t vk_menu = 0x12;  // Alt
constexpr std::uint16_t vk_capital = 0x14;
constexpr std::uint16_t vk_escape = 0x1B;
constexpr std::uint16_t vk_prior = 0x21;
constexpr std::uint16_t vk_next = 0x22;
constexpr std::uint16_t vk_end = 0x23;
constexpr std::uint16_t vk_home = 0x24;
constexpr std::uint16_t vk_left = 0x25;
constexpr std::uint16_t vk_up = 0x26;
constexpr std::uint16_t vk_right = 0x27;
constexpr std::uint16_t vk_down = 0x28;
constexpr std::uint16_t vk_insert = 0x2D;
constexpr std::uint16_t vk_delete = 0x2E;
constexpr std::uint16_t vk_lwin = 0x5B;
constexpr std::uint16_t vk_rwin = 0x5C;
constexpr std::uint16_t vk_f1 = 0x70;
constexpr std::uint16_t vk_f12 = 0x7B;
constexpr std::uint16_t vk_numlock = 0x90;
constexpr std::uint16_t vk_scroll = 0x91;
constexpr std::uint16_t vk_lshift = 0xA0;
constexpr std::uint16_t vk_rshift = 0xA1;
constexpr std::uint16_t vk_lcontrol = 0xA2;
constexpr std::uint16_t vk_rcontrol = 0xA3;
constexpr std::uint16_t vk_lmenu = 0xA4;
constexpr std::uint16_t vk_rmenu = 0xA5;
// Control key state.
constexpr std::uint32_t right_alt_pressed = 0x0001;
constexpr std::uint32_t left_alt_pressed = 0x0002;
// Mouse button state: the low bits are the buttons, the high word the
// wheel's signed turn.
constexpr std::uint32_t from_left_1st_button_pressed = 0x0001;
constexpr std::uint32_t rightmost_button_pressed = 0x0002;
constexpr std::uint32_t from_left_2nd_button_pressed = 0x0004;
// Mouse event flags.
constexpr std::uint32_t mouse_moved = 0x0001;
constexpr std::uint32_t double_click = 0x0002;
constexpr std::uint32_t mouse_wheeled = 0x0004;
}  // namespace windows

struct KeyRecord {
  bool key_down = false;
  std::uint16_t virtual_key = 0;
  char ch = 0;  // the character in the program's code page (its first byte), 0 for none
  std::uint32_t control_keys = 0;
  std::string tail = {};  // the other bytes of a UTF-8 character of several
};

struct MouseRecord {
  int x = 0;  // cell, from 0
  int y = 0;
  std::uint32_t button_state = 0;
  std::uint32_t event_flags = 0;
};

// The event of a key record; false for one that counts for nothing: a
// release, or a press of Control, Shift, Alt, a Windows key, Caps Lock, Num
// Lock or Scroll Lock.
bool decode_key(const KeyRecord& key, InputEvent& event);

// For a program whose code page is UTF-8, which reads key records as UTF-16
// (ReadConsoleInputW): puts the character of a key press, unit, into key.ch
// and key.tail as UTF-8. A character above U+FFFF comes as two presses, its
// surrogate halves: the first is kept in high_surrogate and its press counts
// for nothing (false), as does a second half without a first.
bool take_utf16_character(char16_t unit, char16_t& high_surrogate, KeyRecord& key);

// The event of a mouse record; false for one that is no event of its own (a
// horizontal wheel, a record that changes no button). buttons holds the
// buttons down at the previous mouse record and is brought up to date. The
// second press of a double click is a press marked double_click.
bool decode_mouse(const MouseRecord& mouse, std::uint32_t& buttons, InputEvent& event);

}  // namespace console::input_records
