// gbkconvert.exe on a real Wine console: Wine started directly in a
// pseudo-terminal, its console host drawing the console into the terminal
// and turning typed keys into console input. Each run is set beside the
// POSIX build running in a terminal of the same size with the same keys:
// the screens (text, colours, cursor) must agree at every wait, and so must
// the files they write.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>

#include "tests/colour_contrast.hpp"
#include "tests/pty_harness.hpp"
#include "tests/support/not_course_files.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/windows/windows_test_support.hpp"
#include "tests/windows/wine_console.hpp"
#include "tests/windows/wine_runner.hpp"
#include "tests/worked_example.hpp"

namespace {

namespace fs = std::filesystem;
using namespace pty_test;
using namespace std::chrono_literals;
using wine_console::WineConsoleRun;
using namespace windows_tests;

constexpr int black = 0;
constexpr int light_grey = 7;
constexpr int light_blue = 9;
constexpr int light_magenta = 13;
constexpr int bright_white = 15;

// A first Wine start in a fresh prefix takes about ten seconds, more on a
// loaded machine.
constexpr auto wine_timeout = 90s;

// Its first student has three answers where the header said four, its
// second has a version student number, and there are two students where the
// header said three.
const std::string three_warnings =
    "SH3,,,,,,,,A,B,C,D,\r\n"
    "FH,,,,,,,,4,3,\r\n"
    "SD,1001,G1,,,,,,a,b,c,\r\n"
    "SD,1111111,G1,,,,,,a,b,d,\r\n";

const std::string directory_question = "Change default directory for .gbk course files?";
const std::string list_hint = "Select a .gbk file or exit";
const std::string manual_question = "Course: ..";

const std::string key_enter = "\r";
const std::string key_escape = "\x1b";
const std::string key_backspace = "\x7f";
const std::string key_up = "\x1b[A";
const std::string key_down = "\x1b[B";
const std::string key_home = "\x1b[H";
const std::string key_end = "\x1b[F";
const std::string key_page_down = "\x1b[6~";

// A cell's colours as console colour indices; the terminal's default
// colours stand for the console's own, light grey on black.
int foreground(const CellView& c) { return c.fg == -1 ? light_grey : console_colour(c.fg); }
int background(const CellView& c) { return c.bg == -1 ? 0 : console_colour(c.bg); }

// What the operator sees: every row's text (with the run's own folder names
// shown as the same stand-ins), then its colours as runs of
// "foreground/background x count" (a blank's foreground does not show), and
// the cursor.
using FolderNames = std::vector<std::pair<std::string, std::string>>;  // as shown, stand-in

// One cell of a row as the picture shows it.
struct PictureCell {
  std::string text;
  std::string colours;
};

// Where a folder's name stands in a row: whole, cut at the box's right edge,
// or, where the box shows a folder's end only, its end after an ellipsis
// (the Windows console's "...", a terminal's U+2026), which the two programs
// cut at different places. The blanks after it belong to it, since the two
// programs' names differ in length and so in what is left of the box's row.
// Bytes from..to of the row's text; from is npos when it is not there.
std::pair<std::size_t, std::size_t> find_folder(const std::string& text, const std::string& shown) {
  const auto with_blanks = [&](std::size_t from, std::size_t to) {
    while (to < text.size() && text[to] == ' ') ++to;
    return std::make_pair(from, to);
  };
  const std::size_t enough = std::min<std::size_t>(shown.size(), 12);
  const std::size_t at = text.find(shown.substr(0, enough));
  if (at != std::string::npos) {
    std::size_t end = at + enough;
    while (end - at < shown.size() && end < text.size() && text[end] == shown[end - at]) ++end;
    return with_blanks(at, end);
  }
  for (const std::string mark : {"...", "\xE2\x80\xA6"}) {
    for (std::size_t dots = text.find(mark); dots != std::string::npos; dots = text.find(mark, dots + 1)) {
      const std::size_t after = dots + mark.size();
      const std::size_t end = std::min(text.find(' ', after), text.size());
      if (end > after && shown.ends_with(text.substr(after, end - after))) return with_blanks(dots, end);
    }
  }
  return {std::string::npos, 0};
}

// The cells of a row with each folder in it turned into one cell holding its
// stand-in, in the colours of the folder's first cell.
void replace_folders(std::vector<PictureCell>& cells, const FolderNames& folders) {
  for (const auto& [shown, stand_in] : folders) {
    std::string text;
    for (const PictureCell& c : cells) text += c.text;
    const auto [from, to] = find_folder(text, shown);
    if (from == std::string::npos) continue;
    std::vector<PictureCell> replaced;
    std::size_t offset = 0;
    for (const PictureCell& c : cells) {
      const std::size_t next = offset + c.text.size();
      if (next <= from || offset >= to) {
        replaced.push_back(c);
      } else if (offset <= from) {
        replaced.push_back({stand_in, c.colours});
      }
      offset = next;
    }
    cells = std::move(replaced);
  }
}

std::string screen_picture(const PtyProgram& run, const FolderNames& folders) {
  std::ostringstream picture;
  for (int row = 1; row <= screen_rows(run); ++row) {
    std::vector<PictureCell> cells;
    for (int col = 1; col <= 80; ++col) {
      const CellView c = cell(run, row, col);
      if (c.text.empty()) continue;  // the right half of a double-width character
      cells.push_back({c.text, (c.text == " " ? std::string("-") : std::to_string(foreground(c))) + "/" +
                                   std::to_string(background(c))});
    }
    replace_folders(cells, folders);
    std::string text;
    for (const PictureCell& c : cells) text += c.text;
    text.erase(text.find_last_not_of(' ') + 1);
    picture << std::setw(2) << row << " |" << text << "|\n   ";
    std::string last;
    int count = 0;
    for (const PictureCell& c : cells) {
      if (c.colours != last && count > 0) {
        picture << " " << last << "x" << count;
        count = 0;
      }
      last = c.colours;
      ++count;
    }
    picture << " " << last << "x" << count << "\n";
  }
  const Position at = cursor(run);
  if (run.cursor_visible) {
    picture << "cursor " << at.row << "," << at.col << "\n";
  } else {
    picture << "cursor hidden\n";
  }
  return picture.str();
}

// The text and colours of one row, every cell of it in fg on bg.
void expect_row(const PtyProgram& run, int row, const std::string& text, int fg, int bg) {
  EXPECT_EQ(row_text(run, row), text) << "row " << row << "\n" << screen_text(run);
  for (int col = 1; col <= 80; ++col) {
    const CellView c = cell(run, row, col);
    if (c.text != " ") {
      EXPECT_EQ(foreground(c), fg) << "row " << row << " col " << col;
    }
    EXPECT_EQ(background(c), bg) << "row " << row << " col " << col;
  }
}

bool wait_for_row(PtyProgram& run, int row, const std::string& text, std::chrono::milliseconds timeout) {
  return wait_until(
      run, [&] { return row_text(run, row) == text; }, timeout);
}

// The name in the list box drawn as the selected one, black on bright white.
std::string selected_name(const PtyProgram& run) {
  for (int row = 1; row <= screen_rows(run); ++row) {
    std::string name;
    for (int col = 1; col <= 80; ++col) {
      const CellView c = cell(run, row, col);
      if (background(c) == bright_white) name += c.text;
    }
    if (!name.empty())
      return name.substr(name.find_first_not_of(' '), name.find_last_not_of(' ') + 1 - name.find_first_not_of(' '));
  }
  return {};
}

// More course files than the list box shows at once.
std::vector<std::string> many_course_names() {
  std::vector<std::string> names = {"exam.gbk", "Biology.GBK", "zoo.gbk", "Art.gbk"};
  for (int i = 1; i <= 36; ++i) names.push_back("C" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".gbk");
  return names;
}

class WineConsole : public testing::Test {
 protected:
  void SetUp() override {
    require_wine();
    if (IsSkipped() || HasFatalFailure()) return;
    windows_names = {{wine_runner::windows_path(windows_folder().string()), "<folder>"}};
    posix_names = {{posix_folder().string(), "<folder>"}};
    // The POSIX build's editor: a stand-in that opens nothing.
    write_file(scratch / "bin" / "xdg-open", "#!/bin/sh\nexit 0\n");
    fs::permissions(scratch / "bin" / "xdg-open", fs::perms::owner_all);
  }

