// Interactive runs in a pseudo-terminal: the input box and the list box as
// the operator sees them, answered with keys and with mouse clicks.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/pty_checks.hpp"
#include "tests/pty_harness.hpp"
#include "tests/support/scratch_folder.hpp"
#include "worked_example.hpp"

namespace {

namespace fs = std::filesystem;
using namespace pty_test;
using namespace tests;
using namespace std::chrono_literals;

constexpr int light_blue = 9;
constexpr int light_red = 12;
constexpr int black = 0;

const std::string directory_question = "Change default directory for .gbk course files?";
const std::string list_hint = "Select a .gbk file or exit";
const std::string manual_question = "Course: ..";

const std::string key_enter = "\r";
const std::string key_escape = "\x1b";
const std::string key_down = "\x1b[B";

class InteractiveTerminalRun : public testing::Test {
 protected:
  void SetUp() override {
    // A stand-in editor first on PATH records each file it is asked to open.
    put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + (folder / "opened").string() + "'\n");
    fs::permissions(folder / "bin" / "xdg-open", fs::perms::owner_all);
  }

  void put(const fs::path& name, const std::string& bytes) { scratch.put(name, bytes); }
  std::string get(const fs::path& name) { return scratch.get(name); }

  void start(PtyProgram& run, int rows = 30, int cols = 80) {
    PtyOptions options;
    options.argv = {GBKCONVERT_PATH};
    options.working_directory = folder.string();
    options.rows = rows;
    options.cols = cols;
    const char* path = std::getenv("PATH");
    options.environment = {"PATH=" + (folder / "bin").string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")};
    ASSERT_TRUE(start_program(run, options));
  }

  // A box is whole once its buttons, drawn last, are on the screen too.
  static bool wait_for_box(PtyProgram& run, const std::string& text) {
    return wait_until(run, [&] { return find_text(run, text).row != 0 && find_text(run, "[Cancel]").row != 0; });
  }

  // Opens the list box by cancelling the directory question.
  void reach_list(PtyProgram& run) {
    ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
    send(run, key_escape);
    ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  }

  void expect_converted(const fs::path& base) {
    EXPECT_EQ(get(base.string() + ".dat"), course_dat);
    EXPECT_EQ(get(base.string() + ".txt"), course_txt);
    EXPECT_EQ(get(base.string() + ".ans"), course_ans);
  }

  std::string opened_files(std::size_t starts) {
    std::string record;
    for (int i = 0; i < 250; ++i) {
      record = get("opened");
      if (static_cast<std::size_t>(std::count(record.begin(), record.end(), '\n')) >= starts) break;
      std::this_thread::sleep_for(20ms);
    }
    std::vector<std::string> lines;
    std::istringstream in(record);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::string sorted;
    for (const std::string& line : lines) sorted += line + "\n";
    return sorted;
  }

  const tests::ScratchFolder scratch;
  const fs::path folder = fs::canonical(scratch.path);  // as the list box's title names it
};

TEST_F(InteractiveTerminalRun, KeyboardAloneReachesTheConvertedFiles) {
  put("exam.gbk", course);
  put("Biology.GBK", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  // The box stands below the start-up screen, which stays readable.
  EXPECT_EQ(row_text(run, 10), " The change will be made only if the path exists.");
  EXPECT_NE(find_text(run, "<Cancel> accepts program's directory").row, 0);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  const Position biology = find_text(run, "BIOLOGY.GBK");
  const Position exam = find_text(run, "EXAM.GBK");
  ASSERT_NE(biology.row, 0) << screen_text(run);
  EXPECT_EQ(exam.row, biology.row + 1);
  // Above them, the entry that converts them all.
  EXPECT_EQ(find_text(run, "All 2 course files").row, biology.row - 1) << screen_text(run);
  EXPECT_NE(find_text(run, folder.string()).row, 0) << screen_text(run);
  send(run, key_down);
  send(run, key_down);
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("EXAM");
  EXPECT_FALSE(fs::exists(folder / "BIOLOGY.dat"));
  EXPECT_EQ(opened_files(3), "EXAM.ans\nEXAM.dat\nEXAM.txt\n");
  // The run's report stays on the screen below the header line, in black.
  const Position report = find_text(run, " exam.gbk: 3 student records, 4 questions -> EXAM.dat, EXAM.txt, EXAM.ans");
  EXPECT_EQ(report.row, 2) << screen_text(run);
  EXPECT_EQ(console_colour(cell(run, report.row, 2).fg), black);
}

// The list's first entry, selected when it opens: every course file of the
// folder converted as a run of its name, the summary and one wait.
TEST_F(InteractiveTerminalRun, TheFirstEntryConvertsEveryCourseFileAndWaitsOnceAtTheSummary) {
  put("exam.gbk", course);
  std::string warned = course;
  warned.replace(warned.rfind("D,\r\n"), 4, "D,a,\r\n");
  put("Biology.GBK", warned);
  PtyProgram run;
  start(run);
  reach_list(run);
  const Position all = find_text(run, "All 2 course files");
  ASSERT_NE(all.row, 0) << screen_text(run);
  EXPECT_EQ(console_colour(cell(run, all.row, all.col).bg), 15) << "selected";
  send(run, key_enter);
  ASSERT_TRUE(wait_for_input_wait(run)) << screen_text(run);
  EXPECT_EQ(row_text(run, 1), " Biology.GBK: converted, 3 student records, 4 questions, 1 finding") << screen_text(run);
  EXPECT_EQ(row_text(run, 2), " exam.gbk: converted, 3 student records, 4 questions, no findings");
  EXPECT_EQ(row_text(run, 3), " 2 course files: 2 converted (1 of them with findings), 0 refused, 0 failed");
  EXPECT_EQ(console_colour(cell(run, 3, 2).fg), black);
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_modes_as_found(run);
  expect_converted("exam");
  EXPECT_TRUE(fs::exists(folder / "Biology.ans"));
}

TEST_F(InteractiveTerminalRun, MouseAloneReachesTheConvertedFiles) {
  put("exam.gbk", course);
  put("Biology.GBK", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  const Position cancel = find_text(run, "[Cancel]");
  ASSERT_NE(cancel.row, 0) << screen_text(run);
  send(run, mouse_press(1, cancel.row, cancel.col + 2));
  send(run, mouse_release(1, cancel.row, cancel.col + 2));
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  const Position exam = find_text(run, "EXAM.GBK");
  ASSERT_NE(exam.row, 0) << screen_text(run);
  // A click selects, a second click on the same name chooses it.
  send(run, mouse_press(1, exam.row, exam.col));
  send(run, mouse_release(1, exam.row, exam.col));
  ASSERT_TRUE(wait_for_input_wait(run)) << "the first click should only select: " << screen_text(run);
  send(run, mouse_press(1, exam.row, exam.col));
  send(run, mouse_release(1, exam.row, exam.col));
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("EXAM");
}

TEST_F(InteractiveTerminalRun, TypedDirectoryAnswerListsThatFolder) {
  put("top.gbk", course);
  put("sub/Chem.gbk", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  send(run, "sux");
  send(run, "\x7f");  // Backspace
  send(run, "b" + key_enter);
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  EXPECT_NE(find_text(run, "CHEM.GBK").row, 0) << screen_text(run);
  EXPECT_EQ(find_text(run, "TOP.GBK").row, 0) << screen_text(run);
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("sub/CHEM");
}

TEST_F(InteractiveTerminalRun, WrongDirectoryAnswerChangesNothing) {
  put("exam.gbk", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  send(run, "no-such-folder" + key_enter);
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  EXPECT_NE(find_text(run, "EXAM.GBK").row, 0) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_text(run, "no such file:")) << screen_text(run);
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 1);
}

TEST_F(InteractiveTerminalRun, LeavingTheListLeadsToTheManualEntryInLightBlue) {
  put("exam.gbk", course);
  put("other/Bio.gbk", course);
  PtyProgram run;
  start(run);
  reach_list(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  EXPECT_EQ(row_text(run, 1), "If the .gbk course files are in another directory,");
  EXPECT_EQ(row_text(run, 2), "add the path to the file name.");
  EXPECT_EQ(console_colour(cell(run, 1, 1).fg), light_blue);
  EXPECT_EQ(console_colour(cell(run, 2, 1).fg), light_blue);
  send(run, "other/bio.gbk" + key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("other/BIO");
}

TEST_F(InteractiveTerminalRun, NoCourseFilesShowTheRedMessageAndAnEmptyEntryEndsAfterAKey) {
  put("exam.txt", course);
  put(".hidden.gbk", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  send(run, key_enter);
  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  EXPECT_EQ(row_text(run, 1), "There are no .gbk files in this directory!!");
  EXPECT_EQ(row_text(run, 3), "If the .gbk course files are in another directory,");
  for (int row : {1, 3, 4}) EXPECT_EQ(console_colour(cell(run, row, 1).fg), light_red) << row;
  // A hidden course file is not accepted either.
  send(run, ".hidden.gbk" + key_enter);
  ASSERT_TRUE(wait_for_text(run, "no such file: .hidden.gbk")) << screen_text(run);
  EXPECT_TRUE(wait_for_input_wait(run)) << "the message waits for a key";
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 1) << "nothing was converted";
  EXPECT_FALSE(fs::exists(folder / ".HIDDEN.dat"));
}

TEST_F(InteractiveTerminalRun, EmptyManualEntryShowsNoSuchFileAlone) {
  put("exam.txt", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  send(run, key_enter);
  ASSERT_TRUE(wait_for_text(run, "no such file:")) << screen_text(run);
  const Position message = find_text(run, "no such file:");
  EXPECT_EQ(row_text(run, message.row), "no such file:");
  EXPECT_EQ(console_colour(cell(run, message.row, 1).fg), 0);  // black
  EXPECT_EQ(console_colour(cell(run, message.row, 1).bg), 7);  // on light grey
  EXPECT_TRUE(wait_for_input_wait(run)) << "the message waits for a key";
  send(run, mouse_press(1, 1, 1));
  EXPECT_EQ(wait_for_exit(run), 1) << "nothing was converted";
}

// On a dumb terminal the boxes read whole lines, typed with the terminal's
// own editing and echo; only the key waits take single keys.
TEST_F(InteractiveTerminalRun, ADumbTerminalAnswersTheBoxesLineByLine) {
  put("exam.gbk", course);
  put("Biology.GBK", course);
  PtyProgram run;
  PtyOptions options;
  options.argv = {GBKCONVERT_PATH};
  options.working_directory = folder.string();
  options.environment = {"TERM=dumb"};
  ASSERT_TRUE(start_program(run, options));
  ASSERT_TRUE(wait_for_text(run, "<Cancel> accepts program's directory")) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run));
  EXPECT_NE(current_modes(run).c_lflag & ICANON, 0u) << "a box's answer is a line";
  send(run, "\n");
  ASSERT_TRUE(wait_for_text(run, "3 EXAM.GBK")) << screen_text(run);
  send(run, "4");  // no such entry: the backspace takes it away again
  send(run,
       "\x7f"
       "3");
  ASSERT_TRUE(wait_until(run, [&] { return row_text(run, cursor(run).row) == "3"; })) << "echoed\n" << screen_text(run);
  send(run, "\n");
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("EXAM");
  expect_modes_as_found(run);
}

// Terminals smaller than the 80 by 30 screen: each box is drawn whole
// inside the part of the screen on view, and the list shows as many names
// as fit there.
struct TerminalSize {
  const char* name;
  int rows;
  int cols;
  int names_shown;
  friend void PrintTo(const TerminalSize& size, std::ostream* out) { *out << size.name; }
};

class SmallTerminal : public InteractiveTerminalRun, public testing::WithParamInterface<TerminalSize> {};

// Frame corners above the first row and below the last row of a box, seen
// from a text inside it and the buttons.
void expect_whole_box(const PtyProgram& run, const Position& inside, int rows_above, const Position& buttons) {
  ASSERT_NE(inside.row, 0) << screen_text(run);
  ASSERT_NE(buttons.row, 0) << screen_text(run);
  EXPECT_EQ(cell(run, inside.row - rows_above, inside.col - 2).text, "+") << "top frame\n" << screen_text(run);
  EXPECT_EQ(cell(run, buttons.row + 1, inside.col - 2).text, "+") << "bottom frame\n" << screen_text(run);
}

TEST_P(SmallTerminal, BothBoxesWholeOnViewTheSelectedNameAndTheTypedTextToo) {
  const TerminalSize& size = GetParam();
  for (int i = 0; i < 25; ++i) put("C" + std::to_string(10 + i) + ".gbk", course);
  PtyProgram run;
  start(run, size.rows, size.cols);

  ASSERT_TRUE(wait_for_box(run, "<Cancel> accepts")) << screen_text(run);
  expect_whole_box(run, find_text(run, "<Cancel> accepts"), 3, find_text(run, "[  OK  ]"));
  EXPECT_EQ(find_text(run, "[  OK  ]").row, find_text(run, "[Cancel]").row);
  send(run, "abc");
  ASSERT_TRUE(wait_for_text(run, "abc")) << screen_text(run);
  const Position typed = find_text(run, "abc");
  expect_cursor(run, typed.row, typed.col + 3);
  EXPECT_EQ(typed.row, find_text(run, "<Cancel> accepts").row - 1);
  send(run, key_escape);

  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  const Position hint = find_text(run, list_hint);
  expect_whole_box(run, hint, 2, find_text(run, "[Cancel]"));
  ASSERT_TRUE(wait_until(run, [&] { return find_text(run, "C10.GBK").row != 0; })) << screen_text(run);
  // The first entry converts them all; the names follow it.
  const int first_row = find_text(run, "All 25 course files").row;
  ASSERT_NE(first_row, 0) << screen_text(run);
  const auto name = [](int i) { return "C" + std::to_string(10 + i) + ".GBK"; };
  EXPECT_EQ(find_text(run, name(0)).row, first_row + 1) << screen_text(run);
  EXPECT_EQ(find_text(run, name(size.names_shown - 2)).row, first_row + size.names_shown - 1) << screen_text(run);
  EXPECT_EQ(find_text(run, name(size.names_shown - 1)).row, 0) << screen_text(run);
  send(run, "\x1b[F");  // End
  // The selected name in bright white, beside the scroll bar's lower end.
  ASSERT_TRUE(wait_until(run, [&] {
    const Position last = find_text(run, "C34.GBK");
    return last.row != 0 && console_colour(cell(run, last.row, last.col).bg) == 15 &&
           row_text(run, last.row).ends_with("v|");
  })) << screen_text(run);
  expect_whole_box(run, hint, 2, find_text(run, "[Cancel]"));
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("C34");
}

INSTANTIATE_TEST_SUITE_P(InteractiveTerminalRun, SmallTerminal,
                         testing::Values(TerminalSize{"80_by_24", 24, 80, 17}, TerminalSize{"60_by_24", 24, 60, 17},
                                         TerminalSize{"40_by_10", 10, 40, 3}),
                         [](const testing::TestParamInfo<TerminalSize>& info) { return std::string(info.param.name); });

// Smaller still, the box does not fit: the view follows the selected name
// and the input cursor.
TEST_F(InteractiveTerminalRun, ATinyTerminalFollowsTheSelectedNameAndTheInputCursor) {
  for (int i = 0; i < 25; ++i) put("C" + std::to_string(10 + i) + ".gbk", course);
  PtyProgram run;
  start(run, 5, 30);
  ASSERT_TRUE(wait_for_text(run, "[  OK  ]")) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run));
  send(run, "typed");
  ASSERT_TRUE(wait_for_text(run, "typed")) << screen_text(run);
  const Position typed = find_text(run, "typed");
  expect_cursor(run, typed.row, typed.col + 5);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_text(run, "All 25 course files")) << screen_text(run);
  for (const char* name : {"C10.GBK", "C11.GBK", "C12.GBK", "C13.GBK"}) {
    send(run, key_down);
    ASSERT_TRUE(wait_for_text(run, name)) << name << "\n" << screen_text(run);
    EXPECT_EQ(console_colour(cell(run, find_text(run, name).row, find_text(run, name).col).bg), 15) << name;
  }
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("C13");
}

// UTF-8 names and typed text are drawn as themselves; a double-width
// character takes two cells, and the input box edits it whole.
TEST_F(InteractiveTerminalRun, WideCharactersInTheListAndInTheInputBox) {
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // two characters, two columns each
  put(chinese + ".GBK", course);
  put("exam.gbk", course);
  PtyProgram run;
  start(run);
  reach_list(run);
  const Position name = find_text(run, chinese + ".GBK");
  ASSERT_NE(name.row, 0) << screen_text(run);
  EXPECT_EQ(find_text(run, "EXAM.GBK").row, name.row - 1);
  EXPECT_EQ(cell(run, name.row, name.col).text, "\xE4\xB8\xAD");
  EXPECT_EQ(cell(run, name.row, name.col + 1).text, "");
  EXPECT_EQ(cell(run, name.row, name.col + 2).text, "\xE6\x96\x87");
  EXPECT_EQ(cell(run, name.row, name.col + 4).text, ".");
  // Its right edge stays where every other name's does.
  EXPECT_EQ(row_text(run, name.row).size() - chinese.size(), row_text(run, name.row - 1).size() - 4);
  send(run, key_escape);

  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  send(run, chinese + "x");
  ASSERT_TRUE(wait_for_text(run, chinese + "x")) << screen_text(run);
  const Position field = find_text(run, chinese + "x");
  expect_cursor(run, field.row, field.col + 5);
  send(run, "\x1b[D");  // Left: over x
  expect_cursor(run, field.row, field.col + 4);
  send(run, "\x1b[D");  // Left: over a whole wide character
  expect_cursor(run, field.row, field.col + 2);
  send(run, "\x1b[3~");  // Delete: the whole second character
  ASSERT_TRUE(wait_until(run, [&] { return cell(run, field.row, field.col + 2).text == "x"; })) << screen_text(run);
  send(run, "\x7f");  // Backspace: the whole first character
  ASSERT_TRUE(wait_until(run, [&] { return cell(run, field.row, field.col).text == "x"; })) << screen_text(run);
  expect_cursor(run, field.row, field.col);
  send(run, "\x1b[3~" + chinese + ".gbk" + key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted(chinese);
}

// Names wider than the list, which differ only near their end, and a folder
// wider than the box's title, on the 80 by 30 screen as a small and a wide
// terminal show it.
struct LongNameTerminal {
  const char* name;
  int rows;
  int cols;
  friend void PrintTo(const LongNameTerminal& size, std::ostream* out) { *out << size.name; }
};

class LongNames : public InteractiveTerminalRun, public testing::WithParamInterface<LongNameTerminal> {};

// What a box's row holds between its frame's two sides, without the blanks
// around it.
std::string inside_frame(const PtyProgram& run, int row) {
  const std::string text = row_text(run, row);
  const std::size_t left = text.find('|');
  const std::size_t right = text.rfind('|');
  if (left == std::string::npos || right <= left) return {};
  const std::string inside = text.substr(left + 1, right - left - 1);
  const std::size_t first = inside.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return inside.substr(first, inside.find_last_not_of(' ') + 1 - first);
}

TEST_P(LongNames, ShowTheirBeginningAndEndAndTheFolderItsLastPart) {
  const LongNameTerminal& size = GetParam();
  const std::string stem = "SPRING_2024_STATISTICS_MIDTERM_RETAKE_EXAMINATION_FOR_THE_SECOND_YEAR_STUDENTS_GROUP_";
  const fs::path deep = fs::path("the_office_of_examinations_and_assessment_records") / "exams" / "2024" / "spring";
  put(deep / (stem + "A.GBK"), course);
  put(deep / (stem + "B.GBK"), course);
  ASSERT_GT(stem.size() + 5, 75u) << "wider than the widest list";
  PtyProgram run;
  start(run, size.rows, size.cols);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  send(run, deep.string() + key_enter);
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);

  const std::string dots = "\xE2\x80\xA6";
  const Position a = find_text(run, "GROUP_A.GBK");
  const Position b = find_text(run, "GROUP_B.GBK");
  ASSERT_NE(a.row, 0) << screen_text(run);
  ASSERT_EQ(b.row, a.row + 1) << screen_text(run);
  const std::string shown_a = inside_frame(run, a.row);
  const std::string shown_b = inside_frame(run, b.row);
  EXPECT_NE(shown_a, shown_b);
  for (const auto& [shown, group] : {std::pair{shown_a, "GROUP_A.GBK"}, std::pair{shown_b, "GROUP_B.GBK"}}) {
    EXPECT_TRUE(shown.starts_with("SPRING_2024_STATISTICS_")) << shown;
    EXPECT_TRUE(shown.ends_with(group)) << shown;
    EXPECT_NE(shown.find(dots), std::string::npos) << shown;
  }
  // The title is the folder's end, from a separator on.
  const Position title = find_text(run, dots + "/");
  ASSERT_NE(title.row, 0) << screen_text(run);
  EXPECT_EQ(title.row, find_text(run, list_hint).row - 1) << screen_text(run);
  EXPECT_TRUE(inside_frame(run, title.row).ends_with("/exams/2024/spring")) << screen_text(run);
  EXPECT_GT((folder / deep).string().size(), 76u) << "wider than the title";

  send(run, key_down + key_down + key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted(deep / (stem + "B"));
  EXPECT_FALSE(fs::exists(folder / deep / (stem + "A.dat")));
}

INSTANTIATE_TEST_SUITE_P(InteractiveTerminalRun, LongNames,
                         testing::Values(LongNameTerminal{"80_by_24", 24, 80}, LongNameTerminal{"120_by_30", 30, 120}),
                         [](const testing::TestParamInfo<LongNameTerminal>& info) {
                           return std::string(info.param.name);
                         });

// Text longer than the field: Left moves the cursor and leaves the text
// where it is, and a click moves the cursor, never the text.
TEST_F(InteractiveTerminalRun, LongInputScrollsOnlyWhenTheCursorWouldLeaveTheField) {
  put("exam.gbk", course);
  PtyProgram run;
  start(run);
  ASSERT_TRUE(wait_for_box(run, directory_question)) << screen_text(run);
  const std::string typed = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX";  // 60, all different
  send(run, typed);
  ASSERT_TRUE(wait_for_input_wait(run));
  const Position end = find_text(run, typed.substr(60 - 20));
  ASSERT_NE(end.row, 0) << screen_text(run);
  const std::string field = row_text(run, end.row);
  const Position cursor_at_end = cursor(run);
  for (int i = 0; i < 5; ++i) send(run, "\x1b[D");
  expect_cursor(run, cursor_at_end.row, cursor_at_end.col - 5);
  EXPECT_EQ(row_text(run, end.row), field) << "Left moved the text";
  send(run, mouse_press(1, end.row, end.col + 2) + mouse_release(1, end.row, end.col + 2));
  expect_cursor(run, end.row, end.col + 2);
  EXPECT_EQ(row_text(run, end.row), field) << "the click moved the text";
  send(run, "_");  // lands where the click put the cursor
  ASSERT_TRUE(wait_until(run, [&] { return cell(run, end.row, end.col + 2).text == "_"; })) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, list_hint)) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, manual_question)) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_text(run, "no such file:")) << screen_text(run);
  send(run, "x");
  EXPECT_NE(wait_for_exit(run), -1);
}

}  // namespace
