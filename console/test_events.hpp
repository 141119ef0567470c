// Input events as the console's tests expect them.
#pragma once

#include <string>
#include <string_view>

#include "console/input_event.hpp"

namespace console::test_events {

inline InputEvent event(Key k) {
  InputEvent e;
  e.key = k;
  return e;
}
inline InputEvent character(char c) {
  InputEvent e = event(Key::character);
  e.ch = c;
  return e;
}
inline InputEvent character(std::string_view utf8) {
  InputEvent e = character(utf8[0]);
  e.tail = std::string(utf8.substr(1));
  return e;
}
inline InputEvent function(int n) {
  InputEvent e = event(Key::function);
  e.function_number = n;
  return e;
}
inline InputEvent mouse(Key k, int button, int row, int col, bool double_click = false) {
  InputEvent e = event(k);
  e.button = button;
  e.row = row;
  e.col = col;
  e.double_click = double_click;
  return e;
}

}  // namespace console::test_events
