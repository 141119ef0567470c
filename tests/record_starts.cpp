// Loaded into a run of the program (LD_PRELOAD) to record the programs it
// starts, in their order: each execvp appends its last argument and a line
// end to the file $GBK_START_RECORD, then execs without this library. The
// program learns that an exec has happened before it goes on to its next
// start, so the record holds the starts in order, however the started
// programs then run side by side.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using ExecvpFunction = int (*)(const char*, char* const*);

void record(char* const* argv) {
  const char* path = std::getenv("GBK_START_RECORD");
  if (path == nullptr || argv == nullptr || argv[0] == nullptr) return;
  const char* last = argv[0];
  for (char* const* at = argv; *at != nullptr; ++at) last = *at;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // One write per start: appends from several processes never interleave.
  char line[4096];
  const std::size_t size = std::min(std::strlen(last), sizeof line - 1);
  std::memcpy(line, last, size);
  line[size] = '\n';
  ssize_t ignored = ::write(fd, line, size + 1);
  (void)ignored;
  ::close(fd);
}

}  // namespace

extern "C" int execvp(const char* file, char* const* argv) {
  record(argv);
  ::unsetenv("LD_PRELOAD");  // the started program runs as it would for a user
  const auto next = reinterpret_cast<ExecvpFunction>(::dlsym(RTLD_NEXT, "execvp"));
  return next(file, argv);
}
