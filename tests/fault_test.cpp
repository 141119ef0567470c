// Whole-program runs under file faults: folders and files the run may not
// write, a file system that fills up in the middle of the run, course files
// that pass the existence test but cannot be opened or read, and things that
// are not files at all under a course file's name. Whatever happens the run
// must end by itself, leave the course file alone, report each file that
// failed and end with exit code 1 (or find no course file and end with 0).
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "program_runner.hpp"
#include "worked_example.hpp"

namespace tests {
namespace {

namespace fs = std::filesystem;

std::string failure_report(const std::string& file, const std::string& what, const std::string& reason) {
  return "   filename= " + file + "\n The file " + what + ": " + reason + "\n  Any key to continue\n";
}

// Standard input at its end at once: no key wait can hold a run up.
RunOptions with_setup(void (*in_child)()) {
  RunOptions options;
  options.timeout_ms = 10000;
  options.in_child = in_child;
  return options;
}

std::string opening_failure(const std::string& file, int error) {
  return failure_report(file, "could not be opened", std::strerror(error));
}

// Permissions bind root only where root chooses: a run started as root
// gives up root in the child for user nobody, so that read-only means
// read-only. A run started by any other user keeps that user.
uid_t plain_uid = 65534;
gid_t plain_gid = 65534;

void as_plain_user() {
  if (::geteuid() != 0) return;
  if (::setgroups(0, nullptr) != 0 || ::setgid(plain_gid) != 0 || ::setuid(plain_uid) != 0) ::_exit(125);
}

// Why the plain user cannot run program here; empty when it can.
std::string plain_user_cannot_run(const fs::path& program) {
  const pid_t child = ::fork();
  if (child == 0) {
    as_plain_user();
    ::_exit(::access(program.c_str(), X_OK) == 0 ? 0 : 126);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 125) {
    return "root cannot give up its privileges here: there is no other user to run as";
  }
  return "user " + std::to_string(plain_uid) + " cannot reach " + program.string() +
         " (give TMPDIR a folder that every user may enter)";
}

class FaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (const passwd* nobody = ::getpwnam("nobody")) {
      plain_uid = nobody->pw_uid;
      plain_gid = nobody->pw_gid;
    }
  }

  // The folder as the plain user may use it.
  void allow(fs::perms perms) { fs::permissions(folder.path, perms); }

  // Options for a run that read-only files bind, or nothing when no such run
  // can be had here (cannot_run says why). Run as root, the plain user may
  // not reach the build tree (a checkout in a folder only its owner may
  // enter), so the run is of a copy of the program in a temporary folder.
  std::optional<RunOptions> plain_user_run() {
    RunOptions options = with_setup(as_plain_user);
    if (::geteuid() != 0) return options;
    program_copy.emplace();
    fs::permissions(program_copy->path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
    options.program = (program_copy->path / "gbkconvert").string();
    fs::copy_file(program_path(), options.program);
    cannot_run = plain_user_cannot_run(options.program);
    if (!cannot_run.empty()) return std::nullopt;
    return options;
  }

  ScratchFolder folder;
  std::optional<ScratchFolder> program_copy;
  std::string cannot_run;
};

TEST_F(FaultTest, ReadOnlyFolderReportsEachOutputAndConvertsNothingElse) {
  const std::optional<RunOptions> as_plain_user = plain_user_run();
  if (!as_plain_user) GTEST_SKIP() << cannot_run;
  folder.put("EXAM.GBK", course);
  // Read-only for everyone: also for a plain user who owns it.
  allow(fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
        fs::perms::others_read | fs::perms::others_exec);
  const RunResult run = run_program(folder.path, {"EXAM"}, *as_plain_user);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n number of questions = 4  number of students =  3 \n" + opening_failure("EXAM.ans", EACCES) +
                            opening_failure("EXAM.dat", EACCES) + opening_failure("EXAM.txt", EACCES) +
                            " EXAM.GBK: 3 student records, 4 questions -> EXAM.dat (failed), EXAM.txt (failed), "
                            "EXAM.ans (failed)\n");
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
  for (const char* name : {"EXAM.ans", "EXAM.dat", "EXAM.txt"}) EXPECT_FALSE(folder.has(name)) << name;
}

TEST_F(FaultTest, ReadOnlyOutputFileKeepsItsBytesWhileTheOthersAreWritten) {
  const std::optional<RunOptions> as_plain_user = plain_user_run();
  if (!as_plain_user) GTEST_SKIP() << cannot_run;
  folder.put("EXAM.GBK", course);
  folder.put("EXAM.dat", "an earlier run's result\r\n");
  fs::permissions(folder.path / "EXAM.dat", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  allow(fs::perms::all);
  const RunResult run = run_program(folder.path, {"EXAM"}, *as_plain_user);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.output.find(opening_failure("EXAM.dat", EACCES)), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("filename= EXAM.txt"), std::string::npos) << run.output;
  EXPECT_TRUE(run.output.ends_with(
      "Any key to continue\n EXAM.GBK: 3 student records, 4 questions -> EXAM.dat (failed), EXAM.txt, EXAM.ans\n"))
      << run.output;
  EXPECT_EQ(folder.get("EXAM.dat"), "an earlier run's result\r\n");
  EXPECT_EQ(folder.get("EXAM.txt"), course_txt);
  EXPECT_EQ(folder.get("EXAM.ans"), course_ans);
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
}

