// gbkconvert.exe under Wine: the conversions give the same bytes as the
// POSIX build, and the Windows side of files, searches and the command line
// behaves as on its home platform.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "tests/support/not_course_files.hpp"
#include "tests/windows/hex_text.hpp"
#include "tests/windows/windows_test_support.hpp"
#include "tests/windows/wine_runner.hpp"

namespace {

namespace fs = std::filesystem;
using wine_runner::Result;
using namespace windows_tests;

const std::string posix_program = GBKCONVERT_PATH;
const std::string windows_program = GBKCONVERT_EXE;
const std::string probe_program = WINDOWS_PROBE_EXE;

// The worked example and the three files it gives.
const std::string exam_gbk =
    "SH3,,,,,,,,A,c,B,e,\r\n"
    "FH,,,,,,,,4,3,\r\n"
    "SD,1001,G1,,,,,,a,B,d,E,\r\n"
    "SD,1002,G1,,,,,,,C,b,ab,\r\n"
    "SD,1003,G2,,,,,,x,c,b,D,\r\n";
const std::string exam_dat = "1001,G1,,.24.\r\n1002,G1,,-..12\r\n1003,G2,,x..4\r\n";
const std::string exam_txt = ".24.\r\n-..12\r\nx..4\r\n";
const std::string exam_ans = "1\r\n3\r\n2\r\n5\r\n";

std::string run_log(const Result& result) {
  return "exit " + std::to_string(result.exit_code) + (result.timed_out ? " (timed out)" : "") + "\nstdout:\n" +
         result.out + "\nstderr:\n" + result.err;
}

// A fresh folder per test, removed afterwards.
class WindowsProgram : public ::testing::Test {
 protected:
  fs::path scratch;

