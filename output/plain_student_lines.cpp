#include "output/plain_student_lines.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "coursefile/dat_line.hpp"
#include "coursefile/records.hpp"
#include "output/answer_codes.hpp"
#include "textio/byte_vectors.hpp"
#include "textio/fields.hpp"

namespace output {

namespace {

// From the first answer on, every byte below '#' sends a line to the
// general way: the control bytes (CR, LF, tab and 0x1A among them), the
// blank, '!' and the double quote. One comparison tells them all from the
// bytes of a plain field.
constexpr unsigned char lowest_plain_byte = '#';
static_assert(textio::blank < lowest_plain_byte && textio::double_quote < lowest_plain_byte &&
              textio::tab < lowest_plain_byte && textio::end_of_file_mark < lowest_plain_byte &&
              textio::line_end[0] < lowest_plain_byte && textio::line_end[1] < lowest_plain_byte);

// In fields 2 to 8 the field rule takes blanks and double quotes; a control
// byte stops the one pass there: the CR that ends the line, a tab (a comma),
// a line feed, 0x1A.
bool stops_fields(char c) { return static_cast<unsigned char>(c) < static_cast<unsigned char>(textio::blank); }
static_assert(textio::tab < textio::blank && textio::end_of_file_mark < textio::blank &&
              textio::line_end[0] < textio::blank && textio::line_end[1] < textio::blank);

bool is_plain(char c) { return static_cast<unsigned char>(c) >= lowest_plain_byte; }

// How a step of a line ended.
enum class Step {
  go_on,        // the line may still be plain
  general_way,  // it is not: the general way takes it whole
  more_bytes,   // the read-ahead ended before the step could tell
};

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

// Fields 2 to 8 of a student line, by the field rule: field 2 and field 3
// as field extraction gives them, and where field 9, the first answer,
// starts.
struct FieldsBefore {
  std::string_view field_2;
  std::string_view field_3;
  const char* answers = nullptr;
};

// Bit i set when bit i of `quotes` is preceded, itself included, by an odd
// number of set bits: from an opening quote up to the byte before its
// closing one.
std::uint32_t within_quotes(std::uint32_t quotes) {
  quotes ^= quotes << 1;
  quotes ^= quotes << 2;
  quotes ^= quotes << 4;
  quotes ^= quotes << 8;
  quotes ^= quotes << 16;
  return quotes;
}

// The fields before the answers, from `at`, where field 2 starts. The usual
// ones lie within 32 bytes, hold no control byte, and hold a double quote
// only around a whole field (right after the comma before it and right
// before the comma after it, none between): each field is then the bytes
// between its quotes, or else those between two commas that no quotes
// enclose, trimmed of blanks; one bit per byte finds the commas and the
// quotes. Any others are taken field by field.
Step take_fields_before_answers(const char* const at, const char* const end, FieldsBefore& fields) {
  constexpr int commas_before_answers = coursefile::fields_before_answers - 1;  // after field 1's comma
  if (end - at >= 32) {
    using textio::Bytes16;
    using textio::every16;
    const Bytes16 first = textio::load16(at);
    const Bytes16 second = textio::load16(at + 16);
    const auto unusual = [](Bytes16 bytes) {
      return textio::below16(bytes, every16(textio::blank)) | textio::equal16(bytes, every16(textio::double_quote));
    };
    std::uint32_t commas = textio::bits32(textio::equal16(first, every16(',')), textio::equal16(second, every16(',')));
    std::uint32_t unusual_bytes = 0;
    std::uint32_t opening = 0;  // opening quotes
    if (textio::any_set(unusual(first) | unusual(second))) {
      const std::uint32_t quotes = textio::bits32(textio::equal16(first, every16(textio::double_quote)),
                                                  textio::equal16(second, every16(textio::double_quote)));
      const std::uint32_t quoted = within_quotes(quotes);
      commas &= ~quoted;
      opening = quotes & quoted;
      unusual_bytes = textio::bits32(textio::below16(first, every16(textio::blank)),
                                     textio::below16(second, every16(textio::blank))) |
                      (opening & ~(commas << 1 | 1)) | ((quotes & ~quoted) << 1 & ~commas);
    }
    std::uint32_t last = commas;
    for (int comma = 1; comma < commas_before_answers; ++comma) last &= last - 1;  // all but the first six
    // Bytes past the last comma (answers, or the line end of a short line)
    // may be anything; only those up to it count.
    const std::uint32_t up_to_last = ~std::uint32_t{0} >> (31 - std::countr_zero(last | std::uint32_t{1} << 31));
    if (last != 0 && (unusual_bytes & up_to_last) == 0) {
      const bool any_blank = textio::any_set(textio::equal16(first, every16(textio::blank)) |
                                             textio::equal16(second, every16(textio::blank)));
      // The field from byte `begin` to the comma at `stop`.
      const auto field = [&](int begin, int stop) -> std::string_view {
        if ((opening >> begin & 1) != 0) return {at + begin + 1, static_cast<std::size_t>(stop - begin - 2)};
        const std::string_view bytes(at + begin, static_cast<std::size_t>(stop - begin));
        return any_blank ? textio::trim(bytes) : bytes;
      };
      const int number_end = std::countr_zero(commas);
      fields.field_2 = field(0, number_end);
      fields.field_3 = field(number_end + 1, std::countr_zero(commas & (commas - 1)));
      fields.answers = at + std::countr_zero(last) + 1;
      return Step::go_on;
    }
  }
  const char* field_begin = at;
  for (int field = 2; field <= coursefile::fields_before_answers; ++field) {
    field_begin = textio::skip_blanks(field_begin, end);
    if (field_begin == end) return Step::more_bytes;
    const textio::FieldTaken taken = textio::take_field(field_begin, end, stops_fields);
    if (taken.after == end) return Step::more_bytes;
    if (*taken.after != ',') return Step::general_way;
    if (field == 2) fields.field_2 = taken.value;
    if (field == 3) fields.field_3 = taken.value;
    field_begin = taken.after + 1;
  }
  fields.answers = field_begin;
  return Step::go_on;
}

// Room after the positions to code for the codes that a window of answers
// writes past its own.
constexpr std::size_t codes_room_after = 32;

// Where the coding of a line's answers stands.
struct Answers {
  const char* at;  // where the next answer's field starts
  int coded = 0;   // positions coded so far
  char* next;      // where the next code goes
  // Whether the answers are likely all one byte, as the line before's
  // were; then whether this line's were.
  bool one_byte_each = true;
};

// Codes answer positions from q on in windows of 32 bytes while every
// answer in them is at most a byte and all of them are to be coded; then
// the last one, whose first answers are the last to code, which the line
// may end in. Each window starts where a field starts: 32 bytes after the
// one before, or 31 when that one ends in the byte of an answer, which
// only its last byte tells, so that the next window waits on nothing else.
// A pair then holds two commas only at every second empty answer of a
// window, so a window with one empty answer, the most common kind on
// sheets with blanks, is still the usual one. Codes past a window's
// answers are written too: room for them follows the positions to code,
// and the next window's codes or the "-" after the last one cover them.
// Leaves `at` where the field after the answers coded starts.
void code_windows(const char* const end, const int to_code, const char* const key, const char*& at, char*& next, int& q,
                  bool& one_byte_each) {
  const char* window = at;
  const int first_q = q;
  // Sheets where every answer is one byte are common: on them each window
  // is sixteen answers, commas at odd places, which is soon told. Whether
  // to look for that first is guessed from the line before, so that the
  // guess is seldom wrong on any kind of sheet.
  if (one_byte_each) {
    while (end - window >= 32 && to_code - (q - 1) >= 16) {
      const codes::AnswerBytes bytes = codes::answer_bytes(window);
      if (!codes::sixteen_one_byte_answers(bytes, lowest_plain_byte)) break;
      textio::store16(next, codes::short_answer_codes(bytes.even, key + (q - 1)));
      window += 32;
      next += 16;
      q += 16;
    }
  }
  while (end - window >= 32 && to_code - (q - 1) >= 16) {
    const codes::WindowPairs pairs = codes::window_pairs(window, lowest_plain_byte);
    const std::ptrdiff_t stride = window[31] != ',' ? 31 : 32;
    if (!textio::any_set(codes::not_one_comma_each(pairs))) {
      textio::store16(next, codes::short_answer_codes(pairs.answers, key + (q - 1)));
      window += stride;
      next += 16;
      q += 16;
      continue;
    }
    const codes::WindowAnswers found = codes::spread_answers(pairs);
    if (found.count == 0 || textio::any_set(codes::not_short(pairs)) || to_code - (q - 1) < found.count) break;
    textio::store16(next, codes::short_answer_codes(found.first, key + (q - 1)));
    textio::store16(next + 16, codes::short_answer_codes(found.second, key + (q + 15)));
    window += stride;
    next += found.count;
    q += found.count;
  }
  const int left = to_code - (q - 1);
  if (left > 0 && left < 32 && end - window >= 32) {
    // After nothing but one-byte answers, two bytes each, the last sixteen
    // positions are coded together, the ones among them coded already once
    // more, to the same codes.
    const int again = 16 - left;
    bool coded = false;
    if (again > 0 && q - first_q >= again && window - at == 2 * (q - first_q)) {
      const codes::AnswerBytes bytes = codes::answer_bytes(window - 2 * again);
      if (codes::sixteen_one_byte_answers(bytes, lowest_plain_byte)) {
        textio::store16(next - again, codes::short_answer_codes(bytes.even, key + (q - 1 - again)));
        window += 2 * left;
        coded = true;
      }
    }
    if (!coded) {
      const codes::WindowPairs pairs = codes::window_pairs(window, lowest_plain_byte);
      const codes::WindowAnswers found = codes::spread_answers(pairs);
      const std::size_t size = found.count == 0 ? 0 : codes::first_answers_size(pairs, found, left);
      if (size != 0) {
        textio::store16(next, codes::short_answer_codes(found.first, key + (q - 1)));
        textio::store16(next + 16, codes::short_answer_codes(found.second, key + (q + 15)));
        window += size;
        coded = true;
      }
    }
    if (coded) {
      next += left;
      q += left;
    }
  }
  one_byte_each = window - at == 2 * (q - first_q);
  if (window != at) {
    textio::store16(next, textio::every16('-'));
    textio::store16(next + 16, textio::every16('-'));
    at = window;
  }
}

// Codes answer positions 1 to `to_code`, as far as the line holds them:
// sixteen at a time where they are answers of at most one byte, one by one
// elsewhere. Positions are coded once a comma ends their field, so that the
// positions coded are those up to the answer count: a field that ends at the
// line end is beyond it. Stops early, with answers.at at the field that did
// not end in a comma, at a byte that is not plain. Lists the codes that are
// not one byte long in longer_codes.
Step code_answers(const char* const end, int to_code, const KeyBytes& key_bytes, const coursefile::CourseValues& values,
                  std::string& dat, Answers& answers, std::vector<LongerCode>& longer_codes) {
  const char* at = answers.at;
  char* next = answers.next;
  int q = answers.coded + 1;
  Step step = Step::go_on;
  bool fields_ended = false;
  const char* const key = key_bytes.data();
  while (q <= to_code && !fields_ended) {
    code_windows(end, to_code, key, at, next, q, answers.one_byte_each);
    bool after_sixteen = false;  // the 32 bytes before `at` are sixteen one-byte answers
    while (to_code - q >= 15 && end - at >= 32) {
      const codes::ShortAnswers found = codes::find_short_answers(at, 16, lowest_plain_byte);
      if (found.size == 0) break;
      textio::store16(next, codes::short_answer_codes(found.bytes, key + (q - 1)));
      after_sixteen = found.size == 32;
      at += found.size;
      next += 16;
      q += 16;
    }
    // Fewer than sixteen positions left: right after sixteen one-byte
    // answers, the last sixteen positions are coded together, the ones
    // among them already coded once more, to the same codes.
    const int left = to_code - q + 1;
    if (left > 0 && left < 16) {
      const int again = after_sixteen ? 16 - left : 0;
      if (end - (at - 2 * again) >= 32) {
        const codes::ShortAnswers found = codes::find_short_answers(at - 2 * again, left + again, lowest_plain_byte);
        if (found.size != 0) {
          const textio::Bytes16 codes = codes::short_answer_codes(found.bytes, key + (q - 1 - again));
          if (again + left == 16) {
            textio::store16(next - again, codes);
          } else {
            char sixteen[16];
            textio::store16(sixteen, codes);
            std::memcpy(next, sixteen, static_cast<std::size_t>(left));
          }
          at += found.size - static_cast<std::size_t>(2 * again);
          next += left;
          q += left;
          break;
        }
      }
    }
    // One by one, up to the first answer longer than a byte (or to the last
    // position to code), then sixteen at a time again.
    for (bool short_answer = true; short_answer && q <= to_code; ++q) {
      const char* const stop = field_end(at, end);
      if (stop == end || *stop != ',') {
        // At the line end, or at a byte that is not plain; or the
        // read-ahead ended first.
        fields_ended = true;
        if (stop == end) step = Step::more_bytes;
        break;
      }
      const std::string_view answer(at, static_cast<std::size_t>(stop - at));
      short_answer = answer.size() <= 1;
      if (short_answer) {
        *next++ = codes::code_short_answer(answer.empty() ? codes::empty_answer : answer[0], key_bytes[q - 1]);
      } else {
        bool keyed = false;  // the general way marks keyed answers; nothing here keeps them
        const std::size_t code_begin = static_cast<std::size_t>(next - dat.data());
        next = codes::code_longer_answer(answer, coursefile::key_entry(values, q), keyed, next, dat,
                                         static_cast<std::size_t>(to_code - q) + codes_room_after);
        const std::size_t code_size = static_cast<std::size_t>(next - dat.data()) - code_begin;
        if (code_size != 1) longer_codes.push_back({q, code_size});
      }
      at = stop + 1;
    }
  }
  answers.at = at;
  answers.coded = q - 1;
  answers.next = next;
  return step;
}

// The rest of the line after the positions coded: its further commas, its
// line end and its answer count, which must raise no warning. Sets the
// answer count and where the next line starts.
Step take_line_end(const char* const at, const char* const end, const char line_end_byte, const Answers& answers,
                   const coursefile::CourseValues& values, std::int64_t& answer_count, const char*& next_line) {
  std::int64_t commas = coursefile::fields_before_answers + answers.coded;
  const char* const stop = count_commas(at, end, commas);
  // The byte after a CR must have been read to tell whether a LF belongs
  // to the line end; a file whose lines end in LF alone ends them there.
  const bool after_cr = line_end_byte == textio::line_end[0];
  if (end - stop < (after_cr ? 2 : 1)) {
    return stop == end || *stop == line_end_byte ? Step::more_bytes : Step::general_way;
  }
  answer_count = commas - coursefile::fields_before_answers;
  // An answer count beyond 16 bits wraps, which the general way alone
  // follows.
  if (*stop != line_end_byte || answer_count > std::numeric_limits<std::int16_t>::max() ||
      !coursefile::answer_count_expected(values, answer_count)) {
    return Step::general_way;
  }
  next_line = after_cr && stop[1] == textio::line_end[1] ? stop + 2 : stop + 1;
  return Step::go_on;
}

// The start of a student line: its tag and the comma after it.
bool starts_student_line(const char* line, const char* end) {
  const std::size_t tag = coursefile::student_tag.size();
  return static_cast<std::size_t>(end - line) > tag && std::memcmp(line, coursefile::student_tag.data(), tag) == 0 &&
         line[tag] == ',';
}

// Whether the bytes from `line` to `end` may be the start of a student line.
bool may_start_student_line(const char* line, const char* end) {
  const std::size_t present = std::min(static_cast<std::size_t>(end - line), coursefile::student_tag.size() + 1);
  return std::memcmp(line, coursefile::student_tag.data(), std::min(present, coursefile::student_tag.size())) == 0 &&
         (present <= coursefile::student_tag.size() || line[coursefile::student_tag.size()] == ',');
}

// Converts the line that starts at `line`, read up to `end`, if it is a
// plain student line: appends its .dat line to dat and its .txt line to txt
// (unless that is null), counts it, and sets where the next line starts.
// Otherwise nothing is changed.
Step convert_line(const char* const line, const char* const end, const char line_end_byte,
                  coursefile::CourseValues& values, StudentCoding& coding, std::string& dat, std::string* txt,
                  const char*& next_line, bool& one_byte_each) {
  if (!starts_student_line(line, end)) {
    return may_start_student_line(line, end) ? Step::more_bytes : Step::general_way;
  }
  FieldsBefore fields;
  const Step fields_step = take_fields_before_answers(line + coursefile::student_tag.size() + 1, end, fields);
  if (fields_step != Step::go_on) return fields_step;
  if (coursefile::is_version_student_number(textio::trim(fields.field_2))) return Step::general_way;

  // The .dat line is made in place: fields 2 and 3 and the separators, then
  // room for the positions to code, as "-". Cut off again if the line turns
  // out not to be plain, which leaves it to the general way. Positions
  // beyond the declared questions and beyond field 150 are "-" whatever
  // their answers.
  const std::size_t dat_size = dat.size();
  const std::size_t codes_begin = dat_size + coursefile::dat_opening_size(fields.field_2, fields.field_3);
  const int to_code = std::clamp<int>(values.declared_questions, 0, coded_positions);
  dat.resize(codes_begin + static_cast<std::size_t>(to_code) + codes_room_after, '-');
  coursefile::put_dat_opening(dat.data() + dat_size, fields.field_2, fields.field_3);

  Answers answers{fields.answers, 0, dat.data() + codes_begin, one_byte_each};
  std::int64_t answer_count = 0;
  coding.longer_codes.clear();
  Step step = code_answers(end, to_code, coding.key_bytes, values, dat, answers, coding.longer_codes);
  one_byte_each = answers.one_byte_each;
  if (step == Step::go_on) {
    step = take_line_end(answers.at, end, line_end_byte, answers, values, answer_count, next_line);
  }
  if (step != Step::go_on) {
    dat.resize(dat_size);
    return step;
  }
  // Every byte of the room behind the codes is still "-": the positions
  // after those coded, up to the answer count, are "-".
  const std::size_t line_end_at =
      static_cast<std::size_t>(answers.next - dat.data()) + static_cast<std::size_t>(answer_count - answers.coded);
  dat.resize(line_end_at + textio::line_end.size(), '-');
  std::memcpy(dat.data() + line_end_at, textio::line_end.data(), textio::line_end.size());
  if (txt != nullptr) txt->append(dat, codes_begin);
  end_counted_record(coding.code_counts,
                     put_codes(coding.code_counts, dat.data() + codes_begin, answers.coded, coding.longer_codes));
  ++values.tally.lines_read;
  coursefile::count_student_record(values, answer_count);
  return Step::go_on;
}

}  // namespace

PlainLinesTaken convert_plain_student_lines(std::string_view ahead, coursefile::CourseValues& values,
                                            StudentCoding& coding, textio::ChannelTable& channels,
                                            const char line_end_byte) {
  using coursefile::dat_channel;
  using coursefile::txt_channel;
  const char* at = ahead.data();
  const char* const end = at + ahead.size();
  // A run of other lines costs no more than this look.
  if (at == end || *at != coursefile::student_tag[0]) return {};
  std::string* const dat_pending = textio::pending_text(channels, dat_channel);
  std::string* const txt_pending = textio::pending_text(channels, txt_channel);
  // With no .dat file open, the .dat line is made in room of its own: the
  // .txt line is taken from it.
  std::string& dat = dat_pending != nullptr ? *dat_pending : coding.codes;
  Step step = Step::go_on;
  bool one_byte_each = true;  // guessed for the next line from the line before
  while (at < end) {
    if (dat_pending == nullptr) dat.clear();
    const char* next_line = nullptr;
    step = convert_line(at, end, line_end_byte, values, coding, dat, txt_pending, next_line, one_byte_each);
    if (step != Step::go_on) break;
    at = next_line;
    // In the general way's order, which decides which file a full disk
    // stops first.
    if (txt_pending != nullptr && textio::block_due(*txt_pending)) textio::end_append(channels, txt_channel);
    if (dat_pending != nullptr && textio::block_due(*dat_pending)) textio::end_append(channels, dat_channel);
  }
  return {static_cast<std::size_t>(at - ahead.data()), step == Step::more_bytes || at == end};
}

}  // namespace output
