#include "platform/program_start.hpp"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "tests/support/scratch_folder.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ProgramArguments, WordsBeforeTwoBlanksThenTheRestWhole) {
  const struct {
    const char* line;
    std::vector<std::string> arguments;
  } cases[] = {
      {"xdg-open  EXAM.dat", {"xdg-open", "EXAM.dat"}},
      {"open -t  /tmp/my exam.dat", {"open", "-t", "/tmp/my exam.dat"}},
      {"notepad  C:\\exams\\biology.dat", {"notepad", "C:\\exams\\biology.dat"}},
      {"xdg-open   lead blank", {"xdg-open", " lead blank"}},
      {"xdg-open  two  blanks inside ", {"xdg-open", "two  blanks inside "}},
      {"editor", {"editor"}},
      {"editor  ", {"editor"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(program_arguments(c.line), c.arguments) << c.line;
}

class StartTest : public ::testing::Test {
 protected:
  // A stand-in program that writes its arguments, its standard streams and
  // its session to the record file; given a gate (a FIFO), only once a line
  // can be read from it.
  std::string write_stand_in(const fs::path& gate = {}) {
    const fs::path script = folder / "stand-in";
    std::ofstream(script) << "#!/bin/sh\n"
                          << (gate.empty() ? "" : "read go < '" + gate.string() + "'\n")
                          << "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
                          << "{ for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo\n"
                          << "  echo \"$streams\"\n"
                          << "  cut -d' ' -f6 /proc/$$/stat\n"
                          << "} > " << record.string() << ".tmp && mv " << record.string() << ".tmp " << record.string()
                          << "\n";
    fs::permissions(script, fs::perms::owner_all);
    return script.string();
  }

  std::vector<std::string> record_lines() {
    std::ifstream in(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  bool wait_for_record(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(record)) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  tests::ScratchFolder folder;
  const fs::path record = folder / "record";
};

TEST_F(StartTest, WaitedProgramHasRunWithItsArgumentsAndNullStreams) {
  const std::string program = write_stand_in();
  const ProgramStart started = start_program(program + "  my exam.dat", show_normal, true);
  EXPECT_EQ(started.error, 0);
  EXPECT_GT(started.process_number, 0);
  ASSERT_TRUE(fs::exists(record));
  const std::vector<std::string> lines = record_lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "[my exam.dat]");
  for (int fd = 1; fd <= 3; ++fd) EXPECT_EQ(lines[fd], "/dev/null") << "stream " << fd - 1;
  // A session of its own: no terminal, no signal meant for our job.
  EXPECT_NE(lines[4], std::to_string(::getsid(0)));
}

TEST_F(StartTest, UnwaitedProgramRunsOnWhileTheCallReturns) {
  // The stand-in blocks at its gate until the test opens it: the call must
  // come back while the program it started is still there, blocked.
  const fs::path gate = folder / "gate";
  ASSERT_EQ(::mkfifo(gate.c_str(), 0600), 0);
  const int gate_fd = ::open(gate.c_str(), O_RDWR | O_CLOEXEC);  // the stand-in's read waits for a line
  ASSERT_GE(gate_fd, 0);
  const std::string program = write_stand_in(gate);
  auto call = std::async(std::launch::async, [&] { return start_program(program + "  EXAM.dat", show_normal, false); });
  const bool returned = call.wait_for(20s) == std::future_status::ready;
  EXPECT_TRUE(returned) << "the call waited for the program it started";
  EXPECT_FALSE(fs::exists(record));
  // The gate stays open until the record is there: the stand-in may come to
  // it only now, and must still find the line.
  EXPECT_EQ(::write(gate_fd, "go\n", 3), 3);
  EXPECT_EQ(call.get().error, 0);
  const bool recorded = wait_for_record(20s);
  ::close(gate_fd);
  ASSERT_TRUE(recorded);
  const std::vector<std::string> lines = record_lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "[EXAM.dat]");
}

TEST_F(StartTest, LongCommandLinesArePassedWhole) {
  const std::string program = write_stand_in();
  const std::string line = program + "  " + std::string(400, 'n');
  start_program(line, show_normal, true);
  const std::vector<std::string> lines = record_lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "[" + std::string(400, 'n') + "]");
}

TEST_F(StartTest, MissingProgramIsReportedOnlyThroughTheErrorNumber) {
  for (bool wait : {false, true}) {
    const ProgramStart started = start_program((folder / "no-such-editor").string() + "  EXAM.dat", show_normal, wait);
    EXPECT_NE(started.error, 0);
  }
  EXPECT_NE(start_program("", show_normal, false).error, 0);
}

}  // namespace
}  // namespace platform