  void SetUp() override {
    require_wine();
    if (IsSkipped() || HasFatalFailure()) return;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    scratch = fs::path(SCRATCH_ROOT) / (name + "." + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
  }

  void TearDown() override {
    if (!scratch.empty() && !HasFailure()) fs::remove_all(scratch);
  }

  Result run_windows(const fs::path& cwd, const std::vector<std::string>& arguments, const std::string& input = {}) {
    return wine_runner::run(wine_runner::wine_command(windows_program, arguments), cwd.string(), input, true);
  }

  Result run_probe(const fs::path& cwd, const std::vector<std::string>& arguments) {
    return wine_runner::run(wine_runner::wine_command(probe_program, arguments), cwd.string(), {}, true);
  }
};

// ---------------------------------------------------------------------------
// The same course files through both builds: console text, exit code and
// every file left in the folder must agree byte for byte.

struct SameBytesCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // relative name, bytes
  std::string posix_argument;
  std::string windows_argument;  // empty: the same as on POSIX
  std::string input;             // standard input: the keys for the waits
};

// Test names show the case's name, not its bytes.
void PrintTo(const SameBytesCase& c, std::ostream* os) { *os << c.name; }

std::string many_students(int count) {
  std::string text = "SH3,,,,,,,,A,b,C,d,E,\r\nFH,,,,,,,,5," + std::to_string(count) + ",\r\n";
  for (int i = 0; i < count; ++i) {
    static const char* answers[] = {"a,b,c,d,e,", "b,b,,D,ab,", "E,\"x,y\",c, d ,e,", "A\tB\tC\tD\tE\t"};
    text += "SD," + std::to_string(100000 + i) + ",G" + std::to_string(i % 7) + ",,,,,," + answers[i % 4] + "\r\n";
  }
  return text;
}

// 30 student records, each warned for its answer count (1, 2, 1, 2, ...
// under a header of 2), every third also for its version student number.
std::string many_warned_records() {
  std::string text = "SH3,,,,,,,,A,B,\r\nFH,,,,,,,,2,31,\r\n";
  for (int i = 0; i < 30; ++i) {
    text += "SD," + (i % 3 == 0 ? std::string("3333333") : std::to_string(500 + i)) + ",G,,,,,," +
            (i % 2 == 0 ? "a," : "a,b,") + "\r\n";
  }
  return text;
}

std::string without_cr(const std::string& text) {
  std::string lf;
  std::copy_if(text.begin(), text.end(), std::back_inserter(lf), [](char c) { return c != '\r'; });
  return lf;
}

// A student line of 4,082 bytes and 2,031 answers with a tab: its commas
// fill more than one count of the comma counting.
std::string long_line_with_a_tab() {
  std::string line = "SD\t1234567,abc,,,,,";
  for (int q = 0; q < 2031; ++q) line += ",a";
  return "FH,,,,,,,,2031,1\r\n" + line + ",\r\n";
}

// Twelve students, fourteen questions: question 2 keyed B where eleven
// chose C, no key or a key that is no option for eleven more, so that the
// key check shows ten of its twelve findings and how many more there are.
std::string key_check_findings() {
  std::string text = "SH3,,,,,,,,A,B,,F,E,\r\nFH,,,,,,,,14,12,\r\n";
  for (int s = 0; s < 12; ++s) {
    text += "SD," + std::to_string(7000 + s) + ",G1,,,,,,a," + (s == 0 ? "b" : "c") + ",d,b,e,a,b,c,d,e,a,b,c,d,\r\n";
  }
  return text;
}

// An answer key of 120 questions, which holds 100, and a student who
// answers all 120.
std::string answers_past_the_key() {
  std::string answers;
  for (int q = 0; q < 120; ++q) answers += "abcde"[q % 5] + std::string(",");
  return "SH3,,,,,,,," + answers + "\r\nSD,2,G,,,,,," + answers + "\r\n";
}

class SameBytes : public WindowsProgram, public ::testing::WithParamInterface<SameBytesCase> {};

TEST_P(SameBytes, AsThePosixBuild) {
  const SameBytesCase& c = GetParam();
  const fs::path posix_dir = scratch / "posix";
  const fs::path windows_dir = scratch / "windows";
  fs::create_directories(posix_dir);
  fs::create_directories(windows_dir);
  for (const auto& [name, bytes] : c.files) {
    write_file(posix_dir / name, bytes);
    write_file(windows_dir / name, bytes);
  }
  const Result posix = wine_runner::run({posix_program, c.posix_argument}, posix_dir.string(), c.input);
  const std::string windows_argument = c.windows_argument.empty() ? c.posix_argument : c.windows_argument;
  const Result windows = run_windows(windows_dir, {windows_argument}, c.input);

  ASSERT_FALSE(posix.timed_out) << run_log(posix);
  ASSERT_FALSE(windows.timed_out) << run_log(windows);
  EXPECT_EQ(windows.exit_code, posix.exit_code) << run_log(windows);
  // The console names the files as the course was typed on each side.
  std::string expected_out = posix.out;
  for (std::size_t at = 0; (at = expected_out.find(c.posix_argument, at)) != std::string::npos;
       at += windows_argument.size()) {
    expected_out.replace(at, c.posix_argument.size(), windows_argument);
  }
  EXPECT_EQ(windows.out, expected_out);
  EXPECT_EQ(folder_contents(windows_dir), folder_contents(posix_dir));
}

const std::string sub_exam_posix = "sub/EXAM";
const std::string sub_exam_windows = "sub\\EXAM";

INSTANTIATE_TEST_SUITE_P(
    CourseFiles, SameBytes,
    ::testing::Values(
        SameBytesCase{"WorkedExample", {{"EXAM.GBK", exam_gbk}}, "EXAM", "", ""},
        SameBytesCase{"NameInOtherCaseWithExtension", {{"EXAM.GBK", exam_gbk}}, "exam.gbk", "", ""},
        SameBytesCase{"OldOutputsAreEmptiedAndRewritten",
                      {{"EXAM.GBK", exam_gbk},
                       {"EXAM.dat", std::string(5000, 'z')},
                       {"EXAM.txt", "old\r\nold\r\nold\r\nold\r\nold\r\n"},
                       {"EXAM.ans", std::string(300, '9')}},
                      "EXAM",
                      "",
                      ""},
        SameBytesCase{"LineFeedsOnlyReadAsCrLf",
                      {{"LF.GBK", "SH3,,,,,,,,A,B,\nFH,,,,,,,,2,1,\nSD,1,x,,,,,,a,b,\n"}},
                      "LF",
                      "",
                      ""},
        SameBytesCase{
            "LineFeedsOnlyAcrossReadBlocks", {{"LFBIG.GBK", without_cr(many_students(9000))}}, "LFBIG", "", ""},
        SameBytesCase{"LineFeedsWithOneCrBehindTheFirstBlock",
                      {{"LFCR.GBK", without_cr(many_students(9000)) + "SD,1,x,,,,,,a,\r\n"}},
                      "LFCR",
                      "",
                      ""},
        SameBytesCase{"LongLineWithATab", {{"LONG.GBK", long_line_with_a_tab()}}, "LONG", "", ""},
        SameBytesCase{
            "TextAfterEndOfFileByte",
            {{"EOFB.GBK", "SH3,,,,,,,,A,B,\r\nFH,,,,,,,,2,1,\r\nSD,1,x,,,,,,a,c,\r\n\x1ASD,2,y,,,,,,b,b,\r\n"}},
            "EOFB",
            "",
            ""},
        SameBytesCase{"NoFinalLineEndAndStrayLineFeed",
                      {{"LAST.GBK", "SH3,,,,,,,,A,B,\rFH,,,,,,,,2,1,\r\n\nSD,1,x,,,,,,b,a,"}},
                      "LAST",
                      "",
                      ""},
        SameBytesCase{"TabsQuotesAndBlanks",
                      {{"TABS.GBK",
                        "SH3\t\t\t\t\t\t\t\ta\t b \tC\td\r\nFH,,,,,,,, 4 , 2.5 ,\r\n"
                        "SD,\" 7 \",G,,,,,,\"a,B\", d ,\"c\",e\r\nSD\t8\tG\t\t\t\t\t\tA\tB\tC\tD\r\n"}},
                      "TABS",
                      "",
                      ""},
        SameBytesCase{"WarningsWithKeysWaiting",
                      {{"WARN.GBK",
                        "SH3,,,,,,,,A,B,C,\r\nFH,,,,,,,,3,40000,\r\nSD,1111111,G,,,,,,a,b,c,\r\n"
                        "SD,2,G,,,,,,a,b,\r\nSD,  2222222 ,G,,,,,,a,b,c,d,e,\r\nSD,3,G,,,,,,a,b,c,\r\n"}},
                      "WARN",
                      "",
                      "abc"},
        SameBytesCase{"WarningsAtEndOfInput",
                      {{"WARN.GBK", "FH,,,,,,,,2,-3,\r\nSD,5555555,G,,,,,,a,\r\nSD,1,G,,,,,,a,b,c,\r\n"}},
                      "WARN",
                      "",
                      ""},
        SameBytesCase{"MoreWarnedRecordsThanTheReportShows", {{"MANY.GBK", many_warned_records()}}, "MANY", "", ""},
        SameBytesCase{"KeyCheckFindings", {{"KEYS.GBK", key_check_findings()}}, "KEYS", "", ""},
        SameBytesCase{"EmptyCourseFile", {{"EMPTY.GBK", ""}}, "EMPTY", "", ""},
        SameBytesCase{"ByteOrderMark", {{"BOM.GBK", "\xEF\xBB\xBF" + exam_gbk}}, "BOM", "", ""},
        SameBytesCase{"ByteOrderMarkAndLineFeeds", {{"BOM.GBK", "\xEF\xBB\xBF" + without_cr(exam_gbk)}}, "BOM", "", ""},
        SameBytesCase{"StudentRecordsBeforeTheKeyAndAnswersPastIt",
                      {{"KEY.GBK", "FH,,,,,,,,120,2,\r\nSD,1,G,,,,,,a,\r\n" + answers_past_the_key()}},
                      "KEY",
                      "",
                      ""},
        SameBytesCase{"FileOfAnotherExtension", {{"exam.csv", exam_gbk}}, "exam.csv", "", ""},
        SameBytesCase{"MissingCourseFile", {{"OTHER.GBK", exam_gbk}}, "NOPE", "", ""},
        SameBytesCase{"ManyStudentsInLargeBlocks", {{"BIG.GBK", many_students(6000)}}, "BIG", "", ""},
        SameBytesCase{"CourseInSubfolder", {{"sub/EXAM.GBK", exam_gbk}}, sub_exam_posix, sub_exam_windows, ""},
        // A session converted whole: a clean file, one that warns, one in
        // mixed case beside an earlier output in another case, one that is
        // no course file, one with ".gbk" inside its name and a folder named
        // like one; keys a wait would take, and none is awaited.
        SameBytesCase{
            "WholeFolder",
            {{"C01.GBK", exam_gbk},
             {"Bio.Gbk", exam_gbk},
             {"BIO.DAT", "an earlier run's\r\n"},
             {"WARN.GBK", "SH3,,,,,,,,A,B,C,\r\nFH,,,,,,,,3,4,\r\nSD,1111111,G,,,,,,a,b,c,\r\nSD,2,G,,,,,,a,b,\r\n"},
             {"NOTES.GBK", tests::not_course_files().front().bytes},
             {"old.gbk.gbk", exam_gbk},
             {"sub.gbk/IN.GBK", exam_gbk}},
            "--all",
            "",
            "abc"},
        // A name no single-byte code page spells: the program's code page is
        // UTF-8, so the command line and the files take it as it is.
        SameBytesCase{"NameOutsideTheCodePage",
                      {{"\u8003\u8BD5\u6210\u7EE9.gbk", exam_gbk}},
                      "\u8003\u8BD5\u6210\u7EE9",
                      "",
                      ""}),
    [](const ::testing::TestParamInfo<SameBytesCase>& info) { return std::string(info.param.name); });

// Files that are no course file, beside the outputs of an earlier run:
// refused alike, the outputs left as they were.
std::vector<SameBytesCase> not_course_file_cases() {
  std::vector<SameBytesCase> cases;
  for (const tests::NotACourseFile& file : tests::not_course_files()) {
    cases.push_back({file.what,
                     {{"EXAM.GBK", file.bytes}, {"EXAM.dat", exam_dat}, {"EXAM.txt", exam_txt}, {"EXAM.ans", exam_ans}},
                     "EXAM",
                     "",
                     "k"});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(NotCourseFiles, SameBytes, ::testing::ValuesIn(not_course_file_cases()),
                         [](const ::testing::TestParamInfo<SameBytesCase>& info) {
                           return std::string(info.param.name);
                         });

// gbkconvert.exe refuses each of them with the lines of the POSIX build,
// exit code 1, and the earlier .dat byte for byte.
TEST_F(WindowsProgram, AFileThatIsNoCourseFileIsRefusedAndTheOutputsKept) {
  for (const tests::NotACourseFile& file : tests::not_course_files()) {
    write_file(scratch / "EXAM.GBK", file.bytes);
    write_file(scratch / "EXAM.dat", exam_dat);
    const Result run = run_windows(scratch, {"EXAM"}, "k");
    EXPECT_EQ(run.exit_code, 1) << file.what << run_log(run);
    EXPECT_EQ(run.out, "\n EXAM.GBK is not a course file: it has no SH3, FH or SD record\n" +
                           (file.cause.empty() ? "" : file.cause + "\n"))
        << file.what;
    EXPECT_EQ(read_file(scratch / "EXAM.dat"), exam_dat) << file.what;
    EXPECT_FALSE(fs::exists(scratch / "EXAM.txt")) << file.what;
  }
}

// An interactive run in the plain form, its list of names outside any
// single-byte code page: listed in upper case as on POSIX (the bytes of their
// characters untouched, though some are small letters of code page 437: the
// 0x94 of U+751F, the 0xA4 of U+00E4), and the one chosen by its number is
// converted into outputs beside it.
TEST_F(WindowsProgram, PlainInteractiveRunListsAndChoosesNamesOutsideTheCodePage) {
  const fs::path posix_dir = scratch / "posix";
  const fs::path windows_dir = scratch / "windows";
  const std::string students = "\u5B66\u751F\u6210\u7EE9";  // 学生成绩
  const std::string names[] = {"B\u00E4r.gbk", students + ".gbk", "\u8003\u8BD5.gbk"};
  for (const fs::path& dir : {posix_dir, windows_dir}) {
    for (const std::string& name : names) write_file(dir / name, exam_gbk);
  }
  const std::string keys = "\n3\n";  // the current directory; the second name, after the entry for all
  const Result posix = wine_runner::run({posix_program}, posix_dir.string(), keys);
  const Result windows = run_windows(windows_dir, {}, keys);
  ASSERT_EQ(windows.exit_code, 0) << run_log(windows);
  EXPECT_EQ(posix.exit_code, 0) << run_log(posix);
  std::string expected = posix.out;
  expected.replace(expected.find(posix_dir.string()), posix_dir.string().size(),
                   wine_runner::windows_path(windows_dir.string()));
  EXPECT_EQ(windows.out, expected);
  EXPECT_NE(windows.out.find("\n1  All 3 course files\n2 B\u00E4R.GBK\n3 " + students + ".GBK\n4 \u8003\u8BD5.GBK\n"),
            std::string::npos)
      << windows.out;
  EXPECT_EQ(read_file(windows_dir / (students + ".dat")), exam_dat);
  EXPECT_EQ(read_file(windows_dir / (students + ".ans")), exam_ans);
  EXPECT_EQ(folder_contents(windows_dir), folder_contents(posix_dir));
}

// The worked example itself, typed as a new user would: the three files hold
// exactly the bytes of the example.
TEST_F(WindowsProgram, WorkedExampleWritesTheExampleFiles) {
  write_file(scratch / "EXAM.GBK", exam_gbk);
  const Result run = run_windows(scratch, {"EXAM"});
  ASSERT_EQ(run.exit_code, 0) << run_log(run);
  EXPECT_EQ(read_file(scratch / "EXAM.dat"), exam_dat);
  EXPECT_EQ(read_file(scratch / "EXAM.txt"), exam_txt);
  EXPECT_EQ(read_file(scratch / "EXAM.ans"), exam_ans);
  EXPECT_EQ(run.out,
            "\n number of questions = 4  number of students =  3 \n"
            " EXAM.GBK: 3 student records, 4 questions -> EXAM.dat, EXAM.txt, EXAM.ans\n");
}

// --help, -h and /? give the usage text, --version the version: on standard
// output, at once, byte for byte as the POSIX build prints them.
TEST_F(WindowsProgram, HelpAndVersionAsOnPosix) {
  const struct {
    const char* windows;
    const char* posix;
  } cases[] = {{"/?", "--help"}, {"-h", "--help"}, {"--help", "--help"}, {"--version", "--version"}};
  for (const auto& c : cases) {
    const Result windows = run_windows(scratch, {c.windows});
    const Result posix = wine_runner::run({GBKCONVERT_PATH, c.posix}, scratch.string());
    EXPECT_EQ(windows.exit_code, 0) << c.windows << run_log(windows);
    EXPECT_EQ(windows.out, posix.out) << c.windows;
    EXPECT_FALSE(windows.out.empty()) << c.windows;
  }
  EXPECT_TRUE(fs::is_empty(scratch));
}

// A course named by a full Windows path with its drive letter.
TEST_F(WindowsProgram, CourseNamedWithDriveLetterAndBackslashes) {
  write_file(scratch / "deep" / "er" / "EXAM.GBK", exam_gbk);
  const std::string course = wine_runner::windows_path((scratch / "deep" / "er" / "EXAM").string());
  const Result run = run_windows("/", {course});
  ASSERT_EQ(run.exit_code, 0) << run_log(run);
  EXPECT_EQ(read_file(scratch / "deep" / "er" / "EXAM.dat"), exam_dat);
  EXPECT_EQ(read_file(scratch / "deep" / "er" / "EXAM.ans"), exam_ans);
}

// ---------------------------------------------------------------------------
// Files another program holds open: the open fails (no sharing), the file is
// left untouched, the run finishes and reports it, and ends with exit code 1.

TEST_F(WindowsProgram, DatFileHeldByAnotherProgramIsReportedAndLeftAlone) {
  write_file(scratch / "EXAM.GBK", exam_gbk);
  write_file(scratch / "EXAM.dat", "someone else's\r\n");
  std::string held_seen;
  wine_runner::Background held = wine_runner::start_background(
      wine_runner::wine_command(probe_program, {"hold", hex_text::to_hex("EXAM.dat")}), scratch.string(), true);
  ASSERT_TRUE(wine_runner::wait_for_output(held, "held\n", held_seen)) << held_seen;

  const Result run = run_windows(scratch, {"EXAM"});
  EXPECT_EQ(wine_runner::finish_background(held), 0);

  EXPECT_EQ(run.exit_code, 1) << run_log(run);
  EXPECT_NE(run.out.find("   filename= EXAM.dat\n The file could not be opened: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Any key to continue\n"), std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with(
      "Any key to continue\n EXAM.GBK: 3 student records, 4 questions -> EXAM.dat (failed), EXAM.txt, EXAM.ans\n"))
      << run.out;
  EXPECT_EQ(read_file(scratch / "EXAM.dat"), "someone else's\r\n");
  EXPECT_EQ(read_file(scratch / "EXAM.txt"), exam_txt);
  EXPECT_EQ(read_file(scratch / "EXAM.ans"), exam_ans);
}

TEST_F(WindowsProgram, CourseFileHeldByAnotherProgramIsReported) {
  write_file(scratch / "EXAM.GBK", exam_gbk);
  std::string held_seen;
  wine_runner::Background held = wine_runner::start_background(
      wine_runner::wine_command(probe_program, {"hold", hex_text::to_hex("EXAM.GBK")}), scratch.string(), true);
  ASSERT_TRUE(wine_runner::wait_for_output(held, "held\n", held_seen)) << held_seen;

  const Result run = run_windows(scratch, {"EXAM"});
  EXPECT_EQ(wine_runner::finish_background(held), 0);

  EXPECT_EQ(run.exit_code, 1) << run_log(run);
  EXPECT_NE(run.out.find("   filename= EXAM.gbk\n The file could not be opened: "), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("number of questions"), std::string::npos) << run.out;
  // The report names the course file as found on disk.
  EXPECT_TRUE(
      run.out.ends_with(" EXAM.GBK (failed): 0 student records, no header record -> EXAM.dat, EXAM.txt, EXAM.ans\n"))
      << run.out;
  EXPECT_EQ(read_file(scratch / "EXAM.GBK"), exam_gbk);
  EXPECT_EQ(read_file(scratch / "EXAM.dat"), "");
}

// While one run holds its files (waiting for a key at a warning), a second
// run on the same course gets none of them and changes none of them.
TEST_F(WindowsProgram, SecondRunOnFilesInUseChangesNothing) {
  write_file(scratch / "EXAM.GBK", "FH,,,,,,,,1,9,\r\nSD,1111111,G,,,,,,a,\r\n");
  std::string first_seen;
  wine_runner::Background first =
      wine_runner::start_background(wine_runner::wine_command(windows_program, {"EXAM"}), scratch.string(), true);
  ASSERT_TRUE(wine_runner::wait_for_output(first, "Any key to continue.", first_seen)) << first_seen;
  const std::string dat_while_held = read_file(scratch / "EXAM.dat");

  const Result second = run_windows(scratch, {"EXAM"});
  EXPECT_EQ(read_file(scratch / "EXAM.dat"), dat_while_held);
  EXPECT_EQ(wine_runner::finish_background(first), 0);

  EXPECT_EQ(second.exit_code, 1) << run_log(second);
  for (const char* name : {"EXAM.ans", "EXAM.dat", "EXAM.txt", "EXAM.gbk"}) {
    EXPECT_NE(second.out.find(std::string("   filename= ") + name + "\n The file could not be opened: "),
              std::string::npos)
        << name << "\n"
        << second.out;
  }
  // The first run, let go, finishes its files as if it had been alone.
  const fs::path alone = scratch / "alone";
  write_file(alone / "EXAM.GBK", read_file(scratch / "EXAM.GBK"));
  const Result posix = wine_runner::run({posix_program, "EXAM"}, alone.string());
  for (const char* name : {"EXAM.ans", "EXAM.dat", "EXAM.txt"}) {
    EXPECT_EQ(read_file(scratch / name), read_file(alone / name)) << name;
  }
  EXPECT_EQ(first_seen.substr(0, posix.out.size()), posix.out.substr(0, first_seen.size()));
}

// A whole folder with a course file and an output of another held by other
// programs: the others convert, the held files are left as they were, the
// summary names each, and the exit code is 1.
TEST_F(WindowsProgram, AWholeFolderGoesOnPastFilesHeldByOtherPrograms) {
  write_file(scratch / "A.GBK", exam_gbk);
  write_file(scratch / "B.GBK", exam_gbk);
  write_file(scratch / "B.dat", "someone else's\r\n");
  write_file(scratch / "HELD.GBK", exam_gbk);
  std::string course_seen, output_seen;
  wine_runner::Background course_held = wine_runner::start_background(
      wine_runner::wine_command(probe_program, {"hold", hex_text::to_hex("HELD.GBK")}), scratch.string(), true);
  ASSERT_TRUE(wine_runner::wait_for_output(course_held, "held\n", course_seen)) << course_seen;
  wine_runner::Background output_held = wine_runner::start_background(
      wine_runner::wine_command(probe_program, {"hold", hex_text::to_hex("B.dat")}), scratch.string(), true);
  ASSERT_TRUE(wine_runner::wait_for_output(output_held, "held\n", output_seen)) << output_seen;

  const Result run = run_windows(scratch, {"--all"});
  EXPECT_EQ(wine_runner::finish_background(course_held), 0);
  EXPECT_EQ(wine_runner::finish_background(output_held), 0);

  EXPECT_EQ(run.exit_code, 1) << run_log(run);
  const std::size_t summary = run.out.rfind("\n\n A.GBK: ");
  ASSERT_NE(summary, std::string::npos) << run.out;
  std::istringstream lines(run.out.substr(summary + 2));
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 4u) << run.out;
  EXPECT_EQ(rows[0], " A.GBK: converted, 3 student records, 4 questions, no findings");
  EXPECT_TRUE(rows[1].starts_with(" B.GBK: failed (B.dat could not be opened: ")) << rows[1];
  EXPECT_TRUE(rows[1].ends_with("), 3 student records, 4 questions, no findings")) << rows[1];
  EXPECT_TRUE(rows[2].starts_with(" HELD.GBK: failed (HELD.gbk could not be opened: ")) << rows[2];
  EXPECT_TRUE(rows[2].ends_with(")")) << rows[2];
  EXPECT_EQ(rows[3], " 3 course files: 1 converted (0 of them with findings), 0 refused, 2 failed");
  EXPECT_EQ(read_file(scratch / "A.dat"), exam_dat);
  EXPECT_EQ(read_file(scratch / "B.dat"), "someone else's\r\n");
  EXPECT_EQ(read_file(scratch / "B.txt"), exam_txt);
  EXPECT_EQ(read_file(scratch / "HELD.GBK"), exam_gbk);
}

// --all and a folder on a Windows command line, as typed: with a drive
// letter and backslashes, quoted around a name with blanks or not, from
// another folder; the same run as the one in that folder.
TEST_F(WindowsProgram, AWholeFolderNamedOnTheCommandLine) {
  write_file(scratch / "my exams" / "EXAM.GBK", exam_gbk);
  write_file(scratch / "my exams" / "Bio.gbk", exam_gbk);
  const Result inside = run_windows(scratch / "my exams", {"--all"});
  EXPECT_EQ(inside.exit_code, 0) << run_log(inside);
  EXPECT_TRUE(
      inside.out.ends_with("\n Bio.gbk: converted, 3 student records, 4 questions, no findings\n"
                           " EXAM.GBK: converted, 3 student records, 4 questions, no findings\n"
                           " 2 course files: 2 converted (0 of them with findings), 0 refused, 0 failed\n"))
      << inside.out;
  const std::string exe = wine_runner::windows_path(fs::absolute(windows_program).string());
  const std::string folder = wine_runner::windows_path((scratch / "my exams").string());
  for (const std::string& line : {"gbkconvert.exe --all \"" + folder + "\"", "gbkconvert.exe --all " + folder + "\\",
                                  std::string("gbkconvert.exe   --all   \"my exams\" ")}) {
    SCOPED_TRACE("command line [" + line + "]");
    fs::remove(scratch / "my exams" / "EXAM.dat");
    const Result run = run_probe(scratch, {"run", hex_text::to_hex(exe), hex_text::to_hex(line)});
    EXPECT_EQ(run.exit_code, 0) << run_log(run);
    EXPECT_EQ(run.out, inside.out);
    EXPECT_EQ(read_file(scratch / "my exams" / "EXAM.dat"), exam_dat);
  }
  const Result missing = run_windows(scratch, {"--all", "nowhere"});
  EXPECT_EQ(missing.exit_code, 1) << run_log(missing);
  EXPECT_EQ(missing.out, "\n There is no folder called nowhere\n");
}

// ---------------------------------------------------------------------------
// The file search: hidden files and directories are not listed, "*.*" is
// added to a pattern ending in "\" or ":", case is ignored.

TEST_F(WindowsProgram, HiddenCourseFileCountsAsMissing) {
  write_file(scratch / "EXAM.GBK", exam_gbk);
  const Result hide = run_probe(scratch, {"hide", hex_text::to_hex("EXAM.GBK")});
  ASSERT_EQ(hide.exit_code, 0) << "the hidden attribute did not stick: " << run_log(hide);

  const Result run = run_windows(scratch, {"EXAM"});
  EXPECT_EQ(run.exit_code, 1) << run_log(run);
  EXPECT_EQ(run.out, "\n There is no file called EXAM.gbk\n");
  EXPECT_FALSE(fs::exists(scratch / "EXAM.dat"));
}

std::vector<std::string> listed(const Result& result) {
  std::vector<std::string> names;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) names.push_back(line);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(WindowsProgram, SearchListsNormalFilesOnly) {
  const fs::path dir = scratch / "files";
  write_file(dir / "a.gbk", "1");
  write_file(dir / "B.GBK", "2");
  write_file(dir / "README", "3");
  write_file(dir / "notes.txt", "4");
  write_file(dir / "hid.gbk", "5");
  fs::create_directories(dir / "x.gbk");
  ASSERT_EQ(run_probe(dir, {"hide", hex_text::to_hex("hid.gbk")}).exit_code, 0);

  struct Case {
    std::string pattern;
    fs::path cwd;
    std::vector<std::string> names;
  };
  const std::vector<std::string> everything{"B.GBK", "README", "a.gbk", "notes.txt"};
  const std::vector<std::string> courses{"B.GBK", "a.gbk"};
  const std::vector<Case> cases{
      {"files\\", scratch, everything},
      {"FILES\\*.GBK", scratch, courses},
      {"files\\*.gbk", scratch, courses},
      {"*.gbk", dir, courses},
      {"files\\?.gbk", scratch, courses},
      {"files\\readme", scratch, {"README"}},
      {"Z:", dir, everything},
      {wine_runner::windows_path(dir.string()) + "\\", "/", everything},
      {"files\\*.none", scratch, {}},
      {"nowhere\\*.gbk", scratch, {}},
  };
  for (const Case& c : cases) {
    const Result result = run_probe(c.cwd, {"list", hex_text::to_hex(c.pattern)});
    EXPECT_EQ(result.exit_code, 0) << c.pattern << "\n" << run_log(result);
    EXPECT_EQ(listed(result), c.names) << c.pattern;
  }
}

// ---------------------------------------------------------------------------
// The command tail, taken from the full command line exactly.

enum class Outcome { converts, interactive, missing };

struct TailCase {
  std::string command_line;  // {exe} stands for the program's Windows path
  Outcome outcome;
  std::string missing_name;  // the course file the message names
};

TEST_F(WindowsProgram, CommandTailTable) {
  write_file(scratch / "exam1.GBK", exam_gbk);
  const std::string exe = wine_runner::windows_path(fs::absolute(windows_program).string());
  const std::vector<TailCase> cases{
      {"gbkconvert.exe  exam1 ", Outcome::converts, ""},
      {"\"gbkconvert.exe\"   exam1", Outcome::converts, ""},
      {"\"gbkconvert.exe\"exam1", Outcome::converts, ""},
      {"\"C:\\Program Files\\gbk convert.exe\" exam1", Outcome::converts, ""},
      {"gbkconvert.exe exam1.GBK", Outcome::converts, ""},
      {"gbkconvert.exe \"my exam\"", Outcome::missing, "\"my exam\".gbk"},
      {"gbkconvert.exe exam1  x ", Outcome::missing, "exam1  x.gbk"},
      {"gbkconvert.exe\texam1", Outcome::missing, "\texam1.gbk"},
      {"gbkconvert.exe \texam1", Outcome::missing, "\texam1.gbk"},
      {"gbk\"convert .exe\" exam1", Outcome::missing, ".exe\" exam1.gbk"},
      {"gbkconvert.exe", Outcome::interactive, ""},
      {"gbkconvert.exe    ", Outcome::interactive, ""},
      {"\"gbkconvert.exe\"", Outcome::interactive, ""},
      {"\"gbkconvert.exe exam1", Outcome::interactive, ""},
  };
  for (const TailCase& c : cases) {
    SCOPED_TRACE("command line [" + c.command_line + "]");
    fs::remove(scratch / "exam1.dat");
    const Result run = run_probe(scratch, {"run", hex_text::to_hex(exe), hex_text::to_hex(c.command_line)});
    ASSERT_FALSE(run.timed_out);
    // Only a conversion succeeds: a missing course file, and an interactive
    // run whose entry is empty (no input), convert nothing.
    EXPECT_EQ(run.exit_code, c.outcome == Outcome::converts ? 0 : 1) << run_log(run);
    switch (c.outcome) {
      case Outcome::converts:
        EXPECT_EQ(run.out,
                  "\n number of questions = 4  number of students =  3 \n"
                  " exam1.GBK: 3 student records, 4 questions -> exam1.dat, exam1.txt, exam1.ans\n");
        EXPECT_EQ(read_file(scratch / "exam1.dat"), exam_dat);
        break;
      case Outcome::missing:
        EXPECT_EQ(run.out, "\n There is no file called " + c.missing_name + "\n");
        EXPECT_FALSE(fs::exists(scratch / "exam1.dat"));
        break;
      case Outcome::interactive:
        EXPECT_TRUE(run.out.starts_with("\n This program creates .DAT, .TXT,\n")) << run.out;
        EXPECT_FALSE(fs::exists(scratch / "exam1.dat"));
        break;
    }
  }
}

// ---------------------------------------------------------------------------
// Upper case in the console's OEM code page 437: a to z and the seven
// accented small letters that have capitals there, nothing else. The probe
// has no manifest: it runs in the system's code page, as gbkconvert.exe does
// on a Windows that ignores its manifest.

TEST_F(WindowsProgram, UpperCaseInCodePage437) {
  struct Case {
    std::string text, upper;
  };
  const std::vector<Case> cases{
      {"azAZ09", "AZAZ09"},
      {"\x84\x94\x81\x82\xA4\x86\x87", "\x8E\x99\x9A\x90\xA5\x8F\x80"},
      {"\x8E\x99\x9A\x90\xA5\x8F\x80", "\x8E\x99\x9A\x90\xA5\x8F\x80"},
      {"\x83\x85\x88\xA0\xE0\xE4\xF6\xFF{`", "\x83\x85\x88\xA0\xE0\xE4\xF6\xFF{`"},
  };
  for (const Case& c : cases) {
    const Result result = run_probe(scratch, {"upper", hex_text::to_hex(c.text)});
    EXPECT_EQ(result.out, hex_text::to_hex(c.upper) + "\n") << hex_text::to_hex(c.text);
  }
}

}  // namespace
