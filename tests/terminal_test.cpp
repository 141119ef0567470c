// The real gbkconvert in a pseudo-terminal: what the operator sees, cell for
// cell and colour for colour, what ends a wait, and that the terminal is
// given back as it was found however the run ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/colour_contrast.hpp"
#include "tests/pty_checks.hpp"
#include "tests/pty_harness.hpp"
#include "tests/support/not_course_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

using namespace pty_test;
using namespace std::chrono_literals;

constexpr int black = 0;
constexpr int light_grey = 7;
constexpr int light_blue = 9;
constexpr int light_magenta = 13;
constexpr int bright_white = 15;

// Course file whose run raises all three warnings: its first student has
// three answers where the header said four, its second has a version
// student number, and there are two students where the header said three.
constexpr const char* three_warnings =
    "SH3,,,,,,,,A,B,C,D,\r\n"
    "FH,,,,,,,,4,3,\r\n"
    "SD,1001,G1,,,,,,a,b,c,\r\n"
    "SD,1111111,G1,,,,,,a,b,d,\r\n";

const char* const question_prompt = "  Any key to continue";
const char* const version_prompt = "      Any key to continue.";
const char* const student_prompt = " Any key to continue";

// Whether the program is stopped, as the system reports its state.
bool stopped(const PtyProgram& run) {
  std::ifstream file("/proc/" + std::to_string(run.pid) + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t name_end = stat.rfind(')');  // the state follows the program's name
  return name_end != std::string::npos && name_end + 2 < stat.size() && stat[name_end + 2] == 'T';
}

class TerminalRun : public testing::Test {
 protected:
  void write_course(const std::string& name, const std::string& content) { folder_.put(name + ".GBK", content); }

  // gbkconvert in the scratch folder on a terminal of the given size.
  PtyOptions options_for(std::vector<std::string> arguments, int rows = 30, int cols = 80,
                         std::vector<std::string> environment = {}) {
    PtyOptions options;
    options.argv = {GBKCONVERT_PATH};
    for (std::string& argument : arguments) options.argv.push_back(std::move(argument));
    options.working_directory = folder_.path.string();
    options.rows = rows;
    options.cols = cols;
    options.environment = std::move(environment);
    return options;
  }

  void start(PtyProgram& run, std::vector<std::string> arguments, int rows = 30, int cols = 80,
             std::vector<std::string> environment = {}) {
    ASSERT_TRUE(start_program(run, options_for(std::move(arguments), rows, cols, std::move(environment))));
  }

  tests::ScratchFolder folder_;
};

void expect_raw_modes(const PtyProgram& run) {
  const termios now = current_modes(run);
  EXPECT_EQ(now.c_lflag & (ECHO | ICANON | ISIG), 0u) << "echo, line editing or Control-C signals still on";
}

// Text and colours of one row; every cell of the row is in fg on bg.
void expect_row(const PtyProgram& run, int row, const std::string& text, int fg, int bg) {
  EXPECT_EQ(row_text(run, row), text) << "row " << row << "\n" << screen_text(run);
  for (int col = 1; col <= 80; ++col) {
    const CellView c = cell(run, row, col);
    if (col <= static_cast<int>(text.size()) && text[static_cast<std::size_t>(col - 1)] != ' ') {
      ASSERT_EQ(console_colour(c.fg), fg) << "row " << row << " col " << col;
    }
    ASSERT_EQ(console_colour(c.bg), bg) << "row " << row << " col " << col;
  }
}

// A golden screen: the rows from first_row on, one text line each, every
// row in fg on bg. The block starts with a line end, so that each row stands
// at the start of its own source line; a line end at its close is followed
// by one more, empty, row.
void expect_rows(const PtyProgram& run, int first_row, std::string_view golden, int fg, int bg) {
  golden.remove_prefix(1);
  for (int row = first_row;; ++row) {
    const std::size_t end = golden.find('\n');
    expect_row(run, row, std::string(golden.substr(0, end)), fg, bg);
    if (end == std::string_view::npos) return;
    golden.remove_prefix(end + 1);
  }
}

// Text on a row, and in which row, within a timeout.
bool wait_for_row(PtyProgram& run, int row, const std::string& text) {
  return wait_until(run, [&] { return row_text(run, row) == text; });
}

TEST_F(TerminalRun, StartUpScreenInLightBlueOnLightGrey) {
  PtyProgram run;
  start(run, {});
  ASSERT_TRUE(wait_for_text(run, " The change will be made only if the path exists.")) << screen_text(run);
  expect_row(run, 1, "", light_magenta, light_grey);
  expect_rows(run, 2, R"(
 This program creates .DAT, .TXT,
 and .ANS files from .GBK files.

  If your .GBK files are not on the same path (folder)
  as the program files then specify where they are:

       example: c:\mydirectory\myfiles\

 The change will be made only if the path exists.)",
              light_blue, light_grey);
  // Row 11 holds the cursor; the course file selection draws its boxes
  // further down.
  expect_row(run, 11, "", light_magenta, light_grey);
  EXPECT_EQ(run.title, "Converter from GBK files");
  if (!run.exited) send_signal(run, SIGTERM);  // the course file selection may be waiting
  EXPECT_NE(wait_for_exit(run), -1);
  expect_modes_as_found(run);
  // No alternate screen: the start-up screen stays readable after the run.
  EXPECT_EQ(row_text(run, 2), " This program creates .DAT, .TXT,");
}

