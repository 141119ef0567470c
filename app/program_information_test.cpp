#include "app/program_information.hpp"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ProgramInformation, OnlyTheWholeWordsAskAndEverythingElseIsACourseName) {
  enum class Asks { usage, version, nothing };
  struct Case {
    std::string_view tail;
    bool windows;
    Asks asks;
  };
  const Case cases[] = {
      {"--help", false, Asks::usage},
      // Blanks around a course name never count.
      {"  --help ", false, Asks::usage},
      {"--version", false, Asks::version},
      {"--version", true, Asks::version},
      {"/?", true, Asks::usage},
      {"--help", true, Asks::usage},
      {"/?", false, Asks::nothing},  // a course name where / starts a path
      {"--HELP", false, Asks::nothing},
      {"-h", false, Asks::usage},
      {"-h", true, Asks::usage},
      {"-H", false, Asks::nothing},
      {"--help exam", false, Asks::nothing},
      {"\"--help\"", true, Asks::nothing},  // quotes stay part of a Windows course name
      {"--versions", false, Asks::nothing},
      {"", false, Asks::nothing},  // an interactive run
  };
  for (const Case& c : cases) {
    const std::optional<std::string> text =
        c.windows ? information_asked(c.tail, {"--help", "-h", "/?"}) : information_asked(c.tail, {"--help", "-h"});
    const Asks asks = !text                                    ? Asks::nothing
                      : text->starts_with("Usage: gbkconvert") ? Asks::usage
                      : text->starts_with("gbkconvert ")       ? Asks::version
                                                               : Asks::nothing;
    EXPECT_EQ(asks, c.asks) << c.tail << (c.windows ? " (Windows)" : "");
  }
}

TEST(ProgramInformation, UsageFitsAnEightyColumnConsole) {
  const std::string usage = information_asked("--help", {"--help"}).value();
  std::size_t start = 0;
  for (std::size_t end = usage.find('\n'); end != std::string::npos; end = usage.find('\n', start)) {
    EXPECT_LT(end - start, 80u) << usage.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(start, usage.size()) << "the text ends with a line end";
}

}  // namespace
}  // namespace app
