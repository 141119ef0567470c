// Input events as the boxes' tests feed them.
#pragma once

#include "console/console.hpp"

namespace dialogs::test_events {

using console::InputEvent;
using console::Key;

inline InputEvent key(Key k) { return InputEvent{k}; }
inline InputEvent typed(char c) { return InputEvent{Key::character, c}; }
inline InputEvent click(int row, int col, int button = 1) {
  InputEvent event{Key::mouse_press};
  event.button = button;
  event.row = row;
  event.col = col;
  return event;
}

}  // namespace dialogs::test_events
