#include "console/key_decoder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/test_events.hpp"

namespace console {
namespace {

std::string describe(const InputEvent& e) {
  std::string text = "key " + std::to_string(static_cast<int>(e.key));
  if (e.key == Key::character) text += " ch " + std::to_string(static_cast<unsigned char>(e.ch));
  for (char byte : e.tail) text += " " + std::to_string(static_cast<unsigned char>(byte));
  if (e.function_number != 0) text += " F" + std::to_string(e.function_number);
  if (e.button != 0) text += " button " + std::to_string(e.button);
  if (e.row != 0 || e.col != 0) text += " at " + std::to_string(e.row) + "," + std::to_string(e.col);
  return text;
}

using namespace test_events;

// Everything decodable from bytes, as a terminal would feed them in one read.
std::vector<std::string> decode_all(std::string_view bytes, bool idle_at_end) {
  std::vector<std::string> events;
  while (!bytes.empty()) {
    const DecodedInput d = decode_input(bytes, idle_at_end);
    if (d.consumed == 0) break;
    events.push_back(describe(d.event));
    bytes.remove_prefix(d.consumed);
  }
  return events;
}

// The same, for bytes that arrive in two reads, the first of first bytes,
// as the terminal's reader takes them: after each read as many events as
// are whole, and once no more bytes come, the rest as an idle input.
std::vector<std::string> decode_in_two_reads(std::string_view bytes, std::size_t first) {
  std::vector<std::string> events;
  std::string pending;
  const auto take = [&](bool idle) {
    const DecodedInput d = decode_input(pending, idle);
    if (d.consumed == 0) return false;
    events.push_back(describe(d.event));
    pending.erase(0, d.consumed);
    return true;
  };
  for (std::string_view read : {bytes.substr(0, first), bytes.substr(first)}) {
    pending += read;
    while (!pending.empty() && take(false)) {
    }
  }
  while (!pending.empty()) {
    if (!take(false)) take(true);
  }
  return events;
}

struct Case {
  const char* bytes;
  InputEvent expected;
};

TEST(KeyDecoder, SingleKeysAndSequences) {
  const Case cases[] = {
      {"a", character('a')},
      {"\x03", character('\x03')},  // Ctrl-C is a key like any other
      {"\x1a", character('\x1a')},
      {"\r", event(Key::enter)},
      {"\n", event(Key::enter)},
      {"\t", event(Key::tab)},
      {"\x7f", event(Key::backspace)},
      {"\x08", event(Key::backspace)},
      {"\xc3\xa9", character("\xc3\xa9")},  // a UTF-8 character is one key
      {"\xe4\xb8\xad", character("\xe4\xb8\xad")},
      {"\xf0\x9f\x98\x80", character("\xf0\x9f\x98\x80")},
      {"\xc0", character('\xc0')},  // a byte that starts no UTF-8 character
      {"\x1b[A", event(Key::up)},
      {"\x1b[B", event(Key::down)},
      {"\x1b[C", event(Key::right)},
      {"\x1b[D", event(Key::left)},
      {"\x1bOA", event(Key::up)},
      {"\x1bOD", event(Key::left)},
      {"\x1b[1;5A", event(Key::up)},  // Ctrl+Up
      {"\x1b[H", event(Key::home)},
      {"\x1b[F", event(Key::end)},
      {"\x1bOH", event(Key::home)},
      {"\x1bOF", event(Key::end)},
      {"\x1b[1~", event(Key::home)},
      {"\x1b[7~", event(Key::home)},
      {"\x1b[4~", event(Key::end)},
      {"\x1b[8~", event(Key::end)},
      {"\x1b[2~", event(Key::insert)},
      {"\x1b[3~", event(Key::delete_key)},
      {"\x1b[3;2~", event(Key::delete_key)},
      {"\x1b[5~", event(Key::page_up)},
      {"\x1b[6~", event(Key::page_down)},
      {"\x1bOP", function(1)},
      {"\x1bOS", function(4)},
      {"\x1b[1;2P", function(1)},
      {"\x1b[11~", function(1)},
      {"\x1b[15~", function(5)},
      {"\x1b[17~", function(6)},
      {"\x1b[21~", function(10)},
      {"\x1b[23~", function(11)},
      {"\x1b[24~", function(12)},
      {"\x1b[[A", function(1)},
      {"\x1b[[E", function(5)},
      {"\x1bOM", event(Key::enter)},
      {"\x1b[Z", event(Key::other)},
      {"\x1b[99~", event(Key::other)},
      {"\x1b[?1;2c", event(Key::other)},  // a terminal's answer, not a key
      {"\x1b[<0;10;5M", mouse(Key::mouse_press, 1, 5, 10)},
      {"\x1b[<2;80;30M", mouse(Key::mouse_press, 2, 30, 80)},
      {"\x1b[<1;3;4M", mouse(Key::mouse_press, 3, 4, 3)},
      {"\x1b[<0;10;5m", mouse(Key::mouse_release, 1, 5, 10)},
      {"\x1b[<2;10;5m", mouse(Key::mouse_release, 2, 5, 10)},
      {"\x1b[<35;12;7M", mouse(Key::mouse_move, 0, 7, 12)},
      {"\x1b[<32;12;7M", mouse(Key::mouse_move, 1, 7, 12)},
      {"\x1b[<64;1;1M", mouse(Key::wheel_up, 0, 1, 1)},
      {"\x1b[<65;1;1M", mouse(Key::wheel_down, 0, 1, 1)},
      {"\x1b[<4;10;5M", mouse(Key::mouse_press, 1, 5, 10)},  // Shift+click
      {"\x1b[M  %", mouse(Key::mouse_press, 1, 5, 0)},       // old form, column 0 is off the grid
      {"\x1b[M\"*%", mouse(Key::mouse_press, 2, 5, 10)},
      {"\x1b[M#*%", mouse(Key::mouse_release, 0, 5, 10)},
  };
  for (const Case& c : cases) {
    const std::string bytes = c.bytes;
    const DecodedInput d = decode_input(bytes, false);
    EXPECT_EQ(d.consumed, bytes.size()) << testing::PrintToString(bytes);
    EXPECT_EQ(describe(d.event), describe(c.expected)) << testing::PrintToString(bytes);
  }
}

TEST(KeyDecoder, NulIsACharacter) {
  const DecodedInput d = decode_input(std::string_view("\0", 1), false);
  EXPECT_EQ(d.consumed, 1u);
  EXPECT_EQ(describe(d.event), describe(character('\0')));
}

// Every proper prefix of a sequence waits for more bytes while input flows.
TEST(KeyDecoder, PartialSequencesWaitForTheirRest) {
  const char* sequences[] = {"\x1b[<0;10;5M", "\x1b[24~",   "\x1bOP",       "\x1b[1;5A",
                             "\x1b[[A",       "\x1b[M\"*%", "\xe4\xb8\xad", "\xf0\x9f\x98\x80"};
  for (const char* sequence : sequences) {
    const std::string whole = sequence;
    for (std::size_t n = 1; n < whole.size(); ++n) {
      EXPECT_EQ(decode_input(whole.substr(0, n), false).consumed, 0u) << testing::PrintToString(whole.substr(0, n));
    }
  }
}

TEST(KeyDecoder, ALoneEscIsTheKeyOnceInputIsIdle) {
  EXPECT_EQ(decode_input("\x1b", false).consumed, 0u);
  const DecodedInput d = decode_input("\x1b", true);
  EXPECT_EQ(d.consumed, 1u);
  EXPECT_EQ(describe(d.event), describe(event(Key::escape)));
}

TEST(KeyDecoder, AnUnfinishedSequenceAtIdleIsEscThenOrdinaryKeys) {
  EXPECT_EQ(decode_all("\x1b[", true),
            (std::vector<std::string>{describe(event(Key::escape)), describe(character('['))}));
  EXPECT_EQ(decode_all("\x1bO", true),
            (std::vector<std::string>{describe(event(Key::escape)), describe(character('O'))}));
  EXPECT_EQ(decode_all("\x1b[<0;1", true),
            (std::vector<std::string>{describe(event(Key::escape)), describe(character('[')), describe(character('<')),
                                      describe(character('0')), describe(character(';')), describe(character('1'))}));
}

TEST(KeyDecoder, BytesThatStartNoWholeUtf8CharacterAreKeysOfTheirOwn) {
  EXPECT_EQ(decode_all("\xe4\xb8", true),
            (std::vector<std::string>{describe(character('\xe4')), describe(character('\xb8'))}));
  EXPECT_EQ(decode_all("\xe4x", false),
            (std::vector<std::string>{describe(character('\xe4')), describe(character('x'))}));
  EXPECT_EQ(decode_all("\xc0\xaf", false),
            (std::vector<std::string>{describe(character('\xc0')), describe(character('\xaf'))}));
}

TEST(KeyDecoder, EscFollowedByAnotherKeyIsTwoKeys) {
  EXPECT_EQ(decode_all("\x1bx", false),
            (std::vector<std::string>{describe(event(Key::escape)), describe(character('x'))}));
  EXPECT_EQ(decode_all("\x1b\x1b[A", false),
            (std::vector<std::string>{describe(event(Key::escape)), describe(event(Key::up))}));
}

TEST(KeyDecoder, SeveralEventsInOneRead) {
  EXPECT_EQ(decode_all("\x1b[<0;5;5M\x1b[<0;5;5mq\x1b[A\r", false),
            (std::vector<std::string>{describe(mouse(Key::mouse_press, 1, 5, 5)),
                                      describe(mouse(Key::mouse_release, 1, 5, 5)), describe(character('q')),
                                      describe(event(Key::up)), describe(event(Key::enter))}));
}

TEST(KeyDecoder, AnOverlongOrBrokenSequenceDoesNotBlockInput) {
  const std::string noise = "\x1b[" + std::string(100, '1');
  const DecodedInput d = decode_input(noise, false);
  EXPECT_EQ(d.consumed, 1u);
  EXPECT_EQ(describe(d.event), describe(event(Key::escape)));
  // A control byte inside a sequence ends it; the byte is read by itself.
  EXPECT_EQ(decode_all("\x1b[1\r", false),
            (std::vector<std::string>{describe(event(Key::other)), describe(event(Key::enter))}));
}

// A sequence whose end comes after longest_sequence (64) bytes is Esc and
// then ordinary keys, also when its end arrives in the same read, so that a
// read that ends within it changes nothing.
TEST(KeyDecoder, ASequencePastTheLongestIsNoiseHoweverTheBytesArrive) {
  const std::size_t zeros = longest_sequence - 4;
  const std::string delete_longest = "\x1b[" + std::string(zeros, '0') + "3~";  // Delete, zeros in front
  const std::string delete_one_more = "\x1b[" + std::string(zeros + 1, '0') + "3~";
  const std::string ended_by_enter = "\x1b[" + std::string(longest_sequence + 6, '1') + "\r";  // a control byte ends it
  const auto esc_then_ordinary_keys = [](std::string_view bytes) {
    std::vector<std::string> keys{describe(event(Key::escape))};
    for (char byte : bytes.substr(1)) keys.push_back(describe(byte == '\r' ? event(Key::enter) : character(byte)));
    return keys;
  };
  const struct {
    std::string bytes;
    std::vector<std::string> keys;
  } cases[] = {
      {delete_longest, {describe(event(Key::delete_key))}},
      {delete_one_more, esc_then_ordinary_keys(delete_one_more)},
      {ended_by_enter, esc_then_ordinary_keys(ended_by_enter)},
  };
  for (const auto& c : cases) {
    for (std::size_t first = 0; first <= c.bytes.size(); ++first) {
      EXPECT_EQ(decode_in_two_reads(c.bytes, first), c.keys) << c.bytes.size() << " bytes, first read " << first;
    }
  }
}

}  // namespace
}  // namespace console
