// Runs one command and prints what it cost, finer than /usr/bin/time (whose
// CPU times have a resolution of 10 ms, as long as a whole conversion of the
// smaller course files takes):
//   measure_run [--stdout FILE] PROGRAM ARG...
// prints "WALL USER SYS PEAK" on standard error: wall-clock, user CPU and
// system CPU seconds with microseconds, peak resident memory in KiB. With
// --stdout the command's standard output goes to FILE (created or emptied),
// so a copy by `cat` is measured without a shell around it. Standard input
// stays the caller's. The exit code is the command's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

int usage() {
  std::fputs("usage: measure_run [--stdout FILE] PROGRAM ARG...\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const char* output = nullptr;
  if (argc > 2 && std::strcmp(argv[1], "--stdout") == 0) {
    output = argv[2];
    first = 3;
  }
  if (first >= argc) return usage();

  const double start = now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("measure_run: fork");
    return 1;
  }
  if (child == 0) {
    if (output != nullptr) {
      const int file = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (file < 0 || dup2(file, STDOUT_FILENO) < 0) _exit(127);
      close(file);
    }
    execvp(argv[first], argv + first);
    std::perror("measure_run: exec");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("measure_run: wait");
    return 1;
  }
  const double wall = now() - start;
  std::fprintf(stderr, "%.6f %.6f %.6f %ld\n", wall, seconds(usage.ru_utime), seconds(usage.ru_stime), usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
