#include "textio/fields.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "textio/byte_vectors.hpp"
#include "textio/strings.hpp"

namespace textio {

namespace {

constexpr std::uint64_t every_byte(unsigned char b) { return 0x0101010101010101ULL * b; }

// The high bit of each byte of the result is set exactly where that byte of
// the eight-byte word is a comma: eight bytes tested by a few word operations
// (no carry crosses from one byte into the next).
std::uint64_t comma_bits(std::uint64_t word) {
  const std::uint64_t zero_where_comma = word ^ every_byte(',');
  const std::uint64_t low7 = every_byte(0x7F);
  return ~(((zero_where_comma & low7) + low7) | zero_where_comma | low7);
}

std::uint64_t load_word(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The first byte of a word lies lowest in it only on a little-endian machine;
// elsewhere the plain byte loop does all the work.
constexpr bool words_in_byte_order = std::endian::native == std::endian::little;

// One look at every byte of a line: whether its fields are the bytes
// between its commas (it has neither blanks nor double quotes) and, if so,
// how many commas it holds. Sixteen bytes at a time; a line with a blank or a
// double quote is left as soon as that shows.
struct LineScan {
  bool between_commas = true;
  std::int64_t commas = 0;
};

// Adds one block of sixteen bytes to the scan.
void scan_bytes(Bytes16 bytes, Bytes16& commas, Bytes16& unusual) {
  commas -= equal16(bytes, every16(','));
  unusual |= equal16(bytes, every16(blank)) | equal16(bytes, every16('"'));
}

// A one-byte count holds 255 at most: the counts are added up after at
// most 255 blocks, the last short block of a line among them.
constexpr int blocks_per_count = 255;

LineScan scan_line(const char* at, const char* const end) {
  LineScan scan;
  Bytes16 unusual{};
  while (true) {
    Bytes16 commas{};  // one count per byte position
    int block = 0;
    for (; block < blocks_per_count && end - at >= 16; ++block, at += 16) scan_bytes(load16(at), commas, unusual);
    if (block < blocks_per_count && end - at < 16) {
      // The last bytes, fewer than sixteen, behind zero bytes, which are
      // neither comma, blank nor double quote.
      char last[16] = {};
      std::memcpy(last + 16 - (end - at), at, static_cast<std::size_t>(end - at));
      scan_bytes(load16(last), commas, unusual);
      at = end;
    }
    if (any_set(unusual)) return {false, 0};
    scan.commas += byte_sum(commas);
    if (at == end) return scan;
  }
}

// A line between commas, the usual record: every comma separates and every
// field is exactly the bytes between two commas, so the commas of the kept
// fields are found a word at a time and the commas after them are not looked
// at again.
void split_between_commas(const char* at, const char* const end, std::size_t max_fields, SplitLine& out) {
  // A line of n bytes has at most n + 1 fields. Growing from the last line's
  // size sets up only the slots that line did not use.
  out.fields.resize(std::min(max_fields, static_cast<std::size_t>(end - at) + 1));
  std::string_view* const first = out.fields.data();
  std::string_view* const last = first + out.fields.size();
  std::string_view* slot = first;
  const char* field_begin = at;
  if constexpr (words_in_byte_order) {
    for (; end - at >= 8 && slot != last; at += 8) {
      for (std::uint64_t bits = comma_bits(load_word(at)); bits != 0 && slot != last; bits &= bits - 1) {
        const char* const comma = at + std::countr_zero(bits) / 8;
        *slot++ = {field_begin, static_cast<std::size_t>(comma - field_begin)};
        field_begin = comma + 1;
      }
    }
  }
  for (; at < end && slot != last; ++at) {
    if (*at != ',') continue;
    *slot++ = {field_begin, static_cast<std::size_t>(at - field_begin)};
    field_begin = at + 1;
  }
  if (at == end && field_begin < end && slot != last) {
    *slot++ = {field_begin, static_cast<std::size_t>(end - field_begin)};
  }
  out.fields.resize(static_cast<std::size_t>(slot - first));
}

}  // namespace

void split_fields(std::string_view text, std::size_t max_fields, SplitLine& out) {
  out.trimmed = true;
  const char* at = text.data();
  const char* const end = at + text.size();
  const LineScan scan = scan_line(at, end);
  out.between_commas = scan.between_commas;
  if (out.between_commas) {
    split_between_commas(at, end, max_fields, out);
    out.separators = scan.commas;
    return;
  }
  out.fields.clear();
  out.separators = 0;
  const auto never = [](char) { return false; };  // the text is one line
  while (true) {
    at = skip_blanks(at, end);
    if (at == end) return;
    const FieldTaken field = take_field(at, end, never);
    if (field.quoted) out.trimmed = false;
    if (out.fields.size() < max_fields) out.fields.push_back(field.value);
    // After the last field, or an unclosed quote: no later comma separates
    // anything.
    if (field.after == end) return;
    ++out.separators;
    at = field.after + 1;
  }
}

std::string field(std::string_view text, std::size_t n) {
  if (n == 0) return {};
  SplitLine split;
  split_fields(text, n, split);
  return std::string(field_of(split, n));
}

}  // namespace textio
