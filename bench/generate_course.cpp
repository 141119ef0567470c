// Writes a course file for the benchmarks.
//   generate_course class STUDENTS ANSWERS FILE
//   generate_course size BYTES FILE
//   generate_course long-line BYTES COMMAS FILE
//   generate_course non-records LINES FILE
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "course_generator.hpp"

namespace {

int usage() {
  std::fputs(
      "usage: generate_course class STUDENTS ANSWERS FILE\n"
      "       generate_course size BYTES FILE\n"
      "       generate_course long-line BYTES COMMAS FILE\n"
      "       generate_course non-records LINES FILE\n",
      stderr);
  return 2;
}

long long number(const char* text) { return std::strtoll(text, nullptr, 10); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string kind = argv[1];
  try {
    if (kind == "class" && argc == 5) {
      bench::write_class(argv[4], number(argv[2]), static_cast<int>(number(argv[3])));
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
