#include "console/glyphs.hpp"

#include <gtest/gtest.h>

namespace console {
namespace {

std::string shown(std::string_view character, bool utf8 = true) {
  Screen screen;
  screen.utf8 = utf8;
  write_cells(screen, 1, 1, character, 0x07);
  std::string out;
  append_glyph(out, cell_at(screen, 1, 1));
  return out;
}

TEST(Glyphs, ControlBytesShowTheirCodePage437Glyphs) {
  struct Case {
    unsigned char byte;
    const char* glyph;
  } cases[] = {
      {0x00, " "},      {0x01, "\u263A"}, {0x07, "\u2022"}, {0x09, "\u25CB"}, {0x0A, "\u25D9"},
      {0x0D, "\u266A"}, {0x1A, "\u2192"}, {0x1B, "\u2190"}, {0x1F, "\u25BC"}, {0x7F, "\u2302"},
  };
  for (const Case& c : cases) EXPECT_EQ(shown(std::string(1, static_cast<char>(c.byte))), c.glyph) << int(c.byte);
}

TEST(Glyphs, PrintableAsciiShowsItself) {
  for (int byte = 0x20; byte < 0x7F; ++byte) {
    ASSERT_EQ(shown(std::string(1, static_cast<char>(byte))), std::string(1, static_cast<char>(byte)));
  }
}

TEST(Glyphs, InvalidUtf8BytesShowCodePage437Glyphs) {
  EXPECT_EQ(shown("\x80"), "\u00C7");
  EXPECT_EQ(shown("\xC9"), "\u2554");  // a box corner
  EXPECT_EQ(shown("\xCD"), "\u2550");
  EXPECT_EQ(shown("\xE1"), "\u00DF");
  EXPECT_EQ(shown("\xFF"), "\u00A0");
  // On a byte console every high byte is its glyph.
  EXPECT_EQ(shown("\xC3\xA9", false), "\u251C");
}

TEST(Glyphs, ValidUtf8ShowsItselfInOneOrTwoColumns) {
  EXPECT_EQ(shown("\xC3\xA9"), "\xC3\xA9");
  EXPECT_EQ(shown("\xE2\x82\xAC"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(shown("\xD0\x96"), "\xD0\x96");
  EXPECT_EQ(shown("\xE4\xB8\xAD"), "\xE4\xB8\xAD");          // CJK, two columns
  EXPECT_EQ(shown("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");  // emoji, two columns
}

TEST(Glyphs, ZeroWidthAndC1CharactersShowTheReplacementCharacter) {
  EXPECT_EQ(shown("\xCC\x81"), "\uFFFD");      // combining acute accent
  EXPECT_EQ(shown("\xC2\x9B"), "\uFFFD");      // C1 CSI must never reach the terminal
  EXPECT_EQ(shown("\xC2\x85"), "\uFFFD");      // C1 next line
  EXPECT_EQ(shown("\xE2\x80\xAE"), "\uFFFD");  // right-to-left override
}

TEST(Glyphs, TheRightHalfOfADoubleWidthCharacterShowsNothing) {
  Screen screen;
  screen.utf8 = true;
  write_cells(screen, 1, 1, "\xE4\xB8\xAD", 0x07);
  std::string out;
  append_glyph(out, cell_at(screen, 1, 2));
  EXPECT_EQ(out, "");
}

// What the plain form writes on a terminal: the terminal form's glyphs for
// every character, the line end alone kept.
TEST(VisibleText, ControlsBecomeGlyphsAndOnlyTheLineEndStays) {
  const struct {
    const char* name;
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"plain text and line end", "exam.gbk\n", "exam.gbk\n"},
      {"title sequence", "\x1b]2;PWNED\x07.GBK\n", "\u2190]2;PWNED\u2022.GBK\n"},
      {"carriage return, tab, bell, backspace", "a\rb\tc\x07\x08", "a\u266Ab\u25CBc\u2022\u25D8"},
      {"zero byte and delete", std::string("a\0\x7f", 3), "a \u2302"},
      {"C1 CSI in UTF-8 and raw",
       "\xC2\x9B"
       "2J\x9B",
       "\uFFFD"
       "2J\u00A2"},
      {"UTF-8 and CJK stay", "\xC3\xA9\xE4\xB8\xAD", "\xC3\xA9\xE4\xB8\xAD"},
      {"invalid bytes as code page 437", "\xE9\xC9", "\u0398\u2554"},
      {"nothing", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(visible_text(c.bytes), c.shown) << c.name;
}

TEST(Glyphs, TheHighHalfMatchesCodePage437) {
  // A few landmarks of each row of the table.
  const std::pair<unsigned char, char32_t> marks[] = {{0x80, 0x00C7}, {0x9E, 0x20A7}, {0xA9, 0x2310}, {0xB0, 0x2591},
                                                      {0xC5, 0x253C}, {0xDB, 0x2588}, {0xE0, 0x03B1}, {0xFE, 0x25A0}};
  for (const auto& [byte, cp] : marks) EXPECT_EQ(cp437_glyph(byte), cp) << int(byte);
}

}  // namespace
}  // namespace console