  // The folders of a failed test stay, for a look at what the runs left.
  void TearDown() override { scratch_folder.keep = HasFailure(); }

  // The folders of the two runs. Their names as each program shows them,
  // Z:\...\win and /.../posix, are of the same length, so the boxes that
  // show them have the same size.
  fs::path windows_folder() const { return scratch / "win"; }
  fs::path posix_folder() const { return scratch / "posix"; }

  // The same files in the folder of each build. A folder put here shows as
  // the same stand-in in the screens of both.
  void put(const fs::path& name, const std::string& bytes) {
    write_file(windows_folder() / name, bytes);
    write_file(posix_folder() / name, bytes);
    if (name.has_parent_path()) {
      const std::string stand_in = "<" + name.parent_path().string() + ">";
      windows_names.emplace(windows_names.begin(),
                            wine_runner::windows_path((windows_folder() / name.parent_path()).string()), stand_in);
      posix_names.emplace(posix_names.begin(), (posix_folder() / name.parent_path()).string(), stand_in);
    }
  }

  void start(WineConsoleRun& wine, PtyProgram& posix, const std::vector<std::string>& arguments, int rows = 30,
             const std::string& windows_program = GBKCONVERT_EXE) {
    ASSERT_TRUE(wine_console::start(wine, windows_program, arguments, windows_folder().string(), rows));
    PtyOptions options;
    options.argv = {GBKCONVERT_PATH};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.working_directory = posix_folder().string();
    options.rows = rows;
    const char* path = std::getenv("PATH");
    options.environment = {"PATH=" + (scratch / "bin").string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")};
    ASSERT_TRUE(start_program(posix, options));
  }

  // Both runs reach the same wait: the text is on the screen and each
  // program waits for the operator. The screens must agree.
  void reach(WineConsoleRun& wine, PtyProgram& posix, const std::string& text) {
    ASSERT_TRUE(wait_for_text(wine.program, text, wine_timeout)) << screen_text(wine.program);
    ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout))
        << "the Windows program does not wait for the operator\n"
        << screen_text(wine.program);
    ASSERT_TRUE(wait_for_text(posix, text)) << screen_text(posix);
    ASSERT_TRUE(wait_for_input_wait(posix)) << screen_text(posix);
    EXPECT_EQ(screen_picture(wine.program, windows_names), screen_picture(posix, posix_names))
        << "Windows console (first) and POSIX terminal";
  }

