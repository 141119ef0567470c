// Input events as the boxes' tests feed them, in the boxes' own words.
#pragma once

#include <string_view>

#include "console/test_events.hpp"

namespace dialogs::test_events {

using console::InputEvent;
using console::Key;

inline InputEvent key(Key k) { return console::test_events::event(k); }
inline InputEvent typed(char c) { return console::test_events::character(c); }
// One character of several bytes, as a UTF-8 terminal sends it.
inline InputEvent typed(std::string_view character) { return console::test_events::character(character); }
inline InputEvent click(int row, int col, int button = 1) {
  return console::test_events::mouse(Key::mouse_press, button, row, col);
}

}  // namespace dialogs::test_events
