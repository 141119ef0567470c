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
#include "output/window_steps.hpp"
#include "textio/byte_vectors.hpp"
#include "textio/fields.hpp"

namespace output {

namespace {

// From the first answer on, every byte below '#' sends a line to the
// general way: the control bytes (CR, LF, tab and 0x1A among them), the
// blank, '!' and the double quote. One comparison tells them all from the
// bytes of a plain field.
using codes::lowest_plain_byte;
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
// any number of fields; the vectors must count as the byte loop at the end
// does.
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

using codes::Answers;

// Codes the answers from answers.at on one field at a time, up to the first
// answer longer than a byte (taken too) or to the last position to code:
// the reading that the window steps must agree with. Positions are coded
// once a comma ends their field, so that the positions coded are those up
// to the answer count: a field that ends at the line end is beyond it.
// Returns false where the fields end first, at a byte that is not plain
// (the line end among them) or at the end of the read-ahead, with
// answers.at at that field. Lists the codes that are not one byte long in
// longer_codes.
bool code_fields_one_by_one(const coursefile::CourseValues& values, std::string& dat, Answers& answers,
                            std::vector<LongerCode>& longer_codes) {
  for (bool short_answer = true; short_answer && answers.coded < answers.to_code;) {
    const char* const stop = field_end(answers.at, answers.end);
    if (stop == answers.end || *stop != ',') return false;
    const std::string_view answer(answers.at, static_cast<std::size_t>(stop - answers.at));
    const int q = ++answers.coded;
    short_answer = answer.size() <= 1;
    if (short_answer) {
      *answers.next++ = codes::code_short_answer(answer.empty() ? codes::empty_answer : answer[0], answers.key[q - 1]);
    } else {
      bool keyed = false;  // the general way marks keyed answers; nothing here keeps them
      const std::size_t code_begin = static_cast<std::size_t>(answers.next - dat.data());
      answers.next = codes::code_longer_answer(answer, coursefile::key_entry(values, q), keyed, answers.next, dat,
                                               static_cast<std::size_t>(answers.to_code - q) + codes::codes_room_after);
      const std::size_t code_size = static_cast<std::size_t>(answers.next - dat.data()) - code_begin;
      if (code_size != 1) longer_codes.push_back({q, code_size});
    }
    answers.at = stop + 1;
  }
  return true;
}

// Codes answer positions 1 to answers.to_code, as far as the line holds
// them: a window at a time where they are answers of at most one byte (by
// the step chosen for the processor), one field at a time elsewhere. Stops
// early where the fields end, as code_fields_one_by_one does; more_bytes
// tells that the read-ahead ended first.
Step code_answers(const coursefile::CourseValues& values, std::string& dat, Answers& answers,
                  std::vector<LongerCode>& longer_codes) {
  const auto code_windows = chosen_window_step().code_windows;
  while (answers.coded < answers.to_code) {
    code_windows(answers);
    if (!code_fields_one_by_one(values, dat, answers, longer_codes)) {
      return field_end(answers.at, answers.end) == answers.end ? Step::more_bytes : Step::go_on;
    }
  }
  return Step::go_on;
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
  dat.resize(codes_begin + static_cast<std::size_t>(to_code) + codes::codes_room_after, '-');
  coursefile::put_dat_opening(dat.data() + dat_size, fields.field_2, fields.field_3);

  Answers answers{.at = fields.answers,
                  .next = dat.data() + codes_begin,
                  .one_byte_each = one_byte_each,
                  .end = end,
                  .to_code = to_code,
                  .key = coding.key_bytes.data()};
  std::int64_t answer_count = 0;
  coding.longer_codes.clear();
  Step step = code_answers(values, dat, answers, coding.longer_codes);
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