  // One key or one sequence to both, and both at the same next wait.
  void press(WineConsoleRun& wine, PtyProgram& posix, const std::string& keys, const std::string& then) {
    send(wine.program, keys);
    send(posix, keys);
    reach(wine, posix, then);
  }

  // The last key to both, and both runs end with exit code 0.
  void finish(WineConsoleRun& wine, PtyProgram& posix, const std::string& keys) {
    send(wine.program, keys);
    send(posix, keys);
    EXPECT_EQ(wine_console::wait_for_end(wine), 0) << screen_text(wine.program);
    EXPECT_EQ(wait_for_exit(posix), 0);
  }
  static fs::path scratch_root() {
    fs::create_directories(SCRATCH_ROOT);
    return SCRATCH_ROOT;
  }
  tests::ScratchFolder scratch_folder{scratch_root()};
  const fs::path scratch = scratch_folder.path;
  FolderNames windows_names;
  FolderNames posix_names;

  // A command-line run of WARN.GBK (three_warnings) by windows_program.
  void command_line_run_with_all_three_warnings(const std::string& windows_program);
  void long_names_show_their_beginning_and_end(const std::string& windows_program, const std::string& ellipsis);
};

void WineConsole::command_line_run_with_all_three_warnings(const std::string& windows_program) {
  put("WARN.GBK", three_warnings);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {"WARN"}, 30, windows_program);

  // Each wait: the prompt it shows, the key that ends it, and what the next
  // warning would show, which must not appear before that one key.
  struct Wait {
    int prompt_row;
    std::string prompt;
    std::string key;
    std::string next;
  };
  const Wait waits[] = {
      {5, "  Any key to continue", "x", "This may be a multiple version file."},
      {13, "      Any key to continue.", "\r", "Discrepancy in the number of students"},
      {17, " Any key to continue", key_escape, ""},
  };
  for (const Wait& wait : waits) {
    SCOPED_TRACE("wait at row " + std::to_string(wait.prompt_row));
    ASSERT_TRUE(wait_for_row(wine.program, wait.prompt_row, wait.prompt, wine_timeout)) << screen_text(wine.program);
    reach(wine, posix, wait.prompt);
    if (HasFatalFailure()) return;
    if (!wait.next.empty()) {
      EXPECT_EQ(find_text(wine.program, wait.next).row, 0) << "a wait ended without its key";
    }
    EXPECT_EQ(wine.program.title, "Converter from GBK files");
    if (wait.prompt_row == 13) {
      // In a terminal under Wine, Control-C is the terminal's interrupt and
      // never reaches the program as a key: the run goes on, still waiting.
      send(wine.program, "\x03");
      ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout)) << "Control-C ended the run";
      EXPECT_EQ(find_text(wine.program, wait.next).row, 0) << screen_text(wine.program);
    }
    send(wine.program, wait.key);
    send(posix, wait.key);
  }
  EXPECT_EQ(wine_console::wait_for_end(wine), 0) << screen_text(wine.program);
  EXPECT_EQ(wait_for_exit(posix), 0);
  // The last screen of the run stays, in light magenta on light grey.
  const std::vector<std::string> rows = {"",
                                         " number of questions = 4  number of students =  3",
                                         "   filename= WARN.gbk",
                                         " Discrepancy in number of questions",
                                         "  Any key to continue",
                                         "",
                                         "   filename= WARN.gbk",
                                         "",
                                         " This may be a multiple version file.",
                                         " Student number 1111111 is present",
                                         "   Statistical detection results are meaningless.",
                                         "",
                                         "      Any key to continue.",
                                         "",
                                         "   filename= WARN.gbk",
                                         "Discrepancy in the number of students",
                                         " Any key to continue"};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    expect_row(wine.program, static_cast<int>(i) + 1, rows[i], light_magenta, light_grey);
  }
  // Then the report, in a colour that reads on the light grey at a contrast
  // of at least 4.5:1 in the usual palettes.
  const std::vector<std::string> report = {" WARN.GBK: 2 student records, 4 questions -> WARN.dat, WARN.txt, WARN.ans",
                                           " line 3, student 1001: 3 answers, 4 expected",
                                           " line 4, student 1111111: multiple-version student number",
                                           " header: 3 students, found 2"};
  for (std::size_t i = 0; i < report.size(); ++i) {
    const int row = static_cast<int>(rows.size() + 1 + i);
    expect_row(wine.program, row, report[i], black, light_grey);
    const CellView c = cell(wine.program, row, 2);
    EXPECT_GE(colour_contrast::lowest_contrast(foreground(c), background(c)), colour_contrast::readable)
        << "row " << row;
  }
  EXPECT_EQ(wine.program.title, "") << "the window title as found";
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
  EXPECT_EQ(read_file(windows_folder() / "WARN.ans"), "1\r\n2\r\n3\r\n") << "the key as far as the last question count";
}

