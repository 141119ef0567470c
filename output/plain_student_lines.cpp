#include "output/plain_student_lines.hpp"

#include <algorithm>
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

// Converts the line that starts at `line`, read up to `end`, if it is a
// plain student line: appends the rest of its .dat line to dat (field 2
// first) and its .txt line to txt (unless that is null), counts it, and
// returns where the next line starts. Returns nullptr, with nothing changed,
// for any other line.
const char* convert_line(const char* const line, const char* const end, coursefile::CourseValues& values,
                         const KeyBytes& key_bytes, std::string& dat, std::string* txt) {
  if (end - line < 3 || line[0] != 'S' || line[1] != 'D' || line[2] != ',') return nullptr;
  const char* const number_begin = line + 3;
  const char* const number_end = field_end(number_begin, end);
  if (number_end == end || *number_end != ',') return nullptr;
  const std::string_view student_number(number_begin, static_cast<std::size_t>(number_end - number_begin));
  if (coursefile::is_version_student_number(student_number)) return nullptr;
  const char* const field_3_begin = number_end + 1;
  const char* at = field_end(field_3_begin, end);
  if (at == end || *at != ',') return nullptr;
  const std::string_view field_3(field_3_begin, static_cast<std::size_t>(at - field_3_begin));
  // Fields 4..8 count only by their commas; a line without all of them has
  // a negative answer count.
  for (int field = 4; field <= fields_before_answers; ++field) {
    at = field_end(at + 1, end);
    if (at == end || *at != ',') return nullptr;
  }
  ++at;  // field 9: answer position 1

  // The .dat line so far: field 2, field 3 and the separators, then room
  // for the positions to code, as "-". Taken back if the line turns out not
  // to be plain.
  const std::size_t dat_size = dat.size();
  dat.append(student_number).append(1, ',').append(field_3).append(",,");
  const std::size_t codes_begin = dat.size();
  // Positions beyond the declared questions and beyond field 150 are "-"
  // whatever their answers.
  const int to_code = std::clamp<int>(values.declared_questions, 0, coded_positions);
  dat.append(static_cast<std::size_t>(to_code), '-');
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
  // The byte after the CR must have been read to tell whether a LF belongs
  // to the line end. An answer count beyond 16 bits wraps, which the field
  // list way alone follows.
  if (end - stop < 2 || *stop != '\r' || answers > std::numeric_limits<std::int16_t>::max() ||
      !coursefile::answer_count_expected(values, answers)) {
    dat.resize(dat_size);
    return nullptr;
  }
  dat.resize(static_cast<std::size_t>(next - dat.data()));
  dat.append(static_cast<std::size_t>(answers - (q - 1)), '-');
  dat.append(textio::line_end);
  if (txt != nullptr) txt->append(dat, codes_begin);
  coursefile::count_student_record(values, answers);
  ++values.tally.lines_read;
  return stop[1] == '\n' ? stop + 2 : stop + 1;
}

}  // namespace

std::size_t convert_plain_student_lines(std::string_view ahead, coursefile::CourseValues& values,
                                        StudentCoding& coding, textio::ChannelTable& channels) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;
  std::string* const dat_pending = textio::pending_text(channels, dat_channel);
  std::string* const txt_pending = textio::pending_text(channels, txt_channel);
  // With no .dat file open, the .dat line is made in room of its own: the
  // .txt line is taken from it.
  std::string& dat = dat_pending != nullptr ? *dat_pending : coding.codes;
  const char* at = ahead.data();
  const char* const end = at + ahead.size();
  while (at < end) {
    if (dat_pending == nullptr) dat.clear();
    const char* const next_line = convert_line(at, end, values, coding.key_bytes, dat, txt_pending);
    if (next_line == nullptr) break;
    at = next_line;
    if (dat_pending != nullptr) textio::end_append(channels, dat_channel);
    if (txt_pending != nullptr) textio::end_append(channels, txt_channel);
  }
  return static_cast<std::size_t>(at - ahead.data());
}

}  // namespace output
