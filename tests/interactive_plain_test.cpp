// Interactive runs on a plain-text console: the dialogs answered line by
// line on standard input, as a script drives them.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "program_runner.hpp"
#include "worked_example.hpp"

namespace tests {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string start_up =
    "\n"
    " This program creates .DAT, .TXT,\n"
    " and .ANS files from .GBK files.\n"
    "\n"
    "  If your .GBK files are not on the same path (folder)\n"
    "  as the program files then specify where they are:\n"
    "\n"
    "       example: c:\\mydirectory\\myfiles\\\n"
    "\n"
    " The change will be made only if the path exists.\n";
const std::string directory_question =
    "Change default directory for .gbk course files? \n<Cancel> accepts program's directory\n";
const std::string no_course_files = "There are no .gbk files in this directory!!\n\n";
const std::string manual_entry =
    "If the .gbk course files are in another directory,\nadd the path to the file name.\n\n"
    "Course: ..\nProvide the complete path and course name\n";

// Two names or more come after the entry that converts them all.
std::string list_box(const fs::path& folder, const std::vector<std::string>& names) {
  std::vector<std::string> entries = names;
  if (names.size() >= 2) entries.insert(entries.begin(), " All " + std::to_string(names.size()) + " course files");
  std::string text = fs::canonical(folder).string() + "\nSelect a .gbk file or exit\n";
  for (std::size_t i = 0; i < entries.size(); ++i) text += std::to_string(i + 1) + " " + entries[i] + "\n";
  return text;
}

// Every run finds a stand-in editor first on PATH; it writes the file name
// it is given as one line of the record "opened". Each run also records the
// programs it starts, in their order, in the record "started".
class InteractivePlainRun : public ::testing::Test {
 protected:
  void SetUp() override {
    editor_folder.put("bin/xdg-open",
                      "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + (editor_folder.path / "opened").string() + "'\n");
    fs::permissions(editor_folder.path / "bin" / "xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    saved_path = path != nullptr ? path : "/usr/bin:/bin";
    ::setenv("PATH", ((editor_folder.path / "bin").string() + ":" + saved_path).c_str(), 1);
    ::setenv("GBK_START_RECORD", (editor_folder.path / "started").c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", saved_path.c_str(), 1);
    ::unsetenv("GBK_START_RECORD");
  }

  static void record_starts() { preload_into_run(RECORD_STARTS_PATH); }

  RunResult run(const std::string& input, const std::vector<std::string>& arguments = {}) {
    RunOptions options;
    options.input = input;
    options.timeout_ms = 10000;
    options.in_child = record_starts;
    return run_program(folder.path, arguments, options);
  }

  // The files the editor was started on, one a line in the order of the
  // starts, once every editor started has run. The editors run on after the
  // program, side by side, so their own record may be in any order; it must
  // hold the same names.
  std::string opened() {
    const std::string started = editor_folder.get("started");
    const auto until = std::chrono::steady_clock::now() + 20s;
    std::string ran = editor_folder.get("opened");
    while (lines(ran).size() < lines(started).size() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(20ms);
      ran = editor_folder.get("opened");
    }
    EXPECT_EQ(lines(ran), lines(started)) << "an editor started is not the one that ran";
    return started;
  }

  static std::multiset<std::string> lines(const std::string& record) {
    std::multiset<std::string> found;
    std::istringstream in(record);
    for (std::string line; std::getline(in, line);) found.insert(line);
    return found;
  }

  // The outputs of course `base` in the folder's sub-folder `where`.
  void expect_converted(const std::string& base, const fs::path& where = {}) {
    EXPECT_EQ(folder.get(where / (base + ".dat")), course_dat);
    EXPECT_EQ(folder.get(where / (base + ".txt")), course_txt);
    EXPECT_EQ(folder.get(where / (base + ".ans")), course_ans);
  }

  ScratchFolder folder;
  ScratchFolder editor_folder;
  std::string saved_path;
};

TEST_F(InteractivePlainRun, ListChoiceByNumberConvertsAndOpensTheOutputsInOrder) {
  folder.put("exam.gbk", course);
  folder.put("Biology.GBK", "FH,,,,,,,,1,0,\r\n");
  const RunResult result = run("\n3\n");
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output, start_up + directory_question + list_box(folder.path, {"BIOLOGY.GBK", "EXAM.GBK"}) +
                               header_line + exam_report("exam.gbk"));
  expect_converted("EXAM");
  EXPECT_FALSE(folder.has("BIOLOGY.dat"));
  EXPECT_EQ(opened(), "EXAM.dat\nEXAM.txt\nEXAM.ans\n");
}

// Standard output into a file, which the stand-in editors can read when they
// start: what the run had printed by then.
std::string transcript_path;

void output_to_transcript() {
  const int fd = ::open(transcript_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || ::dup2(fd, 1) < 0) ::_exit(125);
  ::close(fd);
}

void output_to_transcript_recording_starts() {
  output_to_transcript();
  preload_into_run(RECORD_STARTS_PATH);
}

TEST_F(InteractivePlainRun, ReportWithItsWarnedRecordIsOutBeforeTheEditorsStart) {
  std::string longer = course;
  longer.replace(longer.rfind("D,\r\n"), 4, "D,a,\r\n");
  folder.put("exam.gbk", longer);
  transcript_path = (editor_folder.path / "transcript").string();
  editor_folder.put("bin/xdg-open", "#!/bin/sh\ncp '" + transcript_path + "' '" +
                                        (editor_folder.path / "seen").string() + ".'$$\nprintf '%s\\n' \"$1\" >> '" +
                                        (editor_folder.path / "opened").string() + "'\n");
  RunOptions options;
  options.input = "\n1\n";
  options.timeout_ms = 10000;
  options.in_child = output_to_transcript_recording_starts;
  const RunResult result = run_program(folder.path, {}, options);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(opened(), "EXAM.dat\nEXAM.txt\nEXAM.ans\n");

  const std::string transcript = editor_folder.get("transcript");
  EXPECT_EQ(transcript, start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + header_line +
                            "   filename= EXAM.gbk\n Discrepancy in number of questions\n  Any key to continue\n" +
                            exam_report("exam.gbk") + " line 5, student 1003: 5 answers, 4 expected\n");
  std::size_t editors = 0;
  for (const auto& entry : fs::directory_iterator(editor_folder.path)) {
    if (!entry.path().filename().string().starts_with("seen.")) continue;
    ++editors;
    EXPECT_EQ(editor_folder.get(entry.path().filename().string()), transcript) << "an editor started before the report";
  }
  EXPECT_EQ(editors, 3u);
}

TEST_F(InteractivePlainRun, ListChoiceByNameMustEqualAnItem) {
  folder.put("exam.gbk", course);
  const RunResult by_name = run("\nEXAM.GBK\n");
  EXPECT_EQ(by_name.output, start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + header_line +
                                exam_report("exam.gbk"));
  expect_converted("EXAM");

  // The name as the file system has it is no item: the manual entry follows.
  const RunResult other_case = run("\nexam.gbk\nexam\n");
  EXPECT_EQ(other_case.output, start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + manual_entry +
                                   "no such file: exam\n");
}

TEST_F(InteractivePlainRun, AnswersMayEndInCarriageReturnAndNumbersCarryBlanks) {
  folder.put("exam.gbk", course);
  folder.put("a.gbk", course);
  const RunResult result = run("\r\n 3 \r\n");
  EXPECT_EQ(result.output, start_up + directory_question + list_box(folder.path, {"A.GBK", "EXAM.GBK"}) + header_line +
                               exam_report("exam.gbk"));
  expect_converted("EXAM");
  // Numbers outside the list choose nothing.
  for (const std::string answer : {"0", "4", "-1", "1x", "99999999999"}) {
    const RunResult outside = run("\n" + answer + "\n");
    EXPECT_EQ(outside.output, start_up + directory_question + list_box(folder.path, {"A.GBK", "EXAM.GBK"}) +
                                  manual_entry + "no such file: \n")
        << answer;
  }
}

// With two course files or more the list's first entry converts them all,
// in the folder the directory answer chose, each as a run of its name
// there; then the summary. No editor starts.
TEST_F(InteractivePlainRun, TheFirstEntryConvertsEveryCourseFileOfTheFolderWithoutAnEditor) {
  folder.put("top.gbk", course);
  folder.put("sub/exam.gbk", course);
  folder.put("sub/Biology.GBK", "SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,7,,,,,,,b,\r\n");
  folder.put("sub/notes.gbk", "Name,Mark\r\n");
  const RunResult result = run("sub\n1\n");
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 1) << "a file was refused";
  EXPECT_EQ(result.output,
            start_up + directory_question + list_box(folder.path / "sub", {"BIOLOGY.GBK", "EXAM.GBK", "NOTES.GBK"}) +
                " number of questions = 1  number of students =  1 \n"
                " Biology.GBK: 1 student record, 1 question -> Biology.dat, Biology.txt, Biology.ans\n\n" +
                header_line + " exam.gbk: 3 student records, 4 questions -> exam.dat, exam.txt, exam.ans\n\n" +
                " notes.gbk is not a course file: it has no SH3, FH or SD record\n\n"
                " Biology.GBK: converted, 1 student record, 1 question, no findings\n"
                " exam.gbk: converted, 3 student records, 4 questions, no findings\n"
                " notes.gbk: refused (not a course file: no SH3, FH or SD record)\n"
                " 3 course files: 2 converted (0 of them with findings), 1 refused, 0 failed\n");
  expect_converted("exam", "sub");
  EXPECT_EQ(folder.get("sub/Biology.dat"), "7,,,2\r\n");
  EXPECT_FALSE(folder.has("top.dat"));
  EXPECT_EQ(editor_folder.get("started"), "");

  // Chosen by its text, as any entry can be.
  fs::remove(folder.path / "sub" / "notes.gbk");
  const RunResult by_text = run("sub\n All 2 course files\n");
  EXPECT_EQ(by_text.exit_code, 0);
  EXPECT_TRUE(by_text.output.ends_with(" 2 course files: 2 converted (0 of them with findings), 0 refused, 0 failed\n"))
      << by_text.output;
}

TEST_F(InteractivePlainRun, DirectoryAnswerListsThatFolderAndConvertsThere) {
  folder.put("top.gbk", course);
  folder.put("sub/Biology.gbk", course);
  const RunResult result = run("sub\n1\n");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output,
            start_up + directory_question + list_box(folder.path / "sub", {"BIOLOGY.GBK"}) + header_line +
                " Biology.gbk: 3 student records, 4 questions -> BIOLOGY.dat, BIOLOGY.txt, BIOLOGY.ans\n");
  expect_converted("BIOLOGY", "sub");
  EXPECT_FALSE(folder.has("BIOLOGY.dat"));
  EXPECT_EQ(opened(), "BIOLOGY.dat\nBIOLOGY.txt\nBIOLOGY.ans\n");
}

TEST_F(InteractivePlainRun, WrongDirectoryAnswerChangesNothing) {
  folder.put("exam.gbk", course);
  for (const std::string answer : {"no-such-folder", "*", "exam.gbk"}) {
    const RunResult result = run(answer + "\n1\n");
    EXPECT_EQ(result.output, start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + header_line +
                                 exam_report("exam.gbk"))
        << answer;
  }
  expect_converted("EXAM");
}

TEST_F(InteractivePlainRun, LeavingTheListLeadsToTheManualEntry) {
  folder.put("exam.gbk", course);
  folder.put("other/Biology.gbk", course);
  const std::string typed = (folder.path / "other" / "biology.GBK").string();
  const RunResult result = run("\n\n" + typed + "\n");
  EXPECT_EQ(result.exit_code, 0);
  // The chosen name in upper case, path and all: the outputs beside the
  // course file, found whatever the case of the folder's name; the report
  // and the editors name the files as they are on disk.
  const std::string base = (folder.path / "other" / "BIOLOGY").string();
  const std::string course_file = (folder.path / "other" / "Biology.gbk").string();
  EXPECT_EQ(result.output, start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + manual_entry +
                               header_line + " " + course_file + ": 3 student records, 4 questions -> " + base +
                               ".dat, " + base + ".txt, " + base + ".ans\n");
  EXPECT_EQ(opened(), base + ".dat\n" + base + ".txt\n" + base + ".ans\n");
  expect_converted("BIOLOGY", "other");
}

TEST_F(InteractivePlainRun, EditorsAreGivenTheOutputsUnderTheNamesTheyHave) {
  folder.put("my exam.gbk", course);
  folder.put("my exam.dat", "an earlier run");
  const RunResult result = run("\n1\n");
  EXPECT_EQ(result.output,
            start_up + directory_question + list_box(folder.path, {"MY EXAM.GBK"}) + header_line +
                " my exam.gbk: 3 student records, 4 questions -> my exam.dat, MY EXAM.txt, MY EXAM.ans\n");
  EXPECT_EQ(folder.get("my exam.dat"), course_dat);  // rewritten, not a second file
  EXPECT_FALSE(folder.has("MY EXAM.dat"));
  EXPECT_EQ(opened(), "my exam.dat\nMY EXAM.txt\nMY EXAM.ans\n");
}

TEST_F(InteractivePlainRun, NamesThatDifferOnlyInCaseEachConvertTheirOwnFile) {
  const std::string other = "SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,7,,,,,,,b,\r\n";
  folder.put("EXAM.GBK", course);
  folder.put("exam.gbk", other);
  folder.put("EXAM.dat", "outputs of EXAM.GBK");
  const std::string listed = start_up + directory_question + list_box(folder.path, {"EXAM.GBK", "exam.gbk"});

  const RunResult lower = run("\n3\n");
  EXPECT_EQ(lower.exit_code, 0);
  EXPECT_EQ(lower.output, listed + " number of questions = 1  number of students =  1 \n" +
                              " exam.gbk: 1 student record, 1 question -> exam.dat, exam.txt, exam.ans\n");
  EXPECT_EQ(folder.get("exam.dat"), "7,,,2\r\n");
  EXPECT_EQ(folder.get("exam.txt"), "2\r\n");
  EXPECT_EQ(folder.get("exam.ans"), "1\r\n");
  EXPECT_EQ(folder.get("EXAM.dat"), "outputs of EXAM.GBK") << "the other course file's outputs were touched";
  EXPECT_EQ(opened(), "exam.dat\nexam.txt\nexam.ans\n");

  // Chosen by its name as listed, the other one converts into its own files.
  const RunResult upper = run("\nEXAM.GBK\n");
  EXPECT_EQ(upper.output, listed + header_line + exam_report("EXAM.GBK"));
  expect_converted("EXAM");
  EXPECT_EQ(folder.get("exam.dat"), "7,,,2\r\n");
}

// Typed in the manual entry, of two names that differ only in case the one
// typed exactly converts into its own outputs; one typed in neither case
// converts nothing and names both.
TEST_F(InteractivePlainRun, ManualEntryOfNamesThatDifferOnlyInCaseTakesTheOneTyped) {
  const std::string other = "SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,7,,,,,,,b,\r\n";
  folder.put("exam.txt", "no course file");
  folder.put("twins/EXAM.GBK", course);
  folder.put("twins/exam.gbk", other);
  const std::string typed = (folder.path / "twins" / "exam.gbk").string();
  const RunResult lower = run("\n" + typed + "\n");
  EXPECT_EQ(lower.exit_code, 0);
  EXPECT_EQ(lower.output, start_up + directory_question + no_course_files + manual_entry +
                              " number of questions = 1  number of students =  1 \n " + typed +
                              ": 1 student record, "
                              "1 question -> " +
                              (folder.path / "twins" / "exam").string() + ".dat, " +
                              (folder.path / "twins" / "exam").string() + ".txt, " +
                              (folder.path / "twins" / "exam").string() + ".ans\n");
  EXPECT_EQ(folder.get("twins/exam.dat"), "7,,,2\r\n");
  EXPECT_FALSE(folder.has("twins/EXAM.dat"));

  const std::string neither = (folder.path / "twins" / "Exam.gbk").string();
  const RunResult ambiguous = run("\n" + neither + "\n");
  EXPECT_EQ(ambiguous.exit_code, 1);
  // The name chosen is built in upper case, its folders too.
  std::string built = neither.substr(0, neither.size() - 4);
  std::transform(built.begin(), built.end(), built.begin(), [](unsigned char c) { return std::toupper(c); });
  built += ".gbk";
  EXPECT_TRUE(ambiguous.output.ends_with(manual_entry + " " + built + " could be " +
                                         (folder.path / "twins" / "EXAM.GBK").string() + " or " + typed +
                                         ": give the name exactly\n"))
      << ambiguous.output;
  EXPECT_FALSE(folder.has("twins/EXAM.dat"));
  EXPECT_EQ(folder.get("twins/exam.dat"), "7,,,2\r\n");
}

TEST_F(InteractivePlainRun, FolderWithoutCourseFilesGoesStraightToTheManualEntry) {
  folder.put("exam.txt", course);
  folder.put(".hidden.gbk", course);  // never listed, never accepted
  folder.put("folder.gbk/x", course);
  const struct {
    std::string typed;
    std::string ending;
  } cases[] = {
      {".hidden.gbk", "no such file: .hidden.gbk\n"},
      {"folder.gbk", "no such file: folder.gbk\n"},
      {"", "no such file: \n"},
      {"exam", "no such file: exam\n"},  // the name must be typed with its extension
  };
  for (const auto& c : cases) {
    const RunResult result = run("\n" + c.typed + "\n");
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 1) << "nothing was converted";
    EXPECT_EQ(result.output, start_up + directory_question + no_course_files + manual_entry + c.ending) << c.typed;
  }
  EXPECT_FALSE(folder.has("exam.dat"));
  EXPECT_FALSE(folder.has(".HIDDEN.dat"));
  EXPECT_EQ(editor_folder.get("started"), "");
}