// ---------------------------------------------------------------------------

TEST_F(WineConsole, CommandLineRunWithAllThreeWarnings) { command_line_run_with_all_three_warnings(GBKCONVERT_EXE); }

// A course file saved as UTF-16, with its byte-order mark and without, or
// with ";" between its fields, on a real Wine console beside the POSIX
// terminal: the same two lines at the same key wait, exit code 1 from both,
// and the .dat of an earlier run left as it was.
TEST_F(WineConsole, AFileThatIsNoCourseFileIsRefusedAtAKeyWait) {
  for (const tests::NotACourseFile& file : tests::not_course_files()) {
    if (file.cause != tests::utf16_cause && file.cause.find(';') == std::string::npos) continue;
    if (file.cause == tests::utf16_cause && file.bytes.starts_with("\xFE\xFF")) continue;  // big-endian: as little
    SCOPED_TRACE(file.what);
    put("EXAM.GBK", file.bytes);
    put("EXAM.dat", tests::course_dat);
    WineConsoleRun wine;
    PtyProgram posix;
    start(wine, posix, {"EXAM"});
    reach(wine, posix, file.cause);
    if (HasFatalFailure()) return;
    expect_row(wine.program, 2, " EXAM.GBK is not a course file: it has no SH3, FH or SD record", light_magenta,
               light_grey);
    expect_row(wine.program, 3, file.cause, light_magenta, light_grey);
    send(wine.program, "k");
    send(posix, "k");
    EXPECT_EQ(wine_console::wait_for_end(wine), 1) << screen_text(wine.program);
    EXPECT_EQ(wait_for_exit(posix), 1);
    EXPECT_EQ(read_file(windows_folder() / "EXAM.dat"), tests::course_dat);
    EXPECT_FALSE(fs::exists(windows_folder() / "EXAM.txt"));
    EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
  }
}

// gbkconvert.exe EXAM > report.txt on a console: the screen goes to the
// console (standard error), and the file keeps the report as plain text,
// as the POSIX build's does in a terminal.
TEST_F(WineConsole, WithStandardOutputRedirectedTheFileKeepsTheReport) {
  put("EXAM.GBK", tests::course);
  WineConsoleRun wine;
  ASSERT_TRUE(wine_console::start(wine, GBKCONVERT_EXE, {"EXAM"}, windows_folder().string(), 30, 80, {},
                                  (windows_folder() / "report.txt").string()));
  EXPECT_EQ(wine_console::wait_for_end(wine), 0) << screen_text(wine.program);
  const std::string report = tests::exam_report("EXAM.GBK");
  EXPECT_NE(find_text(wine.program, report.substr(0, report.size() - 1)).row, 0) << screen_text(wine.program);
  EXPECT_EQ(read_file(windows_folder() / "report.txt"), report);
}

