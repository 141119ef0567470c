// What the dialog boxes read: one decoded key or mouse event. The terminal
// form decodes them from the terminal's bytes (console/key_decoder.hpp), the
// Windows console from its input records (console/input_records.hpp).
#pragma once

#include <string>

namespace console {

enum class Key {
  character,  // ch holds the byte
  enter,
  escape,
  backspace,
  tab,
  up,
  down,
  left,
  right,
  home,
  end,
  page_up,
  page_down,
  insert,
  delete_key,
  function,     // function_number 1..12
  mouse_press,  // button 1 left, 2 right, 3 middle; row and col on the screen
  mouse_release,
  mouse_move,
  wheel_up,
  wheel_down,
  other,  // a key of no use to the boxes
  end_of_input,
};

struct InputEvent {
  Key key = Key::end_of_input;
  char ch = 0;  // a character's (first) byte
  int function_number = 0;
  int button = 0;
  int row = 0;  // mouse position, from 1
  int col = 0;
  bool double_click = false;  // a press the console reported as the second of a double click
  std::string tail = {};      // the other bytes of a UTF-8 character of several
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// The bytes of a character event.
inline std::string typed_text(const InputEvent& event) { return std::string(1, event.ch) + event.tail; }

}  // namespace console