TEST_F(TerminalRun, WarningsInTheirColoursEachWaitingForTheOperator) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  expect_row(run, 1, "", light_magenta, light_grey);
  expect_row(run, 2, " number of questions = 4  number of students =  3", light_magenta, light_grey);
  expect_row(run, 3, "   filename= WARN.gbk", light_magenta, light_grey);
  expect_row(run, 4, " Discrepancy in number of questions", light_magenta, light_grey);
  expect_row(run, 5, question_prompt, light_magenta, light_grey);
  for (int row = 6; row <= 30; ++row) expect_row(run, row, "", light_magenta, light_grey);
  expect_cursor(run, 6, 1);
  EXPECT_TRUE(run.cursor_visible);
  EXPECT_EQ(run.title, "Converter from GBK files");
  EXPECT_EQ(run.mouse_mode, 1) << "button presses are reported";
  expect_raw_modes(run);
  EXPECT_TRUE(wait_for_input_wait(run)) << "the first warning waits for a key";

  send(run, "x");
  ASSERT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
  expect_rows(run, 6, R"(

   filename= WARN.gbk

 This may be a multiple version file.
 Student number 1111111 is present
   Statistical detection results are meaningless.

      Any key to continue.
)",
              light_magenta, light_grey);
  expect_cursor(run, 15, 1);

  send(run, "y");
  ASSERT_TRUE(wait_for_row(run, 17, student_prompt)) << screen_text(run);
  expect_rows(run, 15, R"(
   filename= WARN.gbk
Discrepancy in the number of students
 Any key to continue)",
              light_magenta, light_grey);
  expect_cursor(run, 18, 1);

  send(run, "z");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  // What the run printed stays, ending with its report without a wait; the
  // shell's prompt comes on the next row, and nothing of the light grey
  // background is left below it. The report must be read: its colour has a
  // contrast of at least 4.5:1 on the light grey in the usual palettes (the
  // run's own bright white has 1.3:1 to 2:1).
  EXPECT_EQ(row_text(run, 16), "Discrepancy in the number of students");
  expect_rows(run, 18, R"(
 WARN.GBK: 2 student records, 4 questions -> WARN.dat, WARN.txt, WARN.ans
 line 3, student 1001: 3 answers, 4 expected
 line 4, student 1111111: multiple-version student number
 header: 3 students, found 2)",
              black, light_grey);
  for (int row = 18; row <= 21; ++row) {
    const CellView c = cell(run, row, 2);
    EXPECT_GE(colour_contrast::lowest_contrast(console_colour(c.fg), console_colour(c.bg)), colour_contrast::readable)
        << "row " << row;
  }
  EXPECT_LT(colour_contrast::lowest_contrast(bright_white, light_grey), colour_contrast::readable)
      << "the rule tells the run's bright white from a readable colour";
  expect_cursor(run, 22, 1);
  for (int row = 22; row <= 30; ++row) EXPECT_EQ(cell(run, row, 1).bg, -1) << "row " << row;
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
}

// The key check's lines end the report, in the report's colours: a class
// of twelve whose question 2 is keyed B where eleven chose C.
TEST_F(TerminalRun, TheKeyCheckEndsTheReport) {
  std::string course = "SH3,,,,,,,,A,B,\r\nFH,,,,,,,,2,12,\r\n";
  for (int s = 0; s < 12; ++s)
    course += "SD," + std::to_string(7000 + s) + ",G1,,,,,,a," + (s == 0 ? "b" : "c") + ",\r\n";
  write_course("KEY", course);
  PtyProgram run;
  start(run, {"KEY"});
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  const std::string report = " KEY.GBK: 12 student records, 2 questions -> KEY.dat, KEY.txt, KEY.ans";
  int row = 1;
  while (row < 30 && row_text(run, row) != report) ++row;
  ASSERT_LT(row, 30) << screen_text(run);
  const int report_fg = console_colour(cell(run, row, 2).fg);
  const int report_bg = console_colour(cell(run, row, 2).bg);
  expect_row(run, row + 1, " question 2: key B chosen by 1 of 12; C chosen by 11", report_fg, report_bg);
  EXPECT_EQ(row_text(run, row + 2), "");
}