// A Windows that ignores the manifest runs the program in the system's code
// page: the console is drawn byte by byte in the console's code page, as
// before the manifest, and shows the same.
TEST_F(WineConsole, WithoutTheManifestTheRunIsAsBefore) {
  command_line_run_with_all_three_warnings(GBKCONVERT_SYSTEM_CODE_PAGE_EXE);
}

// Standard input a file but the output a console, as `gbkconvert < answers`
// in a console window: the plain form writes to the console, and a byte of
// the name that would be a control (here an escape sequence that sets the
// title, and a bell) is shown as its glyph, never obeyed.
TEST_F(WineConsole, PlainFormOnAConsoleShowsControlBytesAsGlyphs) {
  fs::create_directories(windows_folder());
  WineConsoleRun wine;
  ASSERT_TRUE(
      wine_console::start(wine, GBKCONVERT_EXE, {"X\x1b]2;PWNED\aY"}, windows_folder().string(), 30, 80, "/dev/null"));
  EXPECT_EQ(wine_console::wait_for_end(wine), 1) << screen_text(wine.program);
  const Position at = find_text(wine.program, " There is no file called X");
  ASSERT_NE(at.row, 0) << screen_text(wine.program);
  EXPECT_EQ(row_text(wine.program, at.row), " There is no file called X\u2190]2;PWNED\u2022Y.gbk");
  EXPECT_EQ(wine.program.title.find("PWNED"), std::string::npos) << wine.program.title;
}

// A terminal of 24 rows shows the 30 rows of the console through a view
// that follows the cursor, as the POSIX build does; without it Wine's
// console host draws the rows below the terminal's last one over that row.
TEST_F(WineConsole, OnAnEightyBy24TerminalTheViewFollowsTheCursor) {
  for (const std::string& name : many_course_names()) put(name, tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {}, 24);
  reach(wine, posix, "[Cancel]");
  ASSERT_NE(find_text(wine.program, directory_question).row, 0) << screen_text(wine.program);
  press(wine, posix, key_escape, list_hint);
  EXPECT_EQ(selected_name(wine.program), "All 40 course files") << screen_text(wine.program);
  press(wine, posix, key_down + key_down + key_down, "C01.GBK");
  EXPECT_EQ(selected_name(wine.program), "C01.GBK") << screen_text(wine.program);
  finish(wine, posix, key_enter);
  EXPECT_EQ(read_file(windows_folder() / "C01.dat"), tests::course_dat);
}

// Names wider than the list, which differ only near their end, and a folder
// wider than the title: the console shows `ellipsis` where the middle of a
// name or the start of the folder is left out.
void WineConsole::long_names_show_their_beginning_and_end(const std::string& windows_program,
                                                          const std::string& ellipsis) {
  const std::string stem = "SPRING_2024_STATISTICS_MIDTERM_RETAKE_EXAMINATION_FOR_THE_SECOND_YEAR_STUDENTS_GROUP_";
  const fs::path deep = fs::path("the_office_of_examinations_and_assessment_records") / "exams" / "2024" / "spring";
  put(deep / (stem + "A.GBK"), tests::course);
  put(deep / (stem + "B.GBK"), tests::course);
  WineConsoleRun wine;
  ASSERT_TRUE(wine_console::start(wine, windows_program, {}, windows_folder().string(), 24));
  ASSERT_TRUE(wait_for_text(wine.program, directory_question, wine_timeout)) << screen_text(wine.program);
  ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout)) << screen_text(wine.program);
  send(wine.program, deep.string() + key_enter);
  ASSERT_TRUE(wait_for_text(wine.program, list_hint, wine_timeout)) << screen_text(wine.program);
  ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout)) << screen_text(wine.program);

  const Position a = find_text(wine.program, "GROUP_A.GBK");
  ASSERT_NE(a.row, 0) << screen_text(wine.program);
  EXPECT_EQ(find_text(wine.program, "GROUP_B.GBK").row, a.row + 1) << screen_text(wine.program);
  for (const auto& [row, group] : {std::pair{a.row, "GROUP_A.GBK  |"}, std::pair{a.row + 1, "GROUP_B.GBK  |"}}) {
    const std::string text = row_text(wine.program, row);
    EXPECT_TRUE(text.starts_with("| SPRING_2024_STATISTICS_")) << text;
    EXPECT_TRUE(text.ends_with(group)) << text;
    EXPECT_NE(text.find(ellipsis), std::string::npos) << text;
  }
  // The title: the folder's end, from a separator on.
  const int title_row = find_text(wine.program, list_hint).row - 1;
  std::string title = row_text(wine.program, title_row);
  title.erase(title.find_last_not_of(" |") + 1);
  EXPECT_TRUE(title.starts_with("| " + ellipsis + "\\")) << title;
  EXPECT_TRUE(title.ends_with("\\exams\\2024\\spring")) << title;

  send(wine.program, key_down + key_down + key_enter);
  EXPECT_EQ(wine_console::wait_for_end(wine), 0) << screen_text(wine.program);
  EXPECT_EQ(read_file(windows_folder() / deep / (stem + "B.dat")), tests::course_dat);
  EXPECT_FALSE(fs::exists(windows_folder() / deep / (stem + "A.dat")));
}

