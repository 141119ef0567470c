// The two ways of reading student lines must give the same bytes: the one
// pass over plain student lines against the general way, which takes every
// line. Any bytes make a course file, read both ways by the reading loop;
// the .dat and .txt files, the console text and the values kept for the run
// (counts, answer key, the report's tally) must be the same.
//
// To meet plain student lines often, each piece of the input between two
// CR LF that does not start with S or F becomes the answers of a student
// record (behind "SD,1001,G,,,,,,"); pieces that start with S or F stay as
// they are, so answer-key, header and odd records come too. An odd first
// byte puts the file behind a line of filler, so that its lines fall across
// the first boundary of the reader's blocks at any place.
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

std::string course_text(std::string_view input) {
  bool filler = false;
  const std::string placed = scratch::across_first_block(input, &filler);
  input = placed;
  std::string course;
  if (filler) {
    const std::size_t filler_line = input.find("\r\n") + 2;
    course.assign(input.substr(0, filler_line));
    input.remove_prefix(filler_line);
  }
  while (true) {
    const std::size_t end = input.find("\r\n");
    const std::string_view piece = input.substr(0, end);
    if (!piece.starts_with('S') && !piece.starts_with('F')) course += "SD,1001,G,,,,,,";
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
