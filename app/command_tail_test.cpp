#include "app/command_tail.hpp"

#include <gtest/gtest.h>

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

TEST(CommandTail, PosixArgumentsJoinedByOneBlank) {
  const char* argv[] = {"gbkconvert", "my", "exam "};
  EXPECT_EQ(command_tail_of(3, argv), "my exam ");
  EXPECT_EQ(command_tail_of(1, argv), "");
}

}  // namespace
}  // namespace app
