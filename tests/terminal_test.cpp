// The real gbkconvert in a pseudo-terminal: what the operator sees, cell for
// cell and colour for colour, what ends a wait, and that the terminal is
// given back as it was found however the run ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/pty_harness.hpp"

namespace {

using namespace pty_test;
using namespace std::chrono_literals;

constexpr int light_grey = 7;
constexpr int light_blue = 9;
constexpr int light_magenta = 13;

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
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "gbk-terminal-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void write_course(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / (name + ".GBK"), std::ios::binary) << content;
  }

  // Starts gbkconvert in the scratch folder on a terminal of the given size.
  void start(PtyProgram& run, std::vector<std::string> arguments, int rows = 30, int cols = 80,
             std::vector<std::string> environment = {}) {
    PtyOptions options;
    options.argv = {GBKCONVERT_PATH};
    for (std::string& argument : arguments) options.argv.push_back(std::move(argument));
    options.working_directory = folder_.string();
    options.rows = rows;
    options.cols = cols;
    options.environment = std::move(environment);
    ASSERT_TRUE(start_program(run, options));
  }

  std::filesystem::path folder_;
};

// Terminal modes that matter to an operator's shell after the run.
void expect_modes_as_found(const PtyProgram& run) {
  const termios now = current_modes(run);
  EXPECT_EQ(now.c_lflag, run.modes_at_start.c_lflag) << "local modes (echo, line editing, signals)";
  EXPECT_EQ(now.c_iflag, run.modes_at_start.c_iflag) << "input modes";
  EXPECT_EQ(now.c_oflag, run.modes_at_start.c_oflag) << "output modes";
  EXPECT_EQ(now.c_cc[VMIN], run.modes_at_start.c_cc[VMIN]);
  EXPECT_EQ(now.c_cc[VTIME], run.modes_at_start.c_cc[VTIME]);
  EXPECT_TRUE((now.c_lflag & ECHO) != 0 && (now.c_lflag & ICANON) != 0);
  EXPECT_TRUE(run.cursor_visible);
  EXPECT_EQ(run.mouse_mode, 0) << "mouse reports still on";
}

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

// The cursor goes there once the output in flight has landed.
void expect_cursor(PtyProgram& run, int row, int col) {
  wait_until(run, [&] { return cursor(run).row == row && cursor(run).col == col; }, 10000ms);
  const Position at = cursor(run);
  EXPECT_EQ(at.row, row) << screen_text(run);
  EXPECT_EQ(at.col, col);
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
  expect_row(run, 2, " This program creates .DAT, .TXT,", light_blue, light_grey);
  expect_row(run, 3, " and .ANS files from .GBK files.", light_blue, light_grey);
  expect_row(run, 4, "", light_blue, light_grey);
  expect_row(run, 5, "  If your .GBK files are not on the same path (folder)", light_blue, light_grey);
  expect_row(run, 6, "  as the program files then specify where they are:", light_blue, light_grey);
  expect_row(run, 7, "", light_blue, light_grey);
  expect_row(run, 8, "       example: c:\\mydirectory\\myfiles\\", light_blue, light_grey);
  expect_row(run, 9, "", light_blue, light_grey);
  expect_row(run, 10, " The change will be made only if the path exists.", light_blue, light_grey);
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
  expect_row(run, 6, "", light_magenta, light_grey);
  expect_row(run, 7, "   filename= WARN.gbk", light_magenta, light_grey);
  expect_row(run, 8, "", light_magenta, light_grey);
  expect_row(run, 9, " This may be a multiple version file.", light_magenta, light_grey);
  expect_row(run, 10, " Student number 1111111 is present", light_magenta, light_grey);
  expect_row(run, 11, "   Statistical detection results are meaningless.", light_magenta, light_grey);
  expect_row(run, 12, "", light_magenta, light_grey);
  expect_row(run, 13, version_prompt, light_magenta, light_grey);
  expect_row(run, 14, "", light_magenta, light_grey);
  expect_cursor(run, 15, 1);

  send(run, "y");
  ASSERT_TRUE(wait_for_row(run, 17, student_prompt)) << screen_text(run);
  expect_row(run, 15, "   filename= WARN.gbk", light_magenta, light_grey);
  expect_row(run, 16, "Discrepancy in the number of students", light_magenta, light_grey);
  expect_row(run, 17, student_prompt, light_magenta, light_grey);
  expect_cursor(run, 18, 1);

  send(run, "z");
  EXPECT_EQ(wait_for_exit(run), 0);
  expect_modes_as_found(run);
  // What the run printed stays; the shell's prompt comes on the next row,
  // and nothing of the light grey background is left below it.
  EXPECT_EQ(row_text(run, 16), "Discrepancy in the number of students");
  expect_cursor(run, 18, 1);
  for (int row = 18; row <= 30; ++row) EXPECT_EQ(cell(run, row, 1).bg, -1) << "row " << row;
  EXPECT_TRUE(std::filesystem::exists(folder_ / "WARN.ans"));
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
  write_course("MANY",
               "FH,,,,,,,,1,3,\r\nSD,1111111,,,,,,,a,\r\nSD,2222222,,,,,,,b,\r\nSD,3333333,,,,,,,c,\r\n");
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
  EXPECT_EQ(row_text(run, 22), version_prompt);
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
  start(run, {"a\tb\xC3\xA9\xE9\a\x1A" "c"});
  ASSERT_TRUE(wait_for_text(run, "c.gbk")) << screen_text(run);
  const Position at = find_text(run, " There is no file called ");
  const char* expected[] = {"a", "\u25CB", "b", "\xC3\xA9", "\u0398", "\u2022", "\u2192", "c", ".", "g", "b", "k"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(cell(run, at.row, at.col + 25 + i).text, expected[i]) << "cell " << i;
  }
  expect_cursor(run, at.row + 1, 1);
  send(run, "q");
  EXPECT_EQ(wait_for_exit(run), 0);
}

TEST_F(TerminalRun, ADumbTerminalGetsThePlainForm) {
  write_course("WARN", three_warnings);
  PtyProgram run;
  start(run, {"WARN"}, 30, 80, {"TERM=dumb"});
  ASSERT_TRUE(wait_for_text(run, "Discrepancy in number of questions")) << screen_text(run);
  send(run, "\n\n\n");
  EXPECT_EQ(wait_for_exit(run), 0);
  EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << "escape sequences in the plain form";
  EXPECT_NE(run.output.find("Discrepancy in the number of students"), std::string::npos);
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