constexpr rlim_t file_size_limit = 64 * 1024;

void with_full_file_system() {
  const rlimit limit{file_size_limit, file_size_limit};
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
  ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails with EFBIG
}

TEST_F(FaultTest, FileSystemFillingUpMidRunIsReportedForEachOutputItStopped) {
  // About 116 bytes of .dat and 102 of .txt per student: both outgrow the
  // limit, the small .ans file does not.
  std::string answers;
  for (int q = 0; q < 100; ++q) answers += "abcde"[q % 5] + std::string(",");
  std::string big = "SH3,,,,,,,," + answers + "\r\nFH,,,,,,,,100,2000\r\n";  // every answer keyed
  for (int s = 0; s < 2000; ++s) {
    big += "SD," + std::to_string(100000 + s) + ",Group " + std::to_string(s % 7) + ",,,,,," + answers + "\r\n";
  }
  folder.put("BIG.GBK", big);
  const RunResult run = run_program(folder.path, {"BIG"}, with_setup(with_full_file_system));
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1) << "a signal would make this negative";
  const std::string too_large = std::strerror(EFBIG);
  EXPECT_NE(run.output.find(failure_report("BIG.dat", "could not be written completely", too_large)), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(failure_report("BIG.txt", "could not be written completely", too_large)), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("filename= BIG.ans"), std::string::npos) << run.output;
  EXPECT_TRUE(run.output.ends_with(
      "Any key to continue\n BIG.GBK: 2000 student records, 100 questions -> BIG.dat (failed), BIG.txt (failed), "
      "BIG.ans\n"))
      << run.output;
  EXPECT_LE(fs::file_size(folder.path / "BIG.dat"), file_size_limit);
  std::string ans;
  for (int q = 0; q < 100; ++q) ans += "12345"[q % 5] + std::string("\r\n");
  EXPECT_EQ(folder.get("BIG.ans"), ans);
  EXPECT_EQ(folder.get("BIG.GBK"), big);
}

// A line longer than the memory the run may have: reading ends there, the
// course file is reported, and the run ends by itself; what was read of the
// line is its last line.
constexpr rlim_t address_space_limit = 24 * 1024 * 1024;

void with_little_memory() {
  const rlimit limit{address_space_limit, address_space_limit};
  if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
}

TEST_F(FaultTest, ALineLongerThanTheMemoryIsReportedAndEndsTheReading) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  if (!program_emulator().empty()) GTEST_SKIP() << "qemu-user accepts an address space limit but does not apply it";
  std::string long_line = "SD,2,y,,,,,,";
  for (std::size_t answers = 0; answers < 10 * 1024 * 1024; ++answers) long_line += "a,";
  folder.put("LONG.GBK",
             "SH3,,,,,,,,a,b\r\nFH,,,,,,,,2,3\r\nSD,1,x,,,,,,a,b,\r\n" + long_line + "\r\nSD,3,z,,,,,,a,b,\r\n");
  const RunResult run = run_program(folder.path, {"LONG"}, with_setup(with_little_memory));
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1) << run.output;
  EXPECT_NE(run.output.find(failure_report("LONG.gbk", "could not be read", "there is not enough memory for its line")),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(" LONG.GBK (failed): 2 student records, 2 questions"), std::string::npos) << run.output;
  EXPECT_TRUE(folder.get("LONG.txt").starts_with("..\r\n")) << "the lines before it are converted";
}

// Course files that pass the existence test and still cannot be used: the
// outputs are opened (and emptied) first, then the course file fails, and
// the run ends as for an empty course file with the failure reported. The
// report names the course file as the existence test found it.
const std::string unread_course_report =
    " EXAM.GBK (failed): 0 student records, no header record -> EXAM.dat, EXAM.txt, EXAM.ans\n";

TEST_F(FaultTest, CourseFileThatCannotBeOpenedLeavesEmptyOutputs) {
  const std::optional<RunOptions> as_plain_user = plain_user_run();
  if (!as_plain_user) GTEST_SKIP() << cannot_run;
  folder.put("EXAM.GBK", course);
  fs::permissions(folder.path / "EXAM.GBK", fs::perms::none);
  allow(fs::perms::all);
  const RunResult run = run_program(folder.path, {"EXAM"}, *as_plain_user);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n" + opening_failure("EXAM.gbk", EACCES) + unread_course_report);
  for (const char* name : {"EXAM.ans", "EXAM.dat", "EXAM.txt"}) EXPECT_EQ(folder.get(name), "") << name;
  fs::permissions(folder.path / "EXAM.GBK", fs::perms::owner_read);
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
}