// In the UTF-8 code page the console draws the ellipsis character, as a
// terminal does.
TEST_F(WineConsole, LongNamesShowTheirBeginningAndEndWithAnEllipsis) {
  long_names_show_their_beginning_and_end(GBKCONVERT_EXE, "\u2026");
}

// Code page 437 has no ellipsis character: three dots stand for it.
TEST_F(WineConsole, LongNamesShowTheirBeginningAndEndWithThreeDotsWithoutTheManifest) {
  long_names_show_their_beginning_and_end(GBKCONVERT_SYSTEM_CODE_PAGE_EXE, "...");
}

// A waiting program costs no processor time: it blocks on the console.
TEST_F(WineConsole, AWaitingRunUsesNoProcessorTime) {
  put("WARN.GBK", three_warnings);
  WineConsoleRun wine;
  ASSERT_TRUE(wine_console::start(wine, GBKCONVERT_EXE, {"WARN"}, windows_folder().string()));
  ASSERT_TRUE(wait_for_text(wine.program, "  Any key to continue", wine_timeout)) << screen_text(wine.program);
  ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout)) << screen_text(wine.program);

  // The figure is the subject here: three seconds of waiting, measured.
  const auto observed = 3s;
  const auto cpu_before = wine_console::cpu_time(wine);
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < observed) pump(wine.program, 100ms);
  const auto used = wine_console::cpu_time(wine) - cpu_before;
  const double used_ms = std::chrono::duration<double, std::milli>(used).count();
  std::cout << "processor time of gbkconvert.exe and its console host over " << observed.count()
            << " s of waiting: " << used_ms << " ms\n";
  RecordProperty("wait_cpu_microseconds", static_cast<int>(used.count() / 1000));
  EXPECT_LT(used_ms, 10.0) << "a wait that polls";
  EXPECT_EQ(find_text(wine.program, "This may be").row, 0) << "the wait ended by itself";

  send(wine.program, "a");
  ASSERT_TRUE(wait_for_text(wine.program, "      Any key to continue.", wine_timeout)) << screen_text(wine.program);
  send(wine.program, "b");
  ASSERT_TRUE(wait_for_text(wine.program, " Any key to continue", wine_timeout)) << screen_text(wine.program);
  ASSERT_TRUE(wine_console::wait_for_operator(wine, wine_timeout));
  send(wine.program, "c");
  EXPECT_EQ(wine_console::wait_for_end(wine), 0);
}

// ---------------------------------------------------------------------------
// A whole folder on a console beside the POSIX terminal: the warnings of
// each file go by without a wait, and both stop once, at the same summary,
// in black on light grey; the files they write agree.
TEST_F(WineConsole, AWholeFolderWaitsOnceAtItsSummary) {
  put("WARN.GBK", three_warnings);
  put("C01.GBK", tests::course);
  put("NOTES.GBK", tests::not_course_files().front().bytes);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {"--all"});
  const std::string total = " 3 course files: 2 converted (1 of them with findings), 1 refused, 0 failed";
  reach(wine, posix, total);
  if (HasFatalFailure()) return;
  expect_row(wine.program, 1, " C01.GBK: converted, 3 student records, 4 questions, no findings", black, light_grey);
  expect_row(wine.program, 2, " NOTES.GBK: refused (not a course file: UTF-16 text)", black, light_grey);
  expect_row(wine.program, 3, " WARN.GBK: converted, 2 student records, 4 questions, 3 findings", black, light_grey);
  expect_row(wine.program, 4, total, black, light_grey);
  send(wine.program, "x");
  send(posix, "x");
  EXPECT_EQ(wine_console::wait_for_end(wine), 1) << screen_text(wine.program);
  EXPECT_EQ(wait_for_exit(posix), 1);
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
  EXPECT_EQ(read_file(windows_folder() / "C01.dat"), tests::course_dat);
}

// ---------------------------------------------------------------------------
// Interactive runs by keys alone.

