// The two ways of reading student lines must give the same bytes: the one
// pass over plain student lines against the general way, which takes every
// line. Any bytes make a course file, read both ways by the reading loop;
// the .dat and .txt files, the console text and the values kept for the run
// (counts, answer key, the report's tally) must be the same.
//
// To meet plain student lines often, each piece of the input between two
// CR LF that does not start with S or F becomes the answers of a student
// record (behind "SD,1001,G,,,,,," or fields 2 to 8 with blanks, quotes and
// a quoted comma, by the piece's length); pieces that start with S or F
// stay as they are, so answer-key, header and odd records come too. The
// file starts with an answer key (one-byte, empty and longer entries) and a
// header of 40 questions, so that answers are coded unless the input's own
// records say otherwise. An odd first byte puts the file behind a line of
// filler, so that its lines fall across the first boundary of the reader's
// blocks at any place.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/course_reading.hpp"
#include "coursefile/records.hpp"
#include "require.hpp"
#include "scratch_files.hpp"

namespace {

std::string folder;

constexpr std::string_view key_and_header =
    "SH3,,,,,,,,A,b,,C,AB,\",\",d,E,a,B,c,D,e,A,B,C,D,E,a,b,c,d,e,x,A,B,C,D,E,A,B,C,D,E,A,B,C,D,E,A,B,C,\r\n"
    "FH,,,,,,,,40,3\r\n";

constexpr std::string_view fields_before_answers[] = {
    "SD,1001,G,,,,,,", "SD,1002,SMITH J,,,,,,", "SD,1003,\"SMITH, J\",,,,,,", "SD, 1004 ,\" a \"b,4,\"5,5\",6,7,8,"};

std::string course_text(std::string_view input) {
  std::string course = scratch::filler_line(input, key_and_header.size());
  course += key_and_header;
  while (true) {
    const std::size_t end = input.find("\r\n");
    const std::string_view piece = input.substr(0, end);
    if (!piece.starts_with('S') && !piece.starts_with('F')) {
      course += fields_before_answers[piece.size() % std::size(fields_before_answers)];
    }
    course += piece;
    if (end == std::string_view::npos) return course;
    course += "\r\n";
    input.remove_prefix(end + 2);
  }
}

struct Reading {
  std::string dat;
  std::string txt;
  std::string console;
  coursefile::CourseValues values;
};

// Standard output is a file of the scratch folder (see the initialisation):
// emptied before each reading and read back after it.
Reading read(app::StudentLines way) {
  const std::string dat = folder + "/C.dat";
  const std::string txt = folder + "/C.txt";
  std::remove(dat.c_str());
  std::remove(txt.c_str());
  require(::ftruncate(STDOUT_FILENO, 0) == 0 && ::lseek(STDOUT_FILENO, 0, SEEK_SET) == 0, "console file emptied");
  textio::ChannelTable channels;
  textio::open_for_output(channels, dat, coursefile::dat_channel);
  textio::open_for_output(channels, txt, coursefile::txt_channel);
  textio::open_for_input(channels, folder + "/C.GBK", coursefile::course_channel);
  require(channels.failures.empty(), "files open");
  Reading reading;
  console::Console console;
  output::StudentCoding coding;
  app::read_course_file(channels, reading.values, coding, "C.GBK", console, way);
  console::flush(console);
  for (std::int16_t number = 1; number <= 5; ++number) textio::close(channels, number);
  require(channels.failures.empty(), "no failure reported");
  reading.dat = scratch::read_file(dat);
  reading.txt = scratch::read_file(txt);
  reading.console = scratch::read_file(folder + "/console");
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder = scratch::make_folder();
  scratch::detach_console();
  const int console_file = ::open((folder + "/console").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  require(console_file >= 0 && ::dup2(console_file, STDOUT_FILENO) == STDOUT_FILENO, "console into a file");
  ::close(console_file);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  scratch::write_file(folder + "/C.GBK", course_text({reinterpret_cast<const char*>(data), size}));
  const Reading general = read(app::StudentLines::general_only);
  const Reading one_pass = read(app::StudentLines::one_pass_where_plain);
  require(one_pass.dat == general.dat, ".dat files alike");
  require(one_pass.txt == general.txt, ".txt files alike");
  require(one_pass.console == general.console, "console text alike");
  require(one_pass.values == general.values, "values and report alike");
  return 0;
}
