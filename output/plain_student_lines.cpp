#include "output/plain_student_lines.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cstdint>
#include <limits>
#include <string>

#include "coursefile/records.hpp"
#include "output/answer_codes.hpp"
#include "textio/byte_vectors.hpp"

namespace output {

namespace {

// Every byte below '#' sends a line to the general way: the control bytes
// (CR, LF, tab and 0x1A among them), the blank, '!' and the double quote.
// One comparison tells them all from the bytes of a plain field.
constexpr unsigned char lowest_plain_byte = '#';

bool is_plain(char c) { return static_cast<unsigned char>(c) >= lowest_plain_byte; }

// The end of the field at `at`: its comma, or the first byte that is not
// plain (the CR of the line end among them), or end.
const char* field_end(const char* at, const char* const end) {
  while (at < end && *at != ',' && is_plain(*at)) ++at;
  return at;
}

// Adds the commas from `at` up to the first byte that is not plain to
// commas, and returns where that byte stands (end when there is none).
// Sixteen bytes at a time: after the positions it codes, a line may hold
// any number of fields.
const char* count_commas(const char* at, const char* const end, std::int64_t& commas) {
  using textio::Bytes16;
  using textio::every16;
  for (; end - at >= 16; at += 16) {
    const Bytes16 bytes = textio::load16(at);
    if (textio::any_set(textio::below16(bytes, every16(lowest_plain_byte)))) break;
    commas += textio::byte_sum(textio::equal16(bytes, every16(',')) & every16(1));
  }
  for (; at < end && is_plain(*at); ++at) commas += *at == ',' ? 1 : 0;
  return at;
}

// Where fields 2 and 3 of a student line end and field 9, its first
// answer, starts.
struct Head {
  const char* number_end;
  const char* field_3_end;
  const char* answers;
};

// The commas that end fields 2..8 of a line whose "SD," ends at `at`, each
// after plain bytes only; false when the line has them otherwise, or not at
// all (an answer count below 0).
bool find_head(const char* const at, const char* const end, Head& head) {
  constexpr int head_commas = fields_before_answers - 1;
  if (end - at >= 32) {
    // The usual fields 2..8 lie within 32 bytes: one bit per byte for the
    // commas and for the bytes that are not plain.
    using textio::bits16;
    using textio::every16;
    const textio::Bytes16 first = textio::load16(at);
    const textio::Bytes16 second = textio::load16(at + 16);
    const std::uint32_t commas =
        bits16(textio::equal16(first, every16(','))) | bits16(textio::equal16(second, every16(','))) << 16;
    const std::uint32_t unusual = bits16(textio::below16(first, every16(lowest_plain_byte))) |
                                  bits16(textio::below16(second, every16(lowest_plain_byte))) << 16;
    std::uint32_t last = commas;
    for (int comma = 1; comma < head_commas; ++comma) last &= last - 1;  // all but the first six
    if (last != 0) {
      const int last_comma = std::countr_zero(last);
      if ((unusual & ((2u << last_comma) - 1)) != 0) return false;
      head.number_end = at + std::countr_zero(commas);
      head.field_3_end = at + std::countr_zero(commas & (commas - 1));
      head.answers = at + last_comma + 1;
      return true;
    }
  }
  // Long fields, or the end of the read-ahead near: byte by byte.
  const char* comma = at - 1;
  for (int field = 2; field <= fields_before_answers; ++field) {
    comma = field_end(comma + 1, end);
    if (comma == end || *comma != ',') return false;
    if (field == 2) head.number_end = comma;
    if (field == 3) head.field_3_end = comma;
  }
  head.answers = comma + 1;
  return true;
}

// Converts the line that starts at `line`, read up to `end`, if it is a
// plain student line: appends the rest of its .dat line to dat (field 2
// first) and its .txt line to txt (unless that is null), counts it, and
// returns where the next line starts. Returns nullptr, with nothing changed,
// for any other line.
const char* convert_line(const char* const line, const char* const end, const char line_end_byte,
                         coursefile::CourseValues& values, const KeyBytes& key_bytes, std::string& dat,
                         std::string* txt) {
  if (end - line < 3 || line[0] != 'S' || line[1] != 'D' || line[2] != ',') return nullptr;
  Head head;
  if (!find_head(line + 3, end, head)) return nullptr;
  const char* const number_begin = line + 3;
  const std::string_view student_number(number_begin, static_cast<std::size_t>(head.number_end - number_begin));
  if (coursefile::is_version_student_number(student_number)) return nullptr;
  const char* at = head.answers;

  // The .dat line is made in place: field 2, "," and field 3 as they stand
  // in the line, the separators, then room for the positions to code, as
  // "-". Taken back if the line turns out not to be plain.
  const std::size_t dat_size = dat.size();
  const std::size_t fields_2_and_3 = static_cast<std::size_t>(head.field_3_end - number_begin);
  const std::size_t codes_begin = dat_size + fields_2_and_3 + 2;
  // Positions beyond the declared questions and beyond field 150 are "-"
  // whatever their answers.
  const int to_code = std::clamp<int>(values.declared_questions, 0, coded_positions);
  dat.resize(codes_begin + static_cast<std::size_t>(to_code), '-');
  std::memcpy(dat.data() + dat_size, number_begin, fields_2_and_3);
  std::memcpy(dat.data() + dat_size + fields_2_and_3, ",,", 2);
  char* next = dat.data() + codes_begin;

  // Answer position q is coded once a comma ends its field, so that the
  // positions coded are those up to the answer count, found as the line goes
  // by: a field that ends at the line end is beyond it.
  const char* const key = key_bytes.data();
  bool keyed = false;  // the field list way marks keyed answers; nothing here keeps them
  int q = 1;
  bool fields_ended = false;
  while (q <= to_code && !fields_ended) {
    bool after_sixteen = false;  // the sixteen answers before `at` were one byte each
    while (to_code - q >= 15 && end - at >= 32 && codes::code_sixteen(at, key + (q - 1), next, lowest_plain_byte)) {
      q += 16;
      at += 32;
      next += 16;
      after_sixteen = true;
    }
    // Fewer than sixteen positions left, right after sixteen one-byte
    // answers: the last sixteen positions are coded together, the ones
    // among them already coded once more, to the same codes.
    const int left = to_code - q + 1;
    const int again = 16 - left;
    if (after_sixteen && left > 0 && left < 16 && end - (at - 2 * again) >= 32 &&
        codes::code_sixteen(at - 2 * again, key + (q - 1 - again), next - again, lowest_plain_byte)) {
      q += left;
      at += 2 * left;
      next += left;
      break;
    }
    // One by one, up to the answer that broke the run of one-byte answers
    // (or to the last position to code), then sixteen at a time again.
    for (bool one_byte = true; one_byte && q <= to_code; ++q) {
      const char* const stop = field_end(at, end);
      if (stop == end || *stop != ',') {
        fields_ended = true;  // at the line end, or at a byte that is not plain
        break;
      }
      const std::string_view answer(at, static_cast<std::size_t>(stop - at));
      one_byte = answer.size() == 1;
      if (one_byte) {
        next = codes::code_one_byte(answer[0], key[q - 1], keyed, next);
      } else {
        next = codes::code_longer_answer(answer, coursefile::key_entry(values, q), keyed, next, dat,
                                         static_cast<std::size_t>(to_code - q));
      }
      at = stop + 1;
    }
  }

  std::int64_t commas = fields_before_answers + (q - 1);
  const char* const stop = count_commas(at, end, commas);
  const std::int64_t answers = commas - fields_before_answers;
  // The byte after a CR must have been read to tell whether a LF belongs
  // to the line end. An answer count beyond 16 bits wraps, which the field
  // list way alone follows.
  const bool after_cr = line_end_byte == '\r';
  if (end - stop < (after_cr ? 2 : 1) || *stop != line_end_byte ||
      answers > std::numeric_limits<std::int16_t>::max() || !coursefile::answer_count_expected(values, answers)) {
    dat.resize(dat_size);
    return nullptr;
  }
  // Every byte of the room behind `next` is still "-": the positions after
  // those coded, up to the answer count, are "-".
  const std::size_t line_end_at =
      static_cast<std::size_t>(next - dat.data()) + static_cast<std::size_t>(answers - (q - 1));
  dat.resize(line_end_at + textio::line_end.size(), '-');
  std::memcpy(dat.data() + line_end_at, textio::line_end.data(), textio::line_end.size());
  if (txt != nullptr) txt->append(dat, codes_begin);
  coursefile::count_student_record(values, answers);
  ++values.tally.lines_read;
  return after_cr && stop[1] == '\n' ? stop + 2 : stop + 1;
}

}  // namespace

std::size_t convert_plain_student_lines(std::string_view ahead, coursefile::CourseValues& values,
                                        StudentCoding& coding, textio::ChannelTable& channels,
                                        const char line_end_byte) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;
  // A run of other lines costs no more than this look.
  if (!ahead.starts_with("SD,")) return 0;
  std::string* const dat_pending = textio::pending_text(channels, dat_channel);
  std::string* const txt_pending = textio::pending_text(channels, txt_channel);
  // With no .dat file open, the .dat line is made in room of its own: the
  // .txt line is taken from it.
  std::string& dat = dat_pending != nullptr ? *dat_pending : coding.codes;
  const char* at = ahead.data();
  const char* const end = at + ahead.size();
  while (at < end) {
    if (dat_pending == nullptr) dat.clear();
    const char* const next_line = convert_line(at, end, line_end_byte, values, coding.key_bytes, dat, txt_pending);
    if (next_line == nullptr) break;
    at = next_line;
    // In the general way's order, which decides which file a full disk
    // stops first.
    if (txt_pending != nullptr && textio::block_due(*txt_pending)) textio::end_append(channels, txt_channel);
    if (dat_pending != nullptr && textio::block_due(*dat_pending)) textio::end_append(channels, dat_channel);
  }
  return static_cast<std::size_t>(at - ahead.data());
}

}  // namespace output
