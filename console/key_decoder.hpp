// Turns the bytes a terminal sends for keys and mouse reports into input
// events: characters (a UTF-8 character of several bytes is one key),
// control bytes, CSI and SS3 key sequences (arrows, Home, End, PgUp,
// PgDn, Insert, Delete, F1 to F12) and xterm mouse reports (SGR form, and the
// older three-byte form of terminals without it).
#pragma once

#include <cstddef>
#include <string_view>

#include "console/input_event.hpp"

namespace console {

struct DecodedInput {
  std::size_t consumed = 0;  // 0: an unfinished sequence, nothing taken
  InputEvent event;
};

// The event at the start of bytes (not empty). Bytes that may still grow
// into a longer sequence or character give consumed 0, unless input_idle
// says that no more bytes came for a while: then a lone Esc is the Esc key,
// an unfinished sequence yields Esc and leaves the rest as ordinary keys,
// and the start of a UTF-8 character that never ended is a byte by itself.
// A sequence that has not ended within longest_sequence bytes is noise and
// read the same way, wherever the reads that brought it were cut.
DecodedInput decode_input(std::string_view bytes, bool input_idle);

// Pause after which a lone Esc counts as the key itself.
constexpr int lone_escape_ms = 50;

// No terminal sends a longer key or mouse report.
constexpr std::size_t longest_sequence = 64;

}  // namespace console