// While a warning waits, the outputs hold exactly what was written before
// it, however the lines were converted: all lines of the students before a
// record with another answer count, and also field 2 and "," of a record
// with a version student number. The students fill many read blocks and
// many output blocks.
TEST_F(TerminalRun, AtEachWaitTheOutputsHoldAllThatWasWrittenBeforeIt) {
  const auto students = [](int first, int count, int answers) {
    std::string lines;
    for (int s = first; s < first + count; ++s) {
      lines += "SD," + std::to_string(5000000 + s) + ",G1,,,,,";
      for (int q = 0; q < answers; ++q) (lines += ',') += "abcdeABCDE"[(s + q) % 10];
      lines += ",\r\n";
    }
    return lines;
  };
  write_course("MANY", "SH3,,,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,\r\nFH,,,,,,,,20,3\r\n" +
                           students(0, 3000, 20) + students(3000, 1001, 19) +
                           "SD,1111111,G1,,,,,,a,b,c,d,e,a,b,c,d,e,a,b,c,d,e,a,b,c,d,\r\n" + students(4001, 1000, 19));
  const auto file = [this](const char* name) { return folder_.get(name); };
  PtyProgram run;
  start(run, {"MANY"});
  std::vector<std::pair<std::string, std::string>> at_waits;  // .dat and .txt at each wait
  for (int wait = 0; wait < 3; ++wait) {
    ASSERT_TRUE(wait_for_input_wait(run)) << screen_text(run);
    at_waits.emplace_back(file("MANY.dat"), file("MANY.txt"));
    send(run, "x");
  }
  EXPECT_EQ(wait_for_exit(run), 0);
  const std::string dat = file("MANY.dat");
  const std::string txt = file("MANY.txt");
  // The end of the first n lines of a file.
  const auto lines = [](const std::string& text, int n) {
    std::size_t end = 0;
    for (int line = 0; line < n; ++line) end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
  };
  EXPECT_EQ(at_waits[0].first, lines(dat, 3000)) << "the question count wait";
  EXPECT_EQ(at_waits[0].second, lines(txt, 3000));
  EXPECT_EQ(at_waits[1].first, lines(dat, 4001) + "1111111,") << "the version wait";
  EXPECT_EQ(at_waits[1].second, lines(txt, 4001));
  EXPECT_EQ(at_waits[2].first, dat) << "the student count wait";
  EXPECT_EQ(at_waits[2].second, txt);
  EXPECT_EQ(lines(txt, 5002), txt);
}

// What ends each of the three waits, in turn.
struct ReleaseCase {
  const char* name;
  std::string first;
  std::string second;
  std::string third;
};

class WaitRelease : public TerminalRun, public testing::WithParamInterface<ReleaseCase> {};

TEST_P(WaitRelease, EachWaitEndsOnAKeyOrALeftOrRightClickOnly) {
  const ReleaseCase& c = GetParam();
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  // None of these ends a wait: movement, releases, the middle button, the
  // wheel, and a Shift press, for which a terminal sends nothing at all.
  const std::string not_keys = mouse_move(3, 3) + mouse_release(1, 3, 3) + mouse_release(2, 3, 3) +
                               mouse_press(3, 3, 3) + mouse_release(3, 3, 3) + "\x1b[<64;3;3M" + "\x1b[<65;3;3M";

  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  send(run, not_keys);
  ASSERT_TRUE(wait_for_input_wait(run)) << "the first wait ended too early";
  EXPECT_EQ(find_text(run, "This may be").row, 0) << "the first wait ended too early";
  send(run, c.first);

  ASSERT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
  send(run, not_keys);
  ASSERT_TRUE(wait_for_input_wait(run)) << "the second wait ended too early";
  EXPECT_EQ(find_text(run, "Discrepancy in the number").row, 0) << "the second wait ended too early";
  send(run, c.second);

  ASSERT_TRUE(wait_for_row(run, 17, student_prompt)) << screen_text(run);
  send(run, not_keys);
  ASSERT_TRUE(wait_for_input_wait(run)) << "the third wait ended too early";
  send(run, c.third);
  // Control-C among them is a key: the run still ends normally.
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
}