TEST_F(InteractivePlainRun, EndOfInputAnywhereEndsTheRunWithoutWaiting) {
  folder.put("exam.gbk", course);
  for (const std::string input : {"", "\n", "\n\n", "\n\n\n"}) {
    const RunResult result = run(input);
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.output,
              start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + manual_entry + "no such file: \n");
  }
  EXPECT_FALSE(folder.has("EXAM.dat"));
}

TEST_F(InteractivePlainRun, ManualEntryOfAPatternPassesWhenItMatchesAFile) {
  folder.put("exam.gbk", course);
  // "*.gbk" matches exam.gbk, so does the course file derived from it: the
  // run goes on with names that open no file, and ends with the editors.
  const RunResult result = run("\n\n*.gbk\n");
  EXPECT_FALSE(result.timed_out);
  const std::string before = start_up + directory_question + list_box(folder.path, {"EXAM.GBK"}) + manual_entry;
  EXPECT_EQ(result.output.substr(0, before.size()), before);
  EXPECT_EQ(result.output.find("no such file"), std::string::npos);
  EXPECT_EQ(opened(), "*.dat\n*.txt\n*.ans\n");
}

TEST_F(InteractivePlainRun, WithoutAnEditorTheRunEndsNormally) {
  folder.put("exam.gbk", course);
  ::setenv("PATH", "/nonexistent", 1);
  const RunResult result = run("\n1\n");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.errors, "");
  expect_converted("EXAM");
}

TEST_F(InteractivePlainRun, CommandLineRunStartsNoEditor) {
  folder.put("exam.gbk", course);
  const RunResult result = run("", {"exam"});
  EXPECT_EQ(result.exit_code, 0);
  expect_converted("exam");
  EXPECT_EQ(editor_folder.get("started"), "");  // a start is recorded before the program goes on
}

}  // namespace
}  // namespace tests
