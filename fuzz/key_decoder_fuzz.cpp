// The key decoder, fed whatever a terminal may send: it must never look past
// the bytes it is given, must always make progress, and must give the same
// keys however the bytes arrive split into reads.
//
// The input: the low four bits of the first byte say how many piece lengths
// follow it, one byte each; the rest are the terminal's bytes, which arrive
// in pieces of those lengths, the last piece holding what is left. The same
// bytes read as one piece must give the same events.
//
// A reading follows the terminal's reader (console/terminal_posix.cpp):
// after each piece it decodes for as long as the decoder takes bytes, as
// while input flows; after the last piece no more bytes come, so where the
// decoder waits for more, the pause that follows makes the input idle.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/key_decoder.hpp"
#include "require.hpp"

namespace {

using console::DecodedInput;
using console::InputEvent;
using console::Key;

// Decodes from a copy of exactly the bytes given, so that a look past them
// is an overread that the address sanitizer reports.
DecodedInput decode_exact(std::string_view bytes, bool input_idle) {
  const std::unique_ptr<char[]> copy(new char[bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return console::decode_input(std::string_view(copy.get(), bytes.size()), input_idle);
}

// Whether bytes can still grow into a longer key: some continuation makes a
// key that takes them all and more. One of these continuations finishes
// every unfinished start: a UTF-8 character (the three ranges its second
// byte may need), an SS3 or Linux console function key or an old mouse
// report (any three bytes), a CSI sequence ("~"), a lone Esc ("[A").
bool can_grow(std::string_view bytes) {
  static const std::string_view continuations[] = {"\x80\x80\x80", "\x90\x90\x90", "\xa0\xa0\xa0", "AAA", "~", "[A"};
  return std::any_of(std::begin(continuations), std::end(continuations), [&](std::string_view continuation) {
    const std::string longer = std::string(bytes) + std::string(continuation);
    return decode_exact(longer, false).consumed > bytes.size();
  });
}

struct Reading {
  std::string pending;
  std::vector<InputEvent> events;
};

// One decoding of the pending bytes; returns how many it took.
std::size_t step(Reading& reading, bool input_idle) {
  const std::string_view bytes = reading.pending;
  const DecodedInput decoded = decode_exact(bytes, input_idle);
  require(decoded.consumed <= bytes.size(), "takes no more bytes than it was given");
  if (decoded.consumed == 0) {
    require(!input_idle, "once input is idle, every step takes a byte");
    require(can_grow(bytes), "waits for more only at the unfinished start of a key");
    require(bytes.size() < console::longest_sequence, "waits for no sequence longer than the longest");
    return 0;
  }
  require(decoded.event.key != Key::end_of_input, "no bytes read as the end of input");
  if (decoded.event.key == Key::character) {
    require(typed_text(decoded.event) == bytes.substr(0, decoded.consumed), "a character is the bytes it took");
  }
  reading.events.push_back(decoded.event);
  reading.pending.erase(0, decoded.consumed);
  return decoded.consumed;
}

std::vector<InputEvent> read_in_pieces(std::string_view bytes, std::span<const std::size_t> lengths) {
  Reading reading;
  const auto take_piece = [&](std::size_t length) {
    reading.pending.append(bytes.substr(0, length));
    bytes.remove_prefix(std::min(length, bytes.size()));
    while (!reading.pending.empty() && step(reading, false) > 0) {
    }
  };
  for (std::size_t length : lengths) take_piece(length);
  take_piece(bytes.size());
  // No more bytes come.
  while (!reading.pending.empty()) {
    if (step(reading, false) == 0) step(reading, true);
  }
  return reading.events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t pieces = std::min<std::size_t>(data[0] & 15, size - 1);
  std::vector<std::size_t> lengths(data + 1, data + 1 + pieces);
  input.remove_prefix(1 + pieces);

  const std::vector<InputEvent> whole = read_in_pieces(input, {});
  require(read_in_pieces(input, lengths) == whole, "the same keys however the bytes are split");
  return 0;
}