INSTANTIATE_TEST_SUITE_P(
    TerminalRun, WaitRelease,
    testing::Values(ReleaseCase{"key_left_right", "k", mouse_press(1, 4, 10), mouse_press(2, 20, 70)},
                    ReleaseCase{"left_right_control_c", mouse_press(1, 1, 1), mouse_press(2, 30, 80), "\x03"},
                    ReleaseCase{"control_c_enter_escape", "\x03", "\r", "\x1b"},
                    ReleaseCase{"arrow_f1_old_style_click", "\x1b[A", "\x1bOP", "\x1b[M !!"}),
    [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalRun, KeysPressedBeforeAWaitEndItAtOnce) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  // One key for the wait on screen, two waiting in the queue for the next.
  send(run, "abc");
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  EXPECT_EQ(row_text(run, 16), "Discrepancy in the number of students");
}

TEST_F(TerminalRun, ALoneEscEndsAWait) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  send(run, "\x1b");
  EXPECT_TRUE(wait_for_row(run, 13, version_prompt)) << "Esc alone must count after a short pause";
}

class FatalSignal : public TerminalRun, public testing::WithParamInterface<int> {};

TEST_P(FatalSignal, WhileAWarningWaitsGivesTheTerminalBack) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  expect_raw_modes(run);
  send_signal(run, GetParam());
  EXPECT_EQ(wait_for_exit(run), 128 + GetParam()) << "the signal is raised again after the terminal is restored";
  expect_modes_as_found(run);
  EXPECT_EQ(row_text(run, 4), " Discrepancy in number of questions");
  EXPECT_EQ(cell(run, 7, 1).bg, -1) << "the area below the output is handed back in default colours";
}

INSTANTIATE_TEST_SUITE_P(TerminalRun, FatalSignal, testing::Values(SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT),
                         [](const testing::TestParamInfo<int>& info) {
                           switch (info.param) {
                             case SIGTERM: return std::string("sigterm");
                             case SIGINT: return std::string("sigint");
                             case SIGHUP: return std::string("sighup");
                             case SIGSEGV: return std::string("sigsegv");  // as in a crash
                             case SIGABRT: return std::string("sigabrt");
                             default: return std::string("sigquit");
                           }
                         });

TEST_F(TerminalRun, AStopAndContinueRestoresTheModesAndRedraws) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  send_signal(run, SIGSTOP);
  ASSERT_TRUE(wait_until(run, [&] { return stopped(run); })) << "the program did not stop";
  // Meanwhile a shell takes the terminal back and writes over the screen.
  ASSERT_EQ(::tcsetattr(run.master, TCSANOW, &run.modes_at_start), 0);
  draw_on_screen(run, "\x1b[0m\x1b[2J\x1b[Hjobs");
  ASSERT_EQ(row_text(run, 5), "");
  send_signal(run, SIGCONT);
  ASSERT_TRUE(wait_until(run, [&] { return (current_modes(run).c_lflag & ICANON) == 0; }))
      << "raw modes not taken back after the resume";
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  send(run, "x");
  EXPECT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
}

TEST_F(TerminalRun, ASuspendGivesTheTerminalBackAndTheResumeRedraws) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  const std::size_t before = run.output.size();
  send_signal(run, SIGTSTP);
  // The program's group has no job-control shell here, so the stop itself
  // is discarded by the system: the program hands the terminal back, stops
  // for no time, takes it back and redraws.
  ASSERT_TRUE(wait_until(run, [&] { return run.output.find("\x1b[2J", before) != std::string::npos; }))
      << "no redraw after the resume";
  const std::string after = run.output.substr(before);
  EXPECT_NE(after.find("\x1b[?1000l"), std::string::npos) << "mouse reports not handed back before the stop";
  EXPECT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  expect_raw_modes(run);
  expect_cursor(run, 6, 1);
  send(run, mouse_press(1, 2, 2));
  EXPECT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
}

