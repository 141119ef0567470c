// Loaded into a run of the program (LD_PRELOAD) to stage a course file that
// vanishes after its existence test: when the program opens a file whose
// name ends with $GBK_REMOVE_ON_OPENING, the file $GBK_REMOVED_FILE is
// unlinked first. The program opens its outputs after the existence test and
// before the course file, so the course file is gone by the time it is opened.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

bool ends_with(const char* text, const char* end) {
  const std::size_t text_size = std::strlen(text);
  const std::size_t end_size = std::strlen(end);
  return text_size >= end_size && std::strcmp(text + text_size - end_size, end) == 0;
}

void remove_if_triggered(const char* path) {
  const char* trigger = std::getenv("GBK_REMOVE_ON_OPENING");
  const char* removed = std::getenv("GBK_REMOVED_FILE");
  if (path != nullptr && trigger != nullptr && removed != nullptr && ends_with(path, trigger)) ::unlink(removed);
}

int open_through(const char* path, int flags, mode_t mode) {
  remove_if_triggered(path);
  const auto next = reinterpret_cast<OpenFunction>(::dlsym(RTLD_NEXT, "open"));
  return next(path, flags, mode);
}

}  // namespace

// The program opens every file through open(2); should it ever call another
// entry point, the file stays and the test that relies on this fails.
extern "C" int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0) {
    std::va_list arguments;
    va_start(arguments, flags);
    mode = static_cast<mode_t>(va_arg(arguments, unsigned));
    va_end(arguments);
  }
  return open_through(path, flags, mode);
}
