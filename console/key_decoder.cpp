#include "console/key_decoder.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "console/screen.hpp"

namespace console {

namespace {

constexpr char esc = '\x1b';

InputEvent key(Key k) {
  InputEvent event;
  event.key = k;
  return event;
}

InputEvent function_key(int number) {
  InputEvent event = key(Key::function);
  event.function_number = number;
  return event;
}

InputEvent single_byte(unsigned char byte) {
  switch (byte) {
    case '\r':
    case '\n': return key(Key::enter);
    case '\t': return key(Key::tab);
    case 0x7F:
    case 0x08: return key(Key::backspace);
    case 0x1B: return key(Key::escape);
    default: {
      InputEvent event = key(Key::character);
      event.ch = static_cast<char>(byte);
      return event;
    }
  }
}

// The final byte of an SS3 sequence or of a CSI sequence without a number.
InputEvent letter_key(char final) {
  switch (final) {
    case 'A': return key(Key::up);
    case 'B': return key(Key::down);
    case 'C': return key(Key::right);
    case 'D': return key(Key::left);
    case 'H': return key(Key::home);
    case 'F': return key(Key::end);
    case 'M': return key(Key::enter);  // keypad Enter
    case 'P': return function_key(1);
    case 'Q': return function_key(2);
    case 'R': return function_key(3);
    case 'S': return function_key(4);
    default: return key(Key::other);
  }
}

// CSI number ~ (the first parameter; modifiers after it do not matter).
InputEvent tilde_key(long number) {
  switch (number) {
    case 1:
    case 7: return key(Key::home);
    case 4:
    case 8: return key(Key::end);
    case 2: return key(Key::insert);
    case 3: return key(Key::delete_key);
    case 5: return key(Key::page_up);
    case 6: return key(Key::page_down);
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return function_key(static_cast<int>(number) - 10);
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: return function_key(static_cast<int>(number) - 11);
    case 23:
    case 24: return function_key(static_cast<int>(number) - 12);
    default: return key(Key::other);
  }
}

// Button byte of an xterm mouse report: low bits the button (0 left,
// 1 middle, 2 right, 3 release in the old form), 32 movement, 64 wheel.
InputEvent mouse_event(long code, long col, long row, bool released) {
  InputEvent event;
  event.col = static_cast<int>(col);
  event.row = static_cast<int>(row);
  const long low = code & 3;
  if ((code & 64) != 0) {
    event.key = low == 0 ? Key::wheel_up : low == 1 ? Key::wheel_down : Key::other;
    return event;
  }
  if ((code & 32) != 0) {
    event.key = Key::mouse_move;
    event.button = low == 3 ? 0 : static_cast<int>(low == 0 ? 1 : low == 2 ? 2 : 3);
    return event;
  }
  if (low == 3) {  // old form: a release that does not say which button
    event.key = Key::mouse_release;
    return event;
  }
  event.key = released ? Key::mouse_release : Key::mouse_press;
  event.button = low == 0 ? 1 : low == 2 ? 2 : 3;
  return event;
}

struct Csi {
  char private_marker = 0;  // '<', '?', '>' or '=' before the numbers
  std::vector<long> numbers;
  char final = 0;
};

// Parses ESC [ ... final from bytes; returns the length, or 0 when the
// sequence is not finished yet.
std::size_t parse_csi(std::string_view bytes, Csi& csi) {
  std::size_t i = 2;
  if (i < bytes.size() && bytes[i] >= '<' && bytes[i] <= '?') csi.private_marker = bytes[i++];
  long number = -1;
  for (; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c >= '0' && c <= '9') {
      number = (number < 0 ? 0 : number) * 10 + (c - '0');
      if (number > 100000) number = 100000;
    } else if (c == ';' || c == ':') {
      csi.numbers.push_back(number < 0 ? 0 : number);
      number = -1;
    } else if (c >= 0x20 && c <= 0x2F) {
      // intermediate bytes: kept out of the key
    } else if (c >= 0x40 && c <= 0x7E) {
      if (number >= 0 || !csi.numbers.empty()) csi.numbers.push_back(number < 0 ? 0 : number);
      csi.final = c;
      return i + 1;
    } else {
      csi.final = 0;  // not a valid sequence byte: ends it as noise
      return i;
    }
  }
  return 0;
}

InputEvent csi_event(const Csi& csi) {
  const auto arg = [&](std::size_t n) { return n < csi.numbers.size() ? csi.numbers[n] : 0; };
  if (csi.private_marker == '<' && (csi.final == 'M' || csi.final == 'm') && csi.numbers.size() >= 3) {
    return mouse_event(arg(0), arg(1), arg(2), csi.final == 'm');
  }
  if (csi.private_marker != 0) return key(Key::other);
  if (csi.final == '~') return tilde_key(arg(0));
  if (csi.final == 'Z') return key(Key::other);  // Shift+Tab
  return letter_key(csi.final);
}

}  // namespace

DecodedInput decode_input(std::string_view bytes, bool input_idle) {
  DecodedInput result;
  if (bytes.empty()) return result;
  const auto lone_escape = [&] {
    result.consumed = 1;
    result.event = key(Key::escape);
    return result;
  };

  if (bytes[0] != esc) {
    // A UTF-8 character is one key, however many bytes it takes.
    const std::size_t length = utf8_character_length(bytes);
    if (length == 0 && !input_idle) return result;
    result.consumed = std::max<std::size_t>(length, 1);
    result.event = single_byte(static_cast<unsigned char>(bytes[0]));
    if (result.consumed > 1) result.event.tail = std::string(bytes.substr(1, result.consumed - 1));
    return result;
  }
  if (bytes.size() == 1) return input_idle ? lone_escape() : result;

  if (bytes[1] == 'O') {  // SS3: one letter follows
    if (bytes.size() == 2) return input_idle ? lone_escape() : result;
    result.consumed = 3;
    result.event = letter_key(bytes[2]);
    return result;
  }
  if (bytes[1] != '[') return lone_escape();  // Esc, then the next key by itself

  // The Linux console's F1 to F5: ESC [ [ A..E.
  if (bytes.size() >= 3 && bytes[2] == '[') {
    if (bytes.size() == 3) return input_idle ? lone_escape() : result;
    result.consumed = 4;
    const char c = bytes[3];
    result.event = c >= 'A' && c <= 'E' ? function_key(c - 'A' + 1) : key(Key::other);
    return result;
  }
  // The old mouse form: ESC [ M and three bytes, each value + 32.
  if (bytes.size() >= 3 && bytes[2] == 'M') {
    if (bytes.size() < 6) return input_idle ? lone_escape() : result;
    const auto value = [&](std::size_t n) { return static_cast<long>(static_cast<unsigned char>(bytes[n])) - 32; };
    result.consumed = 6;
    result.event = mouse_event(value(3), value(4), value(5), false);
    return result;
  }

  // Only the first longest_sequence bytes are looked at, also when the
  // sequence's end is among the bytes already here, so that how the bytes
  // were split into reads does not change the keys.
  Csi csi;
  const std::size_t length = parse_csi(bytes.substr(0, longest_sequence), csi);
  if (length == 0) {
    if (!input_idle && bytes.size() < longest_sequence) return result;
    return lone_escape();
  }
  result.consumed = length;
  result.event = csi.final == 0 ? key(Key::other) : csi_event(csi);
  return result;
}

}  // namespace console