TEST_F(TerminalRun, OnAnEightyBy24TerminalTheCursorAndPromptStayOnView) {
  // Three version records: 29 rows of output, more than the terminal has.
  write_course("MANY", "FH,,,,,,,,1,3,\r\nSD,1111111,,,,,,,a,\r\nSD,2222222,,,,,,,b,\r\nSD,3333333,,,,,,,c,\r\n");
  PtyProgram run;
  start(run, {"MANY"}, 24, 80);
  ASSERT_TRUE(wait_for_text(run, version_prompt)) << screen_text(run);
  // Model rows 1 to 11 fit: shown from the top.
  EXPECT_EQ(row_text(run, 2), " number of questions = 1  number of students =  3");
  EXPECT_EQ(row_text(run, 10), version_prompt);
  expect_cursor(run, 12, 1);
  send(run, "1");
  ASSERT_TRUE(wait_for_text(run, " Student number 2222222 is present")) << screen_text(run);
  expect_cursor(run, 21, 1);
  send(run, "2");
  // Model row 30 holds the cursor: the terminal shows model rows 7 to 30.
  // (The cursor passes the last row several times while the warning lands.)
  ASSERT_TRUE(wait_until(run, [&] {
    return row_text(run, 19) == " Student number 3333333 is present" && row_text(run, 22) == version_prompt;
  })) << screen_text(run);
  expect_cursor(run, 24, 1);
  EXPECT_EQ(row_text(run, 20), "   Statistical detection results are meaningless.");
  EXPECT_EQ(find_text(run, "number of questions").row, 0) << "the top of the screen should have gone out of view";
  EXPECT_EQ(console_colour(cell(run, 24, 1).bg), light_grey);
  send(run, "3");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  // The report follows without a wait and scrolls the view on.
  EXPECT_EQ(row_text(run, 17), version_prompt);
  EXPECT_EQ(row_text(run, 22), " line 4, student 3333333: multiple-version student number");
  EXPECT_EQ(row_text(run, 23), " student records without an answer key: 3 (line 2 first)");
  expect_cursor(run, 24, 1);
}

TEST_F(TerminalRun, AResizeRedrawsTheVisiblePart) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"});
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  resize(run, 4, 40);
  // Four rows that end with the cursor's: model rows 3 to 6, 40 columns.
  ASSERT_TRUE(wait_for_row(run, 3, question_prompt)) << screen_text(run);
  EXPECT_EQ(row_text(run, 1), "   filename= WARN.gbk");
  EXPECT_EQ(row_text(run, 2), " Discrepancy in number of questions");
  expect_cursor(run, 4, 1);
  EXPECT_EQ(console_colour(cell(run, 4, 40).bg), light_grey);
  resize(run, 30, 80);
  ASSERT_TRUE(wait_for_row(run, 2, " number of questions = 4  number of students =  3")) << screen_text(run);
  expect_row(run, 5, question_prompt, light_magenta, light_grey);
  expect_cursor(run, 6, 1);
  send(run, "x");
  EXPECT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
}

TEST_F(TerminalRun, ControlBytesAndUtf8InANameTakeOneCellEach) {
  PtyProgram run;
  // Tab, e-acute in UTF-8, a byte that is no UTF-8, bell and 0x1A.
  start(run, {"a\tb\xC3\xA9\xE9\a\x1A"
              "c"});
  ASSERT_TRUE(wait_for_text(run, "c.gbk")) << screen_text(run);
  const Position at = find_text(run, " There is no file called ");
  const char* expected[] = {"a", "\u25CB", "b", "\xC3\xA9", "\u0398", "\u2022", "\u2192", "c", ".", "g", "b", "k"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(cell(run, at.row, at.col + 25 + i).text, expected[i]) << "cell " << i;
  }
  expect_cursor(run, at.row + 1, 1);
  send(run, "q");
  EXPECT_EQ(wait_for_exit(run), 1);  // no such course file
}

// A key wait of the plain form on a terminal: one key, the moment it is
// pressed, neither echoed nor waiting for a line end.
void expect_one_key_wait(PtyProgram& run) {
  ASSERT_TRUE(wait_for_input_wait(run)) << "no key wait\n" << screen_text(run);
  const termios now = current_modes(run);
  EXPECT_EQ(now.c_lflag & (ICANON | ECHO | ISIG), 0u) << "line mode, echo or Control-C signals during a key wait";
}

// A course name that could be either of two files whose names differ only
// in case names both, waits for a key like the other messages that end a
// run early, and ends with exit code 1, no file opened, made or emptied.
TEST_F(TerminalRun, ACourseNameThatCouldBeEitherOfTwoFilesWaitsAndConvertsNothing) {
  write_course("EXAM", three_warnings);
  folder_.put("exam.gbk", three_warnings);
  folder_.put("exam.dat", "kept");
  PtyProgram run;
  start(run, {"Exam"});
  ASSERT_TRUE(wait_for_text(run, " Exam.gbk could be EXAM.GBK or exam.gbk: give the name exactly")) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run)) << "no key wait\n" << screen_text(run);
  EXPECT_FALSE(run.exited);
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 1);
  expect_modes_as_found(run);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path), std::filesystem::directory_iterator()), 3);
  EXPECT_EQ(folder_.get("exam.dat"), "kept");
}