// The list's first entry, as it opens: every course file of the folder,
// the summary at the one wait, as on POSIX.
TEST_F(WineConsole, InteractiveRunOfTheFirstEntryConvertsEveryCourseFile) {
  put("exam.gbk", tests::course);
  put("Biology.GBK", tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {});
  reach(wine, posix, directory_question);
  press(wine, posix, key_escape, list_hint);
  EXPECT_EQ(selected_name(wine.program), "All 2 course files") << screen_text(wine.program);
  press(wine, posix, key_enter, " 2 course files: 2 converted (0 of them with findings), 0 refused, 0 failed");
  EXPECT_EQ(row_text(wine.program, 1), " Biology.GBK: converted, 3 student records, 4 questions, no findings");
  finish(wine, posix, "x");
  EXPECT_EQ(read_file(windows_folder() / "exam.dat"), tests::course_dat);
  EXPECT_EQ(read_file(windows_folder() / "Biology.ans"), tests::course_ans);
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
}

TEST_F(WineConsole, InteractiveRunWithTypedDirectoryAndListKeys) {
  for (const std::string& name : many_course_names()) put(fs::path("sub") / name, tests::course);
  put("top.gbk", tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {});

  reach(wine, posix, "[Cancel]");
  ASSERT_NE(find_text(wine.program, directory_question).row, 0) << screen_text(wine.program);
  // The start-up screen stands above the box, in light blue on light grey.
  expect_row(wine.program, 2, " This program creates .DAT, .TXT,", light_blue, light_grey);
  expect_row(wine.program, 3, " and .ANS files from .GBK files.", light_blue, light_grey);
  expect_row(wine.program, 5, "  If your .GBK files are not on the same path (folder)", light_blue, light_grey);
  expect_row(wine.program, 6, "  as the program files then specify where they are:", light_blue, light_grey);
  expect_row(wine.program, 8, "       example: c:\\mydirectory\\myfiles\\", light_blue, light_grey);
  expect_row(wine.program, 10, " The change will be made only if the path exists.", light_blue, light_grey);
  EXPECT_EQ(wine.program.title, "Converter from GBK files");

  press(wine, posix, "sux", "sux");
  press(wine, posix, key_backspace, "su ");
  EXPECT_EQ(find_text(wine.program, "sux").row, 0) << screen_text(wine.program);
  press(wine, posix, "b", "sub");
  press(wine, posix, key_enter, list_hint);
  EXPECT_EQ(selected_name(wine.program), "All 40 course files") << screen_text(wine.program);
  EXPECT_EQ(find_text(wine.program, "TOP.GBK").row, 0) << "the list is of the typed folder";

  struct Step {
    const char* name;
    std::string key;
    std::string selected;
  };
  const Step steps[] = {
      {"Down", key_down, "ART.GBK"}, {"Down again", key_down, "BIOLOGY.GBK"},   {"Down once more", key_down, "C01.GBK"},
      {"Up", key_up, "BIOLOGY.GBK"}, {"PgDn", key_page_down, "C23.GBK"},  // a page of the 23 entries on view
      {"End", key_end, "ZOO.GBK"},   {"Home", key_home, "All 40 course files"}, {"letter jump", "e", "EXAM.GBK"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    press(wine, posix, step.key, step.selected);
    EXPECT_EQ(selected_name(wine.program), step.selected) << screen_text(wine.program);
  }
  finish(wine, posix, key_enter);
  EXPECT_EQ(read_file(windows_folder() / "sub" / "EXAM.dat"), tests::course_dat);
  EXPECT_EQ(read_file(windows_folder() / "sub" / "EXAM.txt"), tests::course_txt);
  EXPECT_EQ(read_file(windows_folder() / "sub" / "EXAM.ans"), tests::course_ans);
  EXPECT_FALSE(fs::exists(windows_folder() / "sub" / "ZOO.dat"));
}

TEST_F(WineConsole, InteractiveRunThroughEscapeToTheManualEntry) {
  put("exam.gbk", tests::course);
  put("other/Bio.gbk", tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {});

  reach(wine, posix, directory_question);
  press(wine, posix, key_escape, list_hint);
  EXPECT_EQ(selected_name(wine.program), "EXAM.GBK") << screen_text(wine.program);
  press(wine, posix, key_escape, manual_question);
  // The manual entry's explanation, in light blue.
  EXPECT_EQ(row_text(wine.program, 1), "If the .gbk course files are in another directory,");
  EXPECT_EQ(row_text(wine.program, 2), "add the path to the file name.");
  EXPECT_EQ(foreground(cell(wine.program, 1, 1)), light_blue);
  press(wine, posix, "other/bio.gbk", "other/bio.gbk");
  finish(wine, posix, key_enter);
  EXPECT_EQ(read_file(windows_folder() / "other" / "BIO.dat"), tests::course_dat);
  EXPECT_EQ(read_file(windows_folder() / "other" / "BIO.ans"), tests::course_ans);
}

// ---------------------------------------------------------------------------
// Names outside the system's code page. The program's code page is UTF-8
// (its manifest), so the file search, the command line and the file
// functions give and take them as they are, and the console shows them as
// the POSIX terminal does: each character itself, a double-width one in two
// cells.

const std::string exam_name = "\u8003\u8BD5\u6210\u7EE9";      // 考试成绩
const std::string students_name = "\u5B66\u751F\u6210\u7EE9";  // 学生成绩: U+751F holds the byte 0x94

TEST_F(WineConsole, TheListShowsNamesOutsideTheCodePageAndChoosingOneConvertsIt) {
  put(exam_name + ".gbk", tests::course);
  // Bytes inside these names are small letters of code page 437 (0x94 in
  // U+751F, 0xA4 in U+00E4), which the list's upper case must leave alone.
  put(students_name + ".gbk", tests::course);
  put("B\u00E4r.gbk", tests::course);
  put("exam.gbk", tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {});
  reach(wine, posix, directory_question);
  press(wine, posix, key_escape, list_hint);
  const std::string names[] = {"B\u00E4R.GBK", "EXAM.GBK", students_name + ".GBK", exam_name + ".GBK"};
  for (const std::string& listed : names) {
    EXPECT_NE(find_text(wine.program, listed).row, 0) << listed << "\n" << screen_text(wine.program);
  }
  press(wine, posix, key_end, exam_name + ".GBK");
  EXPECT_EQ(selected_name(wine.program), exam_name + ".GBK") << screen_text(wine.program);
  finish(wine, posix, key_enter);
  EXPECT_EQ(read_file(windows_folder() / (exam_name + ".dat")), tests::course_dat);
  EXPECT_EQ(read_file(windows_folder() / (exam_name + ".txt")), tests::course_txt);
  EXPECT_EQ(read_file(windows_folder() / (exam_name + ".ans")), tests::course_ans);
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
}

// The plain form on a console (standard input a file) shows such a name as
// its characters too.
TEST_F(WineConsole, PlainFormOnAConsoleShowsANameOutsideTheCodePage) {
  put(exam_name + ".gbk", tests::course);
  WineConsoleRun wine;
  ASSERT_TRUE(wine_console::start(wine, GBKCONVERT_EXE, {exam_name}, windows_folder().string(), 30, 80, "/dev/null"));
  EXPECT_EQ(wine_console::wait_for_end(wine), 0) << screen_text(wine.program);
  const std::string report =
      " " + exam_name + ".gbk: 3 student records, 4 questions -> " + exam_name + ".dat, " + exam_name + ".txt";
  EXPECT_NE(find_text(wine.program, report).row, 0) << screen_text(wine.program);
  EXPECT_EQ(read_file(windows_folder() / (exam_name + ".dat")), tests::course_dat);
}

TEST_F(WineConsole, CommandLineRunOfANameOutsideTheCodePage) {
  put(exam_name + ".gbk", three_warnings);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {exam_name});
  reach(wine, posix, "  Any key to continue");
  if (HasFatalFailure()) return;
  EXPECT_EQ(row_text(wine.program, 3), "   filename= " + exam_name + ".gbk") << screen_text(wine.program);
  press(wine, posix, "x", "      Any key to continue.");
  press(wine, posix, "y", "Discrepancy in the number of students");
  finish(wine, posix, "z");
  const std::string report = " " + exam_name + ".gbk: 2 student records, 4 questions -> " + exam_name + ".dat";
  EXPECT_NE(find_text(wine.program, report).row, 0) << screen_text(wine.program);
  EXPECT_EQ(read_file(windows_folder() / (exam_name + ".ans")), "1\r\n2\r\n3\r\n");
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
}

// Typed into the manual entry: the console hands the characters over as
// UTF-16, and they reach the name as UTF-8.
TEST_F(WineConsole, ManualEntryOfANameOutsideTheCodePage) {
  const std::string folder = "\u6210\u7EE9";  // 成绩
  put(fs::path(folder) / (exam_name + ".gbk"), tests::course);
  WineConsoleRun wine;
  PtyProgram posix;
  start(wine, posix, {});
  reach(wine, posix, directory_question);
  press(wine, posix, key_escape, manual_question);
  const std::string typed = folder + "/" + exam_name + ".gbk";
  press(wine, posix, typed, typed);
  finish(wine, posix, key_enter);
  EXPECT_EQ(read_file(windows_folder() / folder / (exam_name + ".dat")), tests::course_dat);
  EXPECT_EQ(read_file(windows_folder() / folder / (exam_name + ".ans")), tests::course_ans);
  EXPECT_EQ(folder_contents(windows_folder()), folder_contents(posix_folder()));
}

}  // namespace
