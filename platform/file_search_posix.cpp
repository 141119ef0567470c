#include <dirent.h>
#include <sys/stat.h>

#include "platform/file_search.hpp"
#include "textio/file_system.hpp"

namespace platform {

namespace {

// Closes the directory stream on every way out.
struct DirectoryStream {
  DIR* stream;
  explicit DirectoryStream(const std::string& path) : stream(::opendir(path.c_str())) {}
  ~DirectoryStream() {
    if (stream != nullptr) ::closedir(stream);
  }
  DirectoryStream(const DirectoryStream&) = delete;
  DirectoryStream& operator=(const DirectoryStream&) = delete;
};

// Only regular files are normal files here: a directory has the directory
// attribute, and a FIFO, socket or device counts as a system file, so that a
// course file is never one of them.
int attributes_of(const std::string& path, std::string_view name) {
  int attributes = name.starts_with('.') ? hidden : 0;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return attributes | system;  // a dangling link
  if (S_ISDIR(info.st_mode)) return attributes | directory;
  if (!S_ISREG(info.st_mode)) return attributes | system;
  return attributes;
}

}  // namespace

std::vector<DirectoryEntry> matching_entries(std::string_view pattern) {
  std::string full(pattern);
  if (full.ends_with('/')) full += "*.*";
  const std::string directory(textio::os::folder_part(full));
  const std::string last = full.substr(directory.size());

  std::vector<DirectoryEntry> entries;
  const std::string resolved = directory.empty() ? std::string() : textio::os::resolve_name(directory);
  DirectoryStream dir(resolved.empty() ? std::string(".") : resolved);
  if (dir.stream == nullptr) return entries;
  while (const dirent* entry = ::readdir(dir.stream)) {
    const std::string name(entry->d_name);
    if (!wildcard_match(last, name)) continue;
    entries.push_back({name, attributes_of(resolved + name, name)});
  }
  return entries;
}

}  // namespace platform
