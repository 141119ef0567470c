// Writes a course file for the benchmarks.
//   generate_course class STUDENTS ANSWERS FILE [--blanks PERCENT]
//                   [--fields code|codes|name|quoted-name] [--miskeyed QUESTION]
//   generate_course size BYTES FILE
//   generate_course long-line BYTES COMMAS FILE
//   generate_course non-records LINES FILE
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "course_generator.hpp"

namespace {

int usage() {
  std::fputs(
      "usage: generate_course class STUDENTS ANSWERS FILE [--blanks PERCENT]\n"
      "                       [--fields code|codes|name|quoted-name] [--miskeyed QUESTION]\n"
      "       generate_course size BYTES FILE\n"
      "       generate_course long-line BYTES COMMAS FILE\n"
      "       generate_course non-records LINES FILE\n",
      stderr);
  return 2;
}

long long number(const char* text) { return std::strtoll(text, nullptr, 10); }

std::optional<bench::LeadingFields> leading_fields(const std::string& name) {
  if (name == "code") return bench::LeadingFields::code;
  if (name == "codes") return bench::LeadingFields::codes;
  if (name == "name") return bench::LeadingFields::name;
  if (name == "quoted-name") return bench::LeadingFields::quoted_name;
  return std::nullopt;
}

// The options after a class's FILE; nullopt when one is not understood.
std::optional<bench::Sheets> sheets(int count, char** options) {
  bench::Sheets sheets;
  for (int i = 0; i + 1 < count; i += 2) {
    const std::string option = options[i];
    if (option == "--blanks") {
      sheets.blank_percent = static_cast<int>(number(options[i + 1]));
    } else if (option == "--miskeyed") {
      sheets.miskeyed_question = static_cast<int>(number(options[i + 1]));
    } else if (option == "--fields" && leading_fields(options[i + 1])) {
      sheets.fields = *leading_fields(options[i + 1]);
    } else {
      return std::nullopt;
    }
  }
  if (count % 2 != 0 || sheets.blank_percent < 0 || sheets.blank_percent > 100) return std::nullopt;
  return sheets;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string kind = argv[1];
  try {
    if (kind == "class" && argc >= 5) {
      const std::optional<bench::Sheets> shape = sheets(argc - 5, argv + 5);
      if (!shape) return usage();
      bench::write_class(argv[4], number(argv[2]), static_cast<int>(number(argv[3])), *shape);
    } else if (kind == "size" && argc == 4) {
      bench::write_sized(argv[3], number(argv[2]));
    } else if (kind == "long-line" && argc == 5) {
      bench::write_long_line(argv[4], number(argv[2]), number(argv[3]));
    } else if (kind == "non-records" && argc == 4) {
      bench::write_non_records(argv[3], number(argv[2]));
    } else {
      return usage();
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "generate_course: %s\n", failure.what());
    return 1;
  }
  return 0;
}
