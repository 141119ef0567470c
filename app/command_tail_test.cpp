#include "app/command_tail.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace app {
namespace {

TEST(CommandTail, FromTheFullCommandLine) {
  struct Case {
    std::string_view line, tail, course;
  };
  const Case cases[] = {
      {"gbkconvert  exam1 ", "exam1 ", "exam1"},
      {"\"C:\\Program Files\\gbk.exe\"   exam1", "exam1", "exam1"},
      {"gbk \"my exam\"", "\"my exam\"", "\"my exam\""},  // quotes stay part of the name
      {"gbk    ", "", ""},
      {"gbk", "", ""},
      {"gbk\texam", "\texam", "\texam"},  // a tab ends the name but is not skipped
      {"\"gbk\"x  y", "x  y", "x  y"},
      {"\"unclosed name", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(command_tail_of(c.line), c.tail) << c.line;
    EXPECT_EQ(command_line_course_name(command_tail_of(c.line)), c.course) << c.line;
  }
}

// --all alone or with a folder; anything else is a course name.
TEST(CommandTail, AllCourseFilesOfAFolder) {
  struct Case {
    std::string_view course_name;
    std::optional<std::string> folder;
  };
  const Case cases[] = {
      {"--all", ""},
      {"--all exams", "exams"},
      {"--all   C:\\my exams\\ ", "C:\\my exams\\"},
      {"--all \"C:\\my exams\"", "C:\\my exams"},  // as a Windows command line keeps the quotes
      {"--all \" x \"", " x "},                    // what the quotes hold, blanks and all
      {"--all \"", "\""},
      {"--allx", std::nullopt},
      {"--ALL", std::nullopt},
      {"-all", std::nullopt},
      {"exam --all", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(folder_to_convert_whole(c.course_name), c.folder) << c.course_name;
}

TEST(CommandTail, PosixArgumentsJoinedByOneBlank) {
  const char* argv[] = {"gbkconvert", "my", "exam "};
  EXPECT_EQ(command_tail_of(3, argv), "my exam ");
  EXPECT_EQ(command_tail_of(1, argv), "");
}

}  // namespace
}  // namespace app