// A file that is no course file, typed in a terminal: the two lines in the
// run's colours, a wait for a key, exit code 1, the terminal given back and
// the outputs of an earlier run as they were; with standard output
// redirected the lines are kept there too.
TEST_F(TerminalRun, AFileThatIsNoCourseFileIsRefusedAtAKeyWait) {
  for (const tests::NotACourseFile& file : tests::not_course_files()) {
    if (file.cause.empty()) continue;
    tests::ScratchFolder folder;
    folder.put("EXAM.GBK", file.bytes);
    folder.put("EXAM.dat", "1001,G1,,.24.\r\n");
    PtyProgram run;
    PtyOptions options = options_for({"EXAM"});
    options.working_directory = folder.path.string();
    options.output_file = (folder.path / "out.txt").string();
    ASSERT_TRUE(start_program(run, options));
    ASSERT_TRUE(wait_for_text(run, file.cause)) << file.what << "\n" << screen_text(run);
    expect_rows(run, 2, "\n EXAM.GBK is not a course file: it has no SH3, FH or SD record\n" + file.cause,
                light_magenta, light_grey);
    ASSERT_TRUE(wait_for_input_wait(run)) << "no key wait\n" << screen_text(run);
    EXPECT_FALSE(run.exited);
    send(run, "x");
    EXPECT_EQ(wait_for_exit(run), 1) << file.what;
    expect_modes_as_found(run);
    EXPECT_EQ(folder.get("EXAM.dat"), "1001,G1,,.24.\r\n") << file.what;
    EXPECT_FALSE(folder.has("EXAM.txt")) << file.what;
    EXPECT_EQ(folder.get("out.txt"),
              " EXAM.GBK is not a course file: it has no SH3, FH or SD record\n" + file.cause + "\n");
  }
}

TEST_F(TerminalRun, ADumbTerminalGetsThePlainFormAndEachWaitTakesOneKey) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"}, 30, 80, {"TERM=dumb"});
  ASSERT_TRUE(wait_for_text(run, "Discrepancy in number of questions")) << screen_text(run);
  expect_one_key_wait(run);
  // Control-C is a key like any other, and no key is echoed.
  send(run, "\x03");
  ASSERT_TRUE(wait_for_text(run, "This may be a multiple version file.")) << screen_text(run);
  expect_one_key_wait(run);
  send(run, "@");
  ASSERT_TRUE(wait_for_text(run, "Discrepancy in the number of students")) << screen_text(run);
  expect_one_key_wait(run);
  send(run, "\x1b[A");  // an arrow key is one key too
  EXPECT_EQ(wait_for_exit(run), 0);
  EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << "escape sequences in the plain form";
  EXPECT_EQ(run.output.find('@'), std::string::npos) << "a key was echoed";
  EXPECT_EQ(run.output.find("^C"), std::string::npos) << "a key was echoed";
  expect_modes_as_found(run);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
}

TEST_F(TerminalRun, ASignalDuringAOneKeyWaitGivesTheModesBack) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"}, 30, 80, {"TERM=dumb"});
  expect_one_key_wait(run);
  send_signal(run, SIGTERM);
  EXPECT_EQ(wait_for_exit(run), 128 + SIGTERM);
  expect_modes_as_found(run);
}

// gbkconvert WARN > out.txt, typed in a terminal: the screen goes to
// standard error, keys come from standard input, and the file keeps the
// report as plain text, without a byte of the screen's.
TEST_F(TerminalRun, WithStandardOutputRedirectedTheTerminalFormIsOnStandardError) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  PtyOptions options = options_for({"WARN"});
  options.output_file = (folder_ / "out.txt").string();
  ASSERT_TRUE(start_program(run, options));
  ASSERT_TRUE(wait_for_row(run, 5, question_prompt)) << screen_text(run);
  expect_row(run, 2, " number of questions = 4  number of students =  3", light_magenta, light_grey);
  expect_row(run, 4, " Discrepancy in number of questions", light_magenta, light_grey);
  expect_cursor(run, 6, 1);
  EXPECT_EQ(run.title, "Converter from GBK files");
  expect_raw_modes(run);
  EXPECT_TRUE(wait_for_input_wait(run));
  send(run, "x");
  ASSERT_TRUE(wait_for_row(run, 13, version_prompt)) << screen_text(run);
  send(run, mouse_press(1, 3, 3));
  ASSERT_TRUE(wait_for_row(run, 17, student_prompt)) << screen_text(run);
  send(run, "z");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  EXPECT_EQ(folder_.get("out.txt"),
            " WARN.GBK: 2 student records, 4 questions -> WARN.dat, WARN.txt, WARN.ans\n"
            " line 3, student 1001: 3 answers, 4 expected\n"
            " line 4, student 1111111: multiple-version student number\n"
            " header: 3 students, found 2\n");
  EXPECT_NE(screen_text(run).find(" header: 3 students, found 2"), std::string::npos) << screen_text(run);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
}

