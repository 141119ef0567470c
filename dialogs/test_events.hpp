// Input events as the boxes' tests feed them.
#pragma once

#include <string>
#include <string_view>

#include "console/console.hpp"

namespace dialogs::test_events {

using console::InputEvent;
using console::Key;

inline InputEvent key(Key k) {
  InputEvent event;
  event.key = k;
  return event;
}
inline InputEvent typed(char c) {
  InputEvent event = key(Key::character);
  event.ch = c;
  return event;
}
// One character of several bytes, as a UTF-8 terminal sends it.
inline InputEvent typed(std::string_view character) {
  InputEvent event = typed(character[0]);
  event.tail = std::string(character.substr(1));
  return event;
}
inline InputEvent click(int row, int col, int button = 1) {
  InputEvent event = key(Key::mouse_press);
  event.button = button;
  event.row = row;
  event.col = col;
  return event;
}

}  // namespace dialogs::test_events
