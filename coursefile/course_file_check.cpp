#include "coursefile/course_file_check.hpp"

#include <array>
#include <cstring>
#include <memory>

#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"
#include "textio/first_fields.hpp"

namespace coursefile {

namespace {

// A usual course file tells in its first line: the first read is small.
constexpr std::size_t first_read_size = 4096;
// Bytes at the start that utf16_text looks at.
constexpr std::size_t utf16_look = 512;

bool is_record_tag(std::string_view field) { return record_kind_of(field) != RecordKind::none; }

// A tag, blanks, then ";": a course file saved with ";" between its fields.
bool tag_before_semicolon(std::string_view field) {
  const std::size_t semicolon = field.find(';');
  if (semicolon == std::string_view::npos) return false;
  std::string_view tag = field.substr(0, semicolon);
  while (tag.ends_with(' ')) tag.remove_suffix(1);
  return is_record_tag(tag);
}

// The fields of one reading of the lines, by one line end byte.
struct LinesRead {
  textio::FirstFieldReader reader;
  bool has_record = false;
  bool semicolons = false;

  explicit LinesRead(char line_end_byte) { reader.line_end_byte = line_end_byte; }

  void note(const textio::FirstFieldTaken& taken) {
    if (!taken.field_ended) return;
    if (!taken.field.longer && is_record_tag(taken.field.text)) has_record = true;
    if (tag_before_semicolon(taken.field.text)) semicolons = true;
  }

  // Up to the first record.
  void read(std::string_view text) {
    while (!text.empty() && !has_record) {
      const textio::FirstFieldTaken taken = textio::take_first_field(reader, text);
      text.remove_prefix(taken.bytes);
      note(taken);
    }
  }
};

}  // namespace

bool utf16_text(std::string_view first_bytes) {
  if (first_bytes.starts_with("\xFF\xFE") || first_bytes.starts_with("\xFE\xFF")) return true;
  const std::size_t pairs = std::min(first_bytes.size(), utf16_look) / 2;
  std::size_t zero_second = 0;
  std::size_t zero_first = 0;
  for (std::size_t pair = 0; pair < pairs; ++pair) {
    const bool first_zero = first_bytes[2 * pair] == '\0';
    const bool second_zero = first_bytes[2 * pair + 1] == '\0';
    if (second_zero && !first_zero) ++zero_second;
    if (first_zero && !second_zero) ++zero_first;
  }
  return pairs >= 2 && 2 * std::max(zero_second, zero_first) >= pairs;
}

CourseFileLook look_at_course_file(const std::string& name, textio::os::NameMatch match) {
  CourseFileLook look;
  textio::os::OpenResult opened = textio::os::open_for_input(name, match);
  if (!opened.file.valid() || !opened.is_disk_file) return look;

  // Until a CR settles the line end (one before the file's end makes the CR
  // end lines, none the LF, if there is one), the lines are read both ways.
  LinesRead by_cr('\r');
  LinesRead by_lf('\n');
  bool cr_met = false;
  bool lf_met = false;
  std::string first_bytes;
  std::unique_ptr<char[]> block(new char[textio::block_size]);
  bool at_start = true;
  bool any_byte = false;
  while (true) {
    std::size_t got = 0;
    const std::size_t wanted = at_start ? first_read_size : textio::block_size;
    if (textio::os::read_some(opened.file, block.get(), wanted, got).error_number != 0) return look;
    if (got == 0) break;
    std::string_view text(block.get(), got);
    if (at_start) {
      at_start = false;
      first_bytes.assign(text.substr(0, utf16_look));
      if (text.starts_with(textio::utf8_byte_order_mark)) text.remove_prefix(textio::utf8_byte_order_mark.size());
    }
    const std::size_t mark = text.find(textio::end_of_file_mark);
    const bool file_ends = mark != std::string_view::npos;
    text = text.substr(0, mark);
    any_byte = any_byte || !text.empty();
    if (!cr_met) {
      const std::size_t cr = text.find('\r');
      lf_met = lf_met || text.substr(0, cr).find('\n') != std::string_view::npos;
      cr_met = cr != std::string_view::npos;
    }
    by_cr.read(text);
    if (!cr_met) by_lf.read(text);
    // A record either way, or by the CR that the file is now known to end
    // its lines with.
    if (by_cr.has_record && (cr_met || by_lf.has_record)) break;
    if (file_ends) break;
  }
  by_cr.note(textio::end_first_fields(by_cr.reader));
  by_lf.note(textio::end_first_fields(by_lf.reader));
  const LinesRead& lines = !cr_met && lf_met ? by_lf : by_cr;
  look.looked = true;
  look.has_record = lines.has_record;
  look.empty = !any_byte;
  look.utf16 = utf16_text(first_bytes);
  look.semicolons = lines.semicolons;
  return look;
}

std::vector<std::string> not_a_course_file(std::string_view shown_name, const CourseFileLook& look) {
  if (!look.looked || look.has_record) return {};
  std::vector<std::string> lines{" " + std::string(shown_name) + " is not a course file: it has no " +
                                 std::string(answer_key_tag) + ", " + std::string(header_tag) + " or " +
                                 std::string(student_tag) + " record"};
  if (look.empty) {
    lines.push_back(" it is empty");
  } else if (look.utf16) {
    lines.push_back(" it is UTF-16 text: save it as ANSI or UTF-8");
  } else if (look.semicolons) {
    lines.push_back(" its fields are separated by \";\"");
  }
  return lines;
}

std::string refusal_in_brief(const CourseFileLook& look) {
  if (!look.looked || look.has_record) return {};
  if (look.empty) return "not a course file: empty";
  if (look.utf16) return "not a course file: UTF-16 text";
  if (look.semicolons) return "not a course file: fields separated by \";\"";
  return "not a course file: no " + std::string(answer_key_tag) + ", " + std::string(header_tag) + " or " +
         std::string(student_tag) + " record";
}

}  // namespace coursefile