// Both outputs redirected, keys from the terminal: the plain form into the
// file, and each wait takes one key, unechoed.
TEST_F(TerminalRun, WithBothOutputsRedirectedThePlainFormTakesSingleKeys) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  PtyOptions options = options_for({"WARN"});
  options.output_file = (folder_ / "out.txt").string();
  options.error_file = (folder_ / "err.txt").string();
  ASSERT_TRUE(start_program(run, options));
  for (const char* key : {"x", "\r", "\x03"}) {
    expect_one_key_wait(run);
    send(run, key);
  }
  EXPECT_EQ(wait_for_exit(run), 0);
  EXPECT_EQ(run.output, "") << "nothing reached the terminal, no echo either";
  expect_modes_as_found(run);
  const std::string out = folder_.get("out.txt");
  EXPECT_NE(out.find(" Discrepancy in number of questions\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Discrepancy in the number of students\n"), std::string::npos) << out;
  EXPECT_EQ(out.find('\x1b'), std::string::npos);
  EXPECT_EQ(folder_.get("err.txt"), "");
}

// The plain form writing to a terminal shows a name's control bytes as
// glyphs, so that a name cannot retitle the window or move the cursor; into
// a file the same bytes go unchanged.
TEST_F(TerminalRun, ControlBytesOfANameReachATerminalOnlyAsGlyphs) {
  const std::string name = "\x1b]2;PWNED\x07\x1b[2J\r.GBK";
  folder_.put(name, three_warnings);
  folder_.put("answers", "\n\n");
  for (bool into_file : {false, true}) {
    PtyProgram run;
    PtyOptions options = options_for({});
    options.input_file = (folder_ / "answers").string();  // printf '\n\n' | gbkconvert
    if (into_file) options.output_file = (folder_ / "out.txt").string();
    ASSERT_TRUE(start_program(run, options));
    EXPECT_NE(wait_for_exit(run), -1);
    if (into_file) {
      EXPECT_NE(folder_.get("out.txt").find("1 " + name + "\n"), std::string::npos) << "bytes changed";
      continue;
    }
    EXPECT_EQ(run.title, "") << "the name retitled the window";
    EXPECT_EQ(run.output.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.output.find('\a'), std::string::npos);
    EXPECT_NE(find_text(run, "1 \u2190]2;PWNED\u2022\u2190[2J\u266A.GBK").row, 0) << screen_text(run);
    EXPECT_NE(find_text(run, " This program creates .DAT, .TXT,").row, 0) << "the screen was cleared\n"
                                                                          << screen_text(run);
  }
}

// On a terminal much smaller than the screen, the line each wait follows is
// on view.
TEST_F(TerminalRun, OnAFortyByTenTerminalThePromptOfEachWaitIsOnView) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"}, 10, 40);
  ASSERT_TRUE(wait_for_text(run, question_prompt)) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run));
  expect_cursor(run, find_text(run, question_prompt).row + 1, 1);
  send(run, "x");
  ASSERT_TRUE(wait_for_text(run, version_prompt)) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run));
  EXPECT_EQ(row_text(run, 8), version_prompt) << screen_text(run);
  EXPECT_EQ(row_text(run, 7), "") << screen_text(run);
  EXPECT_EQ(row_text(run, 6), "   Statistical detection results are mea") << "cut at the terminal's edge";
  expect_cursor(run, 10, 1);
  send(run, "y");
  ASSERT_TRUE(wait_for_text(run, student_prompt)) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run));
  EXPECT_EQ(row_text(run, 8), "Discrepancy in the number of students") << screen_text(run);
  EXPECT_EQ(row_text(run, 9), student_prompt);
  expect_cursor(run, 10, 1);
  send(run, "z");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
}

