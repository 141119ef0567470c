// Every course file of a folder in one run, gbkconvert --all [FOLDER]: each
// file's outputs, messages and report as a run of its own name in that
// folder gives them, no key wait in a plain run, the summary and the exit
// code.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "program_runner.hpp"
#include "tests/support/not_course_files.hpp"
#include "worked_example.hpp"

namespace tests {
namespace {

namespace fs = std::filesystem;

// A file held open by another program for as long as the value lives.
struct HeldFile {
  int fd = -1;
  explicit HeldFile(const fs::path& path) : fd(::open(path.c_str(), O_RDONLY)) {
    if (fd >= 0 && ::flock(fd, LOCK_EX) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  ~HeldFile() {
    if (fd >= 0) ::close(fd);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
};

// Every regular file below a folder, by its path inside it, with its bytes.
std::map<std::string, std::string> contents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[fs::relative(entry.path(), folder).string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

const std::string other_course = "SH3,,,,,,,,a\r\nFH,,,,,,,,1,1\r\nSD,7,,,,,,,b,\r\n";

// A session as an examination office keeps it: clean course files, one
// that warns, names that differ only in case, one held by another program,
// one with an output held, one that is no course file, earlier outputs, and
// what is never a course file: a hidden one, a subfolder named like one,
// other files.
void put_session(const ScratchFolder& folder) {
  folder.put("C01.GBK", course);
  folder.put("C01.dat", "an earlier run's outputs, rewritten\r\n");
  folder.put("WARN.GBK", source_file("examples/WARN.GBK"));
  folder.put("WARN.DAT", "an earlier run's output in another case, rewritten\r\n");
  folder.put("EXAM.GBK", course);
  folder.put("exam.gbk", other_course);
  folder.put("HELD.GBK", course);
  folder.put("HELD.dat", "outputs of an earlier run\r\n");
  folder.put("OUT.Gbk", course);
  folder.put("OUT.dat", "held by another program\r\n");
  folder.put("NOTES.GBK", not_course_files().front().bytes);
  folder.put("NOTES.dat", "kept: no course file changes outputs\r\n");
  folder.put(".hidden.gbk", course);
  folder.put("sub.gbk/inner.gbk", course);
  folder.put("list.txt", "C01 WARN EXAM\r\n");
}

const std::vector<std::string> session_files = {"C01.GBK",   "EXAM.GBK", "exam.gbk", "HELD.GBK",
                                                "NOTES.GBK", "OUT.Gbk",  "WARN.GBK"};

const std::string in_use = "could not be opened: the file is in use by another program";

const std::string session_summary =
    " C01.GBK: converted, 3 student records, 4 questions, no findings\n"
    " EXAM.GBK: converted, 3 student records, 4 questions, no findings\n"
    " exam.gbk: converted, 1 student record, 1 question, no findings\n"
    " HELD.GBK: failed (HELD.gbk " +
    in_use +
    ")\n"
    " NOTES.GBK: refused (not a course file: UTF-16 text)\n"
    " OUT.Gbk: failed (OUT.dat " +
    in_use +
    "), 3 student records, 4 questions, no findings\n"
    " WARN.GBK: converted, 3 student records, 4 questions, 3 findings\n"
    " 7 course files: 4 converted (1 of them with findings), 1 refused, 2 failed\n";

// The same folder twice: converted whole in one, file by file by name in
// the other, with the same files held in both. Every file below each ends
// the same, byte for byte, and the console of the whole run is the runs'
// one after the other, then the summary.
TEST(FolderRun, EachFileAsARunOfItsNameThenTheSummary) {
  ScratchFolder whole, single;
  put_session(whole);
  put_session(single);
  std::string single_runs;
  {
    const HeldFile course_held(single / "HELD.GBK"), output_held(single / "OUT.dat");
    ASSERT_GE(course_held.fd, 0);
    ASSERT_GE(output_held.fd, 0);
    for (const std::string& name : session_files) single_runs += run_program(single.path, {name}).output;
  }
  const HeldFile course_held(whole / "HELD.GBK"), output_held(whole / "OUT.dat");
  ASSERT_GE(course_held.fd, 0);
  ASSERT_GE(output_held.fd, 0);
  const RunResult run = run_program(whole.path, {"--all"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, single_runs + "\n" + session_summary);
  EXPECT_EQ(contents(whole.path), contents(single.path));
  // What the runs by name did is what the operator needs.
  EXPECT_EQ(whole.get("C01.dat"), course_dat);
  EXPECT_FALSE(whole.has("WARN.dat"));
  EXPECT_EQ(whole.get("WARN.DAT").substr(0, 15), "1001,G1,,.24.\r\n");
  EXPECT_EQ(whole.get("exam.dat"), "7,,,2\r\n");
  EXPECT_EQ(whole.get("EXAM.dat"), course_dat);
  EXPECT_EQ(whole.get("OUT.dat"), "held by another program\r\n");
  EXPECT_EQ(whole.get("NOTES.dat"), "kept: no course file changes outputs\r\n");
  EXPECT_FALSE(whole.has(".hidden.dat") || whole.has(".HIDDEN.dat") || whole.has("sub.gbk/inner.dat") ||
               whole.has("sub.dat"));
}

// The code block that follows `after` in the user's README.
std::string readme_block_after(const std::string& after) {
  const std::string readme = source_file("doc/README.md");
  const std::size_t at = readme.find(after);
  if (at == std::string::npos) return {};
  const std::size_t from = readme.find("```\n", at);
  const std::size_t to = readme.find("\n```\n", from);
  if (from == std::string::npos || to == std::string::npos) return {};
  return readme.substr(from + 4, to + 1 - (from + 4));
}

// The folder the README describes ends with the summary it shows, line for
// line.
TEST(FolderRun, TheSummaryTheReadmeShows) {
  ScratchFolder folder;
  folder.put("exams/C01.GBK", source_file("examples/EXAM.GBK"));
  folder.put("exams/C02.GBK", source_file("examples/WARN.GBK"));
  folder.put("exams/HELD.GBK", course);
  folder.put("exams/NOTES.GBK", not_course_files().front().bytes);
  folder.put("exams/sub.gbk/inner.gbk", course);
  const HeldFile held(folder / "exams/HELD.GBK");
  ASSERT_GE(held.fd, 0);
  const RunResult run = run_program(folder.path, {"--all", "exams"});
  EXPECT_EQ(run.exit_code, 1);
  const std::string shown = readme_block_after("and a folder `sub.gbk` ends with:");
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(run.output.ends_with("\n" + shown)) << "the README shows\n" << shown << "the run printed\n" << run.output;
}

// A folder named on the command line, from anywhere: its names and
// outputs as the run in it gives them; every file converted: exit code 0.
TEST(FolderRun, AFolderNamedOnTheCommandLineConvertsAsTheRunInIt) {
  ScratchFolder folder;
  folder.put("my exams/Biology.gbk", course);
  folder.put("my exams/CHEM.GBK", other_course);
  const RunResult inside = run_program(folder.path / "my exams", {"--all"});
  const auto converted = contents(folder.path);
  fs::remove(folder.path / "my exams" / "Biology.dat");
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--all", "my exams"},
                                                    {"--all", "\"my exams\""},
                                                    {" --all ", (folder / "my exams").string() + "/"}}) {
    const RunResult named = run_program(folder.path, arguments);
    EXPECT_EQ(named.exit_code, 0) << arguments[1];
    EXPECT_EQ(named.output, inside.output) << arguments[1];
    EXPECT_EQ(contents(folder.path), converted) << arguments[1];
  }
  EXPECT_EQ(inside.exit_code, 0);
  EXPECT_TRUE(
      inside.output.ends_with("\n Biology.gbk: converted, 3 student records, 4 questions, no findings\n"
                              " CHEM.GBK: converted, 1 student record, 1 question, no findings\n"
                              " 2 course files: 2 converted (0 of them with findings), 0 refused, 0 failed\n"))
      << inside.output;
  EXPECT_EQ(folder.get("my exams/Biology.dat"), course_dat);
}

// A name with .gbk before its end would have a run by that name convert
// another file: it is refused, and neither file's outputs come of it.
TEST(FolderRun, ANameWithGbkInsideIsRefusedAndTouchesNoOtherOutputs) {
  ScratchFolder folder;
  folder.put("a.gbk", course);
  folder.put("a.gbk.gbk", other_course);
  const RunResult run = run_program(folder.path, {"--all"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n" + header_line +
                            " a.gbk: 3 student records, 4 questions -> a.dat, a.txt, a.ans\n"
                            "\n a.gbk.gbk is not converted: its name holds .gbk before its end\n"
                            "\n a.gbk: converted, 3 student records, 4 questions, no findings\n"
                            " a.gbk.gbk: refused (its name holds .gbk before its end)\n"
                            " 2 course files: 1 converted (0 of them with findings), 1 refused, 0 failed\n");
  EXPECT_EQ(folder.get("a.dat"), course_dat);
  EXPECT_FALSE(folder.has("a.gbk.dat"));
}

// Nothing to convert: one line that says why, exit code 1, no file made.
TEST(FolderRun, AFolderWithoutCourseFilesOrNoFolderAtAllIsNamed) {
  ScratchFolder folder;
  folder.put("empty/.hidden.gbk", course);
  folder.put("empty/sub.gbk/inner.gbk", course);
  folder.put("empty/list.txt", "C01\r\n");
  folder.put("exam.gbk", course);
  const std::string here = fs::canonical(folder.path).string();
  const struct {
    std::string folder;
    std::string says;
  } cases[] = {
      {"empty", " There are no .gbk files in " + here + "/empty\n"},
      {"missing", " There is no folder called missing\n"},
      {"exam.gbk", " There is no folder called exam.gbk\n"},
  };
  for (const auto& c : cases) {
    const RunResult run = run_program(folder.path, {"--all", c.folder});
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1) << c.folder;
    EXPECT_EQ(run.output, "\n" + c.says) << c.folder;
  }
  EXPECT_EQ(contents(folder.path).size(), 4u);
}

// The first thousand in the list's order, as the list box offers them.
TEST(FolderRun, OfMoreThanAThousandCourseFilesTheFirstThousandConvert) {
  ScratchFolder folder;
  for (int i = 1; i <= 1003; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "C%04d.GBK", i);
    folder.put(name, other_course);
  }
  const RunResult run = run_program(folder.path, {"--all"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(
      run.output.ends_with(" C1000.GBK: converted, 1 student record, 1 question, no findings\n"
                           " 1000 course files: 1000 converted (0 of them with findings), 0 refused, 0 failed\n"))
      << run.output.substr(run.output.size() - 300);
  EXPECT_TRUE(folder.has("C1000.dat"));
  EXPECT_FALSE(folder.has("C1001.dat"));
}

}  // namespace
}  // namespace tests