// A whole folder (--all) as a plain user may use it: a course file it may
// not read fails and the others convert; a folder it may enter but not
// list is named, and nothing is converted.
TEST_F(FaultTest, AWholeFolderGoesOnPastAnUnreadableCourseFileAndNamesAnUnreadableFolder) {
  const std::optional<RunOptions> as_plain_user = plain_user_run();
  if (!as_plain_user) GTEST_SKIP() << cannot_run;
  folder.put("A.GBK", course);
  folder.put("EXAM.GBK", course);
  fs::permissions(folder.path / "EXAM.GBK", fs::perms::none);
  allow(fs::perms::all);
  const RunResult run = run_program(folder.path, {"--all"}, *as_plain_user);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(
      run.output.ends_with("\n A.GBK: converted, 3 student records, 4 questions, no findings\n"
                           " EXAM.GBK: failed (EXAM.gbk could not be opened: " +
                           std::string(std::strerror(EACCES)) +
                           ")\n"
                           " 2 course files: 1 converted (0 of them with findings), 0 refused, 1 failed\n"))
      << run.output;
  EXPECT_EQ(folder.get("A.dat"), course_dat);

  fs::remove(folder.path / "A.dat");
  allow(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
  const RunResult unlisted = run_program(folder.path, {"--all"}, *as_plain_user);
  allow(fs::perms::all);
  EXPECT_FALSE(unlisted.timed_out);
  EXPECT_EQ(unlisted.exit_code, 1);
  EXPECT_EQ(unlisted.output, "\n The folder " + fs::canonical(folder.path).string() + " cannot be read\n");
  EXPECT_FALSE(folder.has("A.dat"));
}

// The course file passes the existence test, then vanishes while the outputs
// are opened (another program removed it): the open finds nothing.
std::string removed_course_file;

void remove_course_file_on_opening_ans() {
  preload_into_run(REMOVE_ON_OPEN_PATH);
  ::setenv("GBK_REMOVE_ON_OPENING", ".ans", 1);
  ::setenv("GBK_REMOVED_FILE", removed_course_file.c_str(), 1);
}

TEST_F(FaultTest, CourseFileRemovedAfterTheExistenceTestIsReported) {
  folder.put("EXAM.GBK", course);
  removed_course_file = (folder.path / "EXAM.GBK").string();
  const RunResult run = run_program(folder.path, {"EXAM"}, with_setup(remove_course_file_on_opening_ans));
  EXPECT_FALSE(run.timed_out);
  EXPECT_FALSE(fs::exists(folder.path / "EXAM.GBK"));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n" + opening_failure("EXAM.gbk", ENOENT) + unread_course_report);
  for (const char* name : {"EXAM.ans", "EXAM.dat", "EXAM.txt"}) EXPECT_EQ(folder.get(name), "") << name;
}

TEST_F(FaultTest, NameWithWildcardMatchesInTheSearchButOpensNothing) {
  folder.put("EXAM.GBK", course);
  const RunResult run = run_program(folder.path, {"EX?M"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  const std::string why = "a name with * or ? names no single file";
  EXPECT_EQ(run.output, "\n" + failure_report("EX?M.ans", "could not be opened", why) +
                            failure_report("EX?M.dat", "could not be opened", why) +
                            failure_report("EX?M.txt", "could not be opened", why) +
                            failure_report("EX?M.gbk", "could not be opened", why) +
                            " EX?M.gbk (failed): 0 student records, no header record -> EX?M.dat (failed), "
                            "EX?M.txt (failed), EX?M.ans (failed)\n");
  EXPECT_EQ(folder.get("EXAM.GBK"), course);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

TEST_F(FaultTest, CourseFileWhoseReadingFailsIsReported) {
  // A regular file that opens but refuses every read: the memory of the
  // reading process itself, read at address 0.
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc";
  fs::create_symlink("/proc/self/mem", folder.path / "MEM.GBK");
  const RunResult run = run_program(folder.path, {"MEM"});
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "\n" + failure_report("MEM.gbk", "could not be read", std::strerror(EIO)) +
                            " MEM.GBK (failed): 0 student records, no header record -> MEM.dat, MEM.txt, MEM.ans\n");
  for (const char* name : {"MEM.ans", "MEM.dat", "MEM.txt"}) EXPECT_EQ(folder.get(name), "") << name;
}

// What is not a regular file is no course file: the run ends with its
// message before it opens anything, and never blocks on the thing itself.
TEST_F(FaultTest, SocketOrDeviceNamedLikeACourseFileIsNoCourseFile) {
  const fs::path socket_path = folder.path / "SOCKET.GBK";
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socket_path.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  fs::create_symlink("/dev/null", folder.path / "DEVICE.GBK");
  fs::create_symlink("/dev/zero", folder.path / "ZERO.GBK");

  for (const char* base : {"SOCKET", "DEVICE", "ZERO"}) {
    const RunResult run = run_program(folder.path, {base}, with_setup(nullptr));
    EXPECT_FALSE(run.timed_out) << base;
    EXPECT_EQ(run.exit_code, 1) << base;
    EXPECT_EQ(run.output, "\n There is no file called " + std::string(base) + ".gbk\n");
    for (const char* extension : {".ans", ".dat", ".txt"}) {
      EXPECT_FALSE(folder.has(base + std::string(extension))) << base << extension;
    }
  }
  ::close(listener);
}

}  // namespace
}  // namespace tests