// gbkconvert --all > out.txt, typed in a terminal: the files' warnings go
// by without a wait, and the summary stands alone on the screen, in black
// as the report, with the run's one wait below it; the file keeps each
// file's report and refusal, then the summary.
TEST_F(TerminalRun, AWholeFolderWaitsOnceAtItsSummary) {
  write_course("WARN", three_warnings);
  write_course("C01", "SH3,,,,,,,,A,\r\nFH,,,,,,,,1,1,\r\nSD,1,x,,,,,,a,\r\n");
  write_course("NOTES", tests::not_course_files().front().bytes);
  PtyProgram run;
  PtyOptions options = options_for({"--all"});
  options.output_file = (folder_ / "out.txt").string();
  ASSERT_TRUE(start_program(run, options));
  ASSERT_TRUE(wait_for_input_wait(run)) << screen_text(run);
  const std::string summary = R"(
 C01.GBK: converted, 1 student record, 1 question, no findings
 NOTES.GBK: refused (not a course file: UTF-16 text)
 WARN.GBK: converted, 2 student records, 4 questions, 3 findings
 3 course files: 2 converted (1 of them with findings), 1 refused, 0 failed
)";
  expect_rows(run, 1, summary, black, light_grey);
  expect_cursor(run, 5, 1);
  expect_raw_modes(run);
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 1) << "a file was refused";
  expect_modes_as_found(run);
  EXPECT_EQ(row_text(run, 4), " 3 course files: 2 converted (1 of them with findings), 1 refused, 0 failed")
      << "the summary stays on the screen";
  EXPECT_EQ(folder_.get("out.txt"),
            " C01.GBK: 1 student record, 1 question -> C01.dat, C01.txt, C01.ans\n"
            " NOTES.GBK is not a course file: it has no SH3, FH or SD record\n" +
                tests::utf16_cause +
                "\n"
                " WARN.GBK: 2 student records, 4 questions -> WARN.dat, WARN.txt, WARN.ans\n"
                " line 3, student 1001: 3 answers, 4 expected\n"
                " line 4, student 1111111: multiple-version student number\n"
                " header: 3 students, found 2\n" +
                summary.substr(1));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
}

// Forty course files on a terminal of 24 rows: the summary a screen at a
// time, each but the last ending in a key wait, the last in the run's one.
TEST_F(TerminalRun, ASummaryLongerThanTheTerminalComesAScreenAtATime) {
  std::string lines = "\n";
  for (int i = 10; i < 50; ++i) {
    write_course("C" + std::to_string(i), "SH3,,,,,,,,A,\r\nFH,,,,,,,,1,1,\r\nSD,1,x,,,,,,a,\r\n");
    lines += " C" + std::to_string(i) + ".GBK: converted, 1 student record, 1 question, no findings\n";
  }
  lines += " 40 course files: 40 converted (0 of them with findings), 0 refused, 0 failed";
  PtyProgram run;
  start(run, {"--all"}, 24, 80);
  ASSERT_TRUE(wait_for_input_wait(run)) << screen_text(run);
  // 22 lines and the prompt; the cursor on the last row.
  const std::size_t page_end = [&] {
    std::size_t at = 0;
    for (int line = 0; line < 22; ++line) at = lines.find('\n', at + 1);
    return at;
  }();
  expect_rows(run, 1, lines.substr(0, page_end) + "\n Any key to continue", black, light_grey);
  expect_cursor(run, 24, 1);
  send(run, "x");
  ASSERT_TRUE(wait_until(run, [&] {
    return row_text(run, 1) == " C32.GBK: converted, 1 student record, 1 question, no findings";
  })) << screen_text(run);
  ASSERT_TRUE(wait_for_input_wait(run)) << screen_text(run);
  expect_rows(run, 1, lines.substr(page_end), black, light_grey);
  send(run, "x");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
}

// --help and --version in a terminal: the text at once, and the terminal
// left alone: no screen set-up, no wait for a key, modes as they were.
TEST_F(TerminalRun, HelpAndVersionPrintAndEndWithoutAnyKey) {
  for (const char* option : {"--help", "--version"}) {
    PtyProgram run;
    start(run, {option});
    EXPECT_EQ(wait_for_exit(run), 0) << option << ": " << screen_text(run);
    EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << option << ": escape sequences";
    EXPECT_TRUE(run.output.starts_with(std::string(option) == "--help" ? "Usage: gbkconvert" : "gbkconvert "))
        << run.output;
    expect_modes_as_found(run);
  }
}

}  // namespace
