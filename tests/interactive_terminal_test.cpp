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

#include "tests/pty_harness.hpp"
#include "worked_example.hpp"

namespace {

namespace fs = std::filesystem;
using namespace pty_test;
using namespace tests;
using namespace std::chrono_literals;

constexpr int light_blue = 9;
constexpr int light_red = 12;

const std::string directory_question = "Change default directory for .gbk course files?";
const std::string list_hint = "Select a .gbk file or exit";
const std::string manual_question = "Course: ..";

const std::string key_enter = "\r";
const std::string key_escape = "\x1b";
const std::string key_down = "\x1b[B";

class InteractiveTerminalRun : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "gbk-dialogs-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = fs::canonical(pattern);
    fs::create_directory(folder / "bin");
    // A stand-in editor first on PATH records each file it is asked to open.
    std::ofstream(folder / "bin" / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '"
                                                << (folder / "opened").string() << "'\n";
    fs::permissions(folder / "bin" / "xdg-open", fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(folder); }

  void put(const fs::path& name, const std::string& bytes) {
    fs::create_directories((folder / name).parent_path());
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string get(const fs::path& name) {
    std::ifstream in(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

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

  fs::path folder;
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
  EXPECT_NE(find_text(run, folder.string()).row, 0) << screen_text(run);
  send(run, key_down);
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("EXAM");
  EXPECT_FALSE(fs::exists(folder / "BIOLOGY.dat"));
  EXPECT_EQ(opened_files(3), "EXAM.ans\nEXAM.dat\nEXAM.txt\n");
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
  EXPECT_EQ(wait_for_exit(run), 0);
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
  EXPECT_EQ(wait_for_exit(run), 0);
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
  EXPECT_EQ(wait_for_exit(run), 0);
}

TEST_F(InteractiveTerminalRun, SmallTerminalStillOffersTheBoxes) {
  put("exam.gbk", course);
  PtyProgram run;
  start(run, 24, 60);
  ASSERT_TRUE(wait_for_box(run, "Change default directory")) << screen_text(run);
  send(run, key_escape);
  ASSERT_TRUE(wait_for_box(run, "EXAM.GBK")) << screen_text(run);
  send(run, key_enter);
  EXPECT_EQ(wait_for_exit(run), 0) << screen_text(run);
  expect_converted("EXAM");
}

}  // namespace
