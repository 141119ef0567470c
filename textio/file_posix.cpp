#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "textio/file_system.hpp"
#include "textio/strings.hpp"

namespace textio::os {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (valid()) ::close(static_cast<int>(native));
    native = other.native;
    other.native = -1;
  }
  return *this;
}

FileHandle::~FileHandle() {
  if (valid()) ::close(static_cast<int>(native));
}

namespace {

int fd_of(const FileHandle& file) { return static_cast<int>(file.native); }

// Channel error numbers for the errno values that opening can give.
int open_error_number(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EWOULDBLOCK:
    case ETXTBSY:
    case EISDIR: return 70;
    case ENOENT: return 53;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return 76;
    default: return 75;
  }
}

Failure failure_of(int error_number, int error) { return {error_number, std::strerror(error)}; }

// Opens without blocking (a FIFO without a writer or reader must not hang
// the run), takes the exclusive lock, then makes the descriptor blocking
// unless it is a disk file, whose reads and writes never wait on
// O_NONBLOCK (a run over a whole folder opens hundreds: the calls are
// spared). held_bytes: what a disk file holds, 0 for any other.
OpenResult open_locked(const std::string& name, NameMatch match, int flags, off_t& held_bytes) {
  OpenResult result;
  held_bytes = 0;
  const std::string path = match == NameMatch::exact ? name : resolve_file_name(name);
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    const int error = errno;
    result.failure = failure_of(open_error_number(error), error);
    return result;
  }
  FileHandle file(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    result.failure = error == EWOULDBLOCK ? Failure{70, "the file is in use by another program"}
                                          : failure_of(open_error_number(error), error);
    return result;
  }
  struct stat info {};
  result.is_disk_file = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (result.is_disk_file) {
    held_bytes = info.st_size;
  } else {
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  }
  result.file = std::move(file);
  result.path = path;
  return result;
}

// The size of a disk file, or -1 when it cannot be told.
off_t size_of(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

}  // namespace

OpenResult open_for_output(const std::string& name, NameMatch match) {
  off_t held_bytes = 0;
  OpenResult result = open_locked(name, match, O_WRONLY | O_CREAT, held_bytes);
  // Only a file that holds something is cut: ext4 takes any cut to size 0
  // for a file being replaced and writes all of it out when it is closed,
  // which would make the run wait for the disk.
  if (result.file.valid() && held_bytes != 0 && ::ftruncate(fd_of(result.file), 0) != 0) {
    const int error = errno;
    result.failure = failure_of(open_error_number(error), error);
    result.file = FileHandle{};
  }
  return result;
}

OpenResult open_for_input(const std::string& name, NameMatch match) {
  off_t held_bytes = 0;
  return open_locked(name, match, O_RDONLY, held_bytes);
}

Failure write_all(FileHandle& file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_of(file), data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return failure_of(61, errno);
    }
    if (written == 0) return {61, "nothing could be written"};
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

Failure read_some(FileHandle& file, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  while (true) {
    const ssize_t n = ::read(fd_of(file), data, size);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return {};
    }
    if (errno != EINTR) return failure_of(75, errno);
  }
}

Failure read_at(FileHandle& file, std::uint64_t offset, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  while (true) {
    const ssize_t n = ::pread(fd_of(file), data, size, static_cast<off_t>(offset));
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return {};
    }
    if (errno != EINTR) return failure_of(75, errno);
  }
}

Failure cut_at(FileHandle& file, std::uint64_t offset) {
  // A file that ends there already is left alone (see open_for_output).
  if (size_of(fd_of(file)) == static_cast<off_t>(offset)) return {};
  if (::ftruncate(fd_of(file), static_cast<off_t>(offset)) != 0) return failure_of(61, errno);
  return {};
}

Failure close_file(FileHandle& file) {
  if (!file.valid()) return {};
  const int fd = fd_of(file);
  file.native = -1;
  if (::close(fd) != 0 && errno != EINTR) return failure_of(61, errno);
  return {};
}

namespace {

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upper_case_ascii(a) == upper_case_ascii(b);
}

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entries of directory dir whose names equal component but for case:
// how many, and the first in byte order, so that the choice does not depend
// on the order in which the directory lists its entries.
struct CaseMatches {
  std::string first;
  int count = 0;
};

CaseMatches case_matches_in(const std::string& dir, const std::string& component) {
  CaseMatches matches;
  DIR* stream = ::opendir(dir.empty() ? "." : dir.c_str());
  if (stream == nullptr) return matches;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (same_ignoring_case(name, component)) {
      if (matches.count == 0 || compare_bytes(name, matches.first) < 0) matches.first = std::string(name);
      ++matches.count;
    }
  }
  ::closedir(stream);
  return matches;
}

// A component that matches nothing, or (for the name of a file) more than one
// entry ignoring case, stays as given.
std::string resolve(const std::string& path, bool file) {
  if (path.empty() || exists(path)) return path;
  std::string resolved;
  std::size_t at = 0;
  if (path[0] == '/') {
    resolved = "/";
    at = 1;
  }
  while (at <= path.size()) {
    std::size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    const std::string component = path.substr(at, slash - at);
    if (!component.empty() && component != "." && component != "..") {
      const std::string exact = resolved + component;
      if (exists(exact)) {
        resolved = exact;
      } else {
        const CaseMatches matches = case_matches_in(resolved, component);
        const bool the_file_itself = file && slash == path.size();
        const bool taken = matches.count == 1 || (matches.count > 1 && !the_file_itself);
        resolved += taken ? matches.first : component;
      }
    } else {
      resolved += component;
    }
    if (slash < path.size()) resolved += '/';
    at = slash + 1;
  }
  return resolved;
}

}  // namespace

std::string resolve_name(const std::string& path) { return resolve(path, false); }

std::string resolve_file_name(const std::string& path) { return resolve(path, true); }

std::string_view folder_part(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return path.substr(0, slash == std::string_view::npos ? 0 : slash + 1);
}

}  // namespace textio::os
