#include "course_generator.hpp"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace bench {

namespace {

constexpr const char* letters = "abcdeABCDE";
constexpr const char* options = "ABCDE";

struct Output {
  std::ofstream file;
  explicit Output(const std::string& path) : file(path, std::ios::binary | std::ios::trunc) {
    if (!file) throw std::runtime_error("cannot write " + path);
  }
  void line(const std::string& text) { file << text << "\r\n"; }
};

// The option most students choose for question q (from 1), 0 for A.
int right_option(int q) { return q % 5; }

std::string answer_key(int answers, int miskeyed_question = 0) {
  std::string line = "SH3,Key,,,,,,";
  for (int q = 1; q <= answers && q <= 100; ++q) {
    line += ',';
    line += options[(right_option(q) + (q == miskeyed_question ? 1 : 0)) % 5];
  }
  return line + ",";
}

std::string header(int questions, std::int64_t students) {
  return "FH,Course,,,,,,," + std::to_string(questions) + "," + std::to_string(students) + ",";
}

// The 16-bit count a run reaches after `students` records.
std::int64_t wrapped(std::int64_t students) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(students & 0xFFFF));
}

// A simple pseudo-random walk, the same on every machine.
struct Walk {
  std::uint64_t state;
  explicit Walk(std::int64_t seed)
      : state(static_cast<std::uint64_t>(seed) * 6364136223846793005ULL + 1442695040888963407ULL) {}
  unsigned next(unsigned n) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>((state >> 33) % n);
  }
};

// Fields 3 to 8, each behind its comma.
std::string leading_fields(std::int64_t number, LeadingFields kind) {
  static const char* const surnames[] = {"SMITH",  "Nguyen", "O'BRIEN", "Garcia", "MUELLER", "Kowalski",
                                         "DUBOIS", "Rossi",  "EVANS",   "Tanaka", "SILVA",   "Johansson"};
  const std::string surname = surnames[number % 12];
  const char initial = static_cast<char>('A' + number % 26);
  const std::string group = "G" + std::to_string(number % 10);
  switch (kind) {
    case LeadingFields::code: return "," + group + ",,,,,";
    case LeadingFields::codes:
      return "," + group + ",F" + std::to_string(number % 4 + 1) + ",R" + std::to_string(number % 40 + 1) + ",S" +
             std::to_string(number % 3 + 1) + ",2024,V" + std::to_string(number % 2 + 1);
    case LeadingFields::name: return "," + surname + " " + initial + ",,,,,";
    case LeadingFields::quoted_name: return ",\"" + surname + ", " + initial + "\",,,,,";
  }
  return {};
}

}  // namespace

std::string student_line(std::int64_t number, int answers, const Sheets& sheets) {
  char id[16];
  std::snprintf(id, sizeof id, "%07lld", static_cast<long long>(5000000 + number % 4000000));
  std::string line = "SD,";
  line += id;
  line += leading_fields(number, sheets.fields);
  Walk walk(number);
  for (int q = 1; q <= answers; ++q) {
    line += ',';
    if (walk.next(1000) < static_cast<unsigned>(sheets.blank_percent) * 10) continue;
    // From 40% to 89% of the students choose the right option; 80% that of
    // the question keyed wrong, so that the class tells the key is wrong.
    const int right = right_option(q);
    const int right_percent = q == sheets.miskeyed_question ? 80 : 40 + q * 37 % 50;
    const bool chooses_right = walk.next(100) < static_cast<unsigned>(right_percent);
    const int option = chooses_right ? right : (right + 1 + static_cast<int>(walk.next(4))) % 5;
    line += letters[option + 5 * static_cast<int>(walk.next(2))];
  }
  return line + ",";
}

void write_class(const std::string& path, std::int64_t students, int answers, const Sheets& sheets) {
  Output out(path);
  out.line(answer_key(answers, sheets.miskeyed_question));
  out.line(header(answers, wrapped(students)));
  for (std::int64_t s = 0; s < students; ++s) out.line(student_line(s, answers, sheets));
}

void write_sized(const std::string& path, std::int64_t bytes) {
  constexpr int answers = 100;
  const std::int64_t line_size = static_cast<std::int64_t>(student_line(0, answers).size()) + 2;
  const std::int64_t students = bytes / line_size < 1 ? 1 : bytes / line_size;
  write_class(path, students, answers);
}

void write_long_line(const std::string& path, std::int64_t line_bytes, std::int64_t commas) {
  Output out(path);
  out.line(answer_key(100));
  out.line(header(100, 3));
  out.line(student_line(1, 100));
  out.line(student_line(2, 100));
  std::string line = "SD,9999999,Long";
  const std::int64_t fields = commas - 2;
  const std::int64_t field_size = (line_bytes - static_cast<std::int64_t>(line.size()) - fields) / fields;
  line.reserve(static_cast<std::size_t>(line_bytes) + 16);
  for (std::int64_t f = 0; f < fields; ++f) {
    line += ',';
    for (std::int64_t i = 0; i < field_size; ++i) line += letters[(f + i) % 10];
  }
  while (static_cast<std::int64_t>(line.size()) < line_bytes) line += 'e';
  out.line(line);
}

void write_non_records(const std::string& path, std::int64_t lines) {
  static const char* const shapes[] = {
      "; exported by the scanner, sheet %lld, no record here",
      "sd,%lld,lower-case tag,,,,,,a,b,c",
      "SD1,%lld,a tag with more behind it,,,,,,a,b",
      "",
      "   ",
      "\"Remark\",%lld,\"quoted, with commas, inside\",,,",
      "SH,%lld,FH2,SDX",
  };
  Output out(path);
  out.line(answer_key(10));
  out.line(header(10, 3));
  char text[128];
  for (std::int64_t n = 0; n < lines; ++n) {
    std::snprintf(text, sizeof text, shapes[n % 7], static_cast<long long>(n));
    out.line(text);
  }
  for (std::int64_t s = 0; s < 3; ++s) out.line(student_line(s, 10));
}

}  // namespace bench
