#include "tests/support/reading_ways.hpp"

#include <algorithm>
#include <filesystem>

#include "console/console.hpp"
#include "coursefile/records.hpp"
#include "output/response_coding.hpp"
#include "tests/support/console_into_file.hpp"
#include "textio/channels.hpp"

namespace tests {

namespace {

// "the .dat files, from byte 12", or empty when the texts are equal.
std::string text_difference(std::string_view what, std::string_view one, std::string_view other) {
  if (one == other) return {};
  const auto [at, ignored] = std::mismatch(one.begin(), one.end(), other.begin(), other.end());
  return std::string(what) + ", from byte " + std::to_string(at - one.begin());
}

}  // namespace

Reading read_course(const ScratchFolder& folder, std::string_view course, app::StudentLines way, bool dat_open) {
  folder.put("C.GBK", course);
  std::filesystem::remove(folder / "C.dat");
  std::filesystem::remove(folder / "C.txt");
  textio::ChannelTable channels;
  if (dat_open) textio::open_for_output(channels, (folder / "C.dat").string(), coursefile::dat_channel);
  textio::open_for_output(channels, (folder / "C.txt").string(), coursefile::txt_channel);
  textio::open_for_input(channels, (folder / "C.GBK").string(), coursefile::course_channel);
  Reading reading;
  {
    const ConsoleIntoFile redirected(folder / "console");
    console::Console console;
    output::StudentCoding coding;
    app::read_course_file(channels, reading.values, coding, "C.GBK", console, way);
    console::flush(console);
  }
  for (std::int16_t number = 1; number <= 5; ++number) textio::close(channels, number);
  reading.dat = folder.get("C.dat");
  reading.txt = folder.get("C.txt");
  reading.console = folder.get("console");
  return reading;
}

std::string difference(const Reading& one, const Reading& other) {
  for (std::string found :
       {text_difference("the .dat files", one.dat, other.dat), text_difference("the .txt files", one.txt, other.txt),
        text_difference("the console texts", one.console, other.console)}) {
    if (!found.empty()) return found;
  }
  return one.values == other.values ? std::string() : "the values kept for the run";
}

BothWays read_both_ways(const ScratchFolder& folder, std::string_view course, bool dat_open) {
  return {read_course(folder, course, app::StudentLines::general_only, dat_open),
          read_course(folder, course, app::StudentLines::one_pass_where_plain, dat_open)};
}

}  // namespace tests
