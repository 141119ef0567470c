#include "console/input_records.hpp"

#include "console/glyphs.hpp"

namespace console::input_records {

namespace {

using namespace windows;

bool is_modifier(std::uint16_t key) {
  switch (key) {
    case vk_control:
    case vk_shift:
    case vk_menu:
    case vk_capital:
    case vk_numlock:
    case vk_scroll:
    case vk_lcontrol:
    case vk_rcontrol:
    case vk_lshift:
    case vk_rshift:
    case vk_lmenu:
    case vk_rmenu:
    case vk_lwin:
    case vk_rwin: return true;
    default: return false;
  }
}

Key named_key(std::uint16_t code) {
  switch (code) {
    case vk_return: return Key::enter;
    case vk_escape: return Key::escape;
    case vk_back: return Key::backspace;
    case vk_tab: return Key::tab;
    case vk_up: return Key::up;
    case vk_down: return Key::down;
    case vk_left: return Key::left;
    case vk_right: return Key::right;
    case vk_home: return Key::home;
    case vk_end: return Key::end;
    case vk_prior: return Key::page_up;
    case vk_next: return Key::page_down;
    case vk_insert: return Key::insert;
    case vk_delete: return Key::delete_key;
    default: return Key::other;
  }
}

// Button 1 the left, 2 the right, 3 the middle one.
int button_number(std::uint32_t bit) {
  if (bit == from_left_1st_button_pressed) return 1;
  if (bit == rightmost_button_pressed) return 2;
  if (bit == from_left_2nd_button_pressed) return 3;
  return 0;
}

std::uint32_t lowest_bit(std::uint32_t bits) { return bits & (~bits + 1); }

}  // namespace

bool decode_key(const KeyRecord& key, InputEvent& event) {
  if (!key.key_down || is_modifier(key.virtual_key)) return false;
  event = InputEvent{};
  const std::uint16_t code = key.virtual_key;
  event.key = named_key(code);
  if (event.key != Key::other) return true;
  if (code >= vk_f1 && code <= vk_f12) {
    event.key = Key::function;
    event.function_number = code - vk_f1 + 1;
    return true;
  }
  const bool alt = (key.control_keys & (left_alt_pressed | right_alt_pressed)) != 0;
  if (key.ch != 0 && !(alt && code >= 'A' && code <= 'Z')) {
    event.key = Key::character;
    event.ch = key.ch;
    event.tail = key.tail;
  }
  return true;  // otherwise Key::other: Alt with a letter, or a key without a character
}

bool take_utf16_character(char16_t unit, char16_t& high_surrogate, KeyRecord& key) {
  const char16_t high = high_surrogate;
  high_surrogate = 0;
  char32_t cp = unit;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    high_surrogate = unit;
    return false;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (high == 0) return false;
    cp = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00);
  }
  key.ch = 0;
  key.tail.clear();
  if (cp == 0) return true;  // a key without a character
  std::string bytes;
  append_utf8(bytes, cp);
  key.ch = bytes[0];
  key.tail = bytes.substr(1);
  return true;
}

bool decode_mouse(const MouseRecord& mouse, std::uint32_t& buttons, InputEvent& event) {
  event = InputEvent{};
  event.row = mouse.y + 1;
  event.col = mouse.x + 1;
  if (mouse.event_flags == mouse_wheeled) {
    event.key = static_cast<std::int16_t>(mouse.button_state >> 16) > 0 ? Key::wheel_up : Key::wheel_down;
    return true;
  }
  const std::uint32_t before = buttons;
  const std::uint32_t now = mouse.button_state & 0x1F;
  if (mouse.event_flags != 0 && mouse.event_flags != mouse_moved && mouse.event_flags != double_click) {
    return false;  // a horizontal wheel
  }
  buttons = now;
  if (mouse.event_flags == mouse_moved) {
    event.key = Key::mouse_move;
    event.button = button_number(lowest_bit(now));
    return true;
  }
  if (mouse.event_flags == double_click) {
    // The console reports the second press of a double click this way, and
    // its button may already have counted as down.
    const std::uint32_t pressed = now & ~before;
    const std::uint32_t button = lowest_bit(pressed != 0 ? pressed : now);
    if (button == 0) return false;
    event.key = Key::mouse_press;
    event.button = button_number(button);
    event.double_click = true;
    return true;
  }
  const std::uint32_t pressed = now & ~before;
  const std::uint32_t released = before & ~now;
  const std::uint32_t changed = pressed != 0 ? pressed : released;
  if (changed == 0) return false;
  event.key = pressed != 0 ? Key::mouse_press : Key::mouse_release;
  event.button = button_number(lowest_bit(changed));
  return true;
}

}  // namespace console::input_records
