// Any bytes as a course file (behind a line of filler when the first byte
// is odd), converted by the whole run into a private folder. Whatever the
// file holds, the run must end normally and leave the course file as it
// was. A file without a record (no line whose field 1 is SH3, FH or SD) is
// refused: exit code 1 and no output made. Any other is converted, exit
// code 0, into outputs that keep these rules:
// - the .txt file has one line per student record, the .dat file too;
// - each .dat line is the student's field 2, ",", field 3, ",," and then
//   exactly the student's .txt line;
// - every output line ends with CR LF, and no CR stands anywhere else;
// - only bytes of the course file's read part or of the fixed code texts
//   (. - 1 2 3 4 5 , CR LF) appear; never a tab or a 0x1A;
// - each .txt line holds exactly the codes of a slow, step-by-step coding of
//   the student's answers against the last answer key and header read
//   (without a header record every answer position is coded "-");
// - the .ans file has one line per answer of the last student record, all
//   empty while no answer-key record was read.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/winmain.hpp"
#include "course_model.hpp"
#include "require.hpp"
#include "scratch_files.hpp"
#include "textio/strings.hpp"

namespace {

struct Student {
  std::string dat_start;  // field 2, ",", field 3, ",,"
  std::string codes;      // the .txt line
};

using AnswerKey = std::array<std::string, 101>;  // [1..100]

// Key entry q as an answer-key record gives it: trimmed, a lone a..e as its
// upper case letter, anything else as it stands.
std::string key_entry_of(const std::string& line, int q) {
  std::string entry(model::trim(model::field(line, static_cast<std::size_t>(8 + q))));
  if (entry.size() == 1 && entry[0] >= 'a' && entry[0] <= 'e') entry[0] = static_cast<char>(entry[0] - 'a' + 'A');
  return entry;
}

// One answer in the order of the coding steps: a..e upper-cased, compared
// with the key entry, then A..E turned into digits.
std::string code_of(std::string answer, const std::string& key) {
  for (char& c : answer) {
    if (c >= 'a' && c <= 'e') c = static_cast<char>(c - 'a' + 'A');
  }
  if (answer == key) return ".";
  if (answer.empty()) return "-";
  for (char& c : answer) {
    if (c >= 'A' && c <= 'E') c = static_cast<char>(c - 'A' + '1');
  }
  return answer;
}

// Every answer position of the record: coded from its own field while it is
// within the declared questions and the 150 fields taken, "-" beyond.
std::string codes_of(const std::string& line, std::int16_t answers, std::int16_t declared, const AnswerKey& key) {
  std::string codes;
  for (int a = 1; a <= answers; ++a) {
    if (a > declared || 8 + a > 150) {
      codes += '-';
      continue;
    }
    const std::string answer(model::trim(model::field(line, static_cast<std::size_t>(8 + a))));
    codes += code_of(answer, a <= 100 ? key[static_cast<std::size_t>(a)] : std::string());
  }
  return codes;
}

struct Expected {
  std::vector<Student> students;
  bool has_record = false;
  bool has_answer_key = false;
  std::int16_t last_answers = 0;
};

Expected expected_from(std::string_view course) {
  Expected expected;
  AnswerKey key{};
  std::int16_t declared_questions = 0;
  for (std::string line : model::lines_of(course)) {
    for (char& c : line) {
      if (c == '\t') c = ',';
    }
    const std::string tag(model::trim(model::field(line, 1)));
    if (tag == "SH3" || tag == "FH" || tag == "SD") expected.has_record = true;
    if (tag == "SH3") {
      expected.has_answer_key = true;
      for (int q = 1; q <= 100; ++q) key[static_cast<std::size_t>(q)] = key_entry_of(line, q);
    } else if (tag == "FH") {
      declared_questions = textio::to_int16(textio::read_number(model::field(line, 9)));
    } else if (tag == "SD") {
      Student student;
      student.dat_start = model::field(line, 2) + "," + model::field(line, 3) + ",,";
      const std::int16_t answers = textio::wrap16(model::separating_commas(line) - 8);
      student.codes = codes_of(line, answers, declared_questions, key);
      expected.last_answers = answers;
      expected.students.push_back(std::move(student));
    }
  }
  return expected;
}

std::vector<std::string> output_lines(const std::string& name) {
  const bool exists = scratch::folder().has(name);
  const std::string text = scratch::folder().get(name);
  if (!exists) {
    std::fprintf(stderr, "broken: %s was not written\n", name.c_str());
    std::abort();
  }
  std::vector<std::string> lines;
  require(model::split_crlf_lines(text, lines), "every output line ends with CR LF");
  return lines;
}

void require_known_bytes(const std::vector<std::string>& lines, const bool (&allowed)[256]) {
  for (const std::string& line : lines) {
    for (char c : line) require(allowed[static_cast<unsigned char>(c)], "only course bytes and code texts");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  scratch::detach_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = scratch::across_first_block({reinterpret_cast<const char*>(data), size});
  const std::string_view course = bytes;
  const std::string base = (scratch::folder() / "COURSE").string();
  scratch::folder().put("COURSE.gbk", course);
  for (const char* extension : {".dat", ".txt", ".ans"}) std::filesystem::remove(base + extension);

  const Expected expected = expected_from(course);
  const int exit_code = app::WINMAIN(base);
  require(scratch::folder().get("COURSE.gbk") == course, "course file untouched");
  if (!expected.has_record) {
    require(exit_code == 1, "a file without a record: exit code 1");
    for (const char* name : {"COURSE.dat", "COURSE.txt", "COURSE.ans"}) {
      require(!scratch::folder().has(name), "a file without a record: no output made");
    }
    return 0;
  }
  require(exit_code == 0, "exit code 0");

  const std::vector<std::string> dat = output_lines("COURSE.dat");
  const std::vector<std::string> txt = output_lines("COURSE.txt");
  const std::vector<std::string> ans = output_lines("COURSE.ans");

  require(txt.size() == expected.students.size(), "one .txt line per student record");
  require(dat.size() == expected.students.size(), "one .dat line per student record");
  for (std::size_t i = 0; i < txt.size(); ++i) {
    const Student& student = expected.students[i];
    require(dat[i] == student.dat_start + txt[i], ".dat line is fields 2 and 3 and the .txt line");
    require(txt[i] == student.codes, "the codes of the step-by-step coding");
  }

  const std::size_t key_lines = expected.last_answers > 0 ? static_cast<std::size_t>(expected.last_answers) : 0;
  require(ans.size() == key_lines, "one .ans line per answer of the last student");
  if (!expected.has_answer_key) {
    for (const std::string& line : ans) require(line.empty(), "no answer key: empty .ans lines");
  }

  bool allowed[256] = {};
  for (char c : model::readable_part(course)) allowed[static_cast<unsigned char>(c)] = true;
  for (char c : std::string_view(".-12345,")) allowed[static_cast<unsigned char>(c)] = true;
  allowed[static_cast<unsigned char>('\t')] = false;
  allowed[static_cast<unsigned char>('\r')] = false;  // only in CR LF, which the split removed
  require_known_bytes(dat, allowed);
  require_known_bytes(txt, allowed);
  require_known_bytes(ans, allowed);
  return 0;
}
