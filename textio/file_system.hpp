// The operating system's side of text channels: opening with the sharing
// rule, reading and writing bytes, cutting a file. One file per platform
// implements it (file_posix.cpp, file_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace textio::os {

// An open file of the operating system, closed when the value goes away.
struct FileHandle {
  std::intptr_t native = -1;

  FileHandle() = default;
  explicit FileHandle(std::intptr_t n) : native(n) {}
  FileHandle(FileHandle&& other) noexcept : native(other.native) { other.native = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  bool valid() const { return native != -1; }
};

// What a failed call leaves behind: the channel error number and the
// system's own words for it.
struct Failure {
  int error_number = 0;  // 0: no failure
  std::string reason;
};

// How a name finds its file on a file system that tells case apart (the
// Windows file system ignores case whatever is asked).
enum class NameMatch {
  exact_or_any_case,  // the name as given, or else each part matched ignoring case (resolve_file_name)
  exact,              // as given only: a name that differs in case is another file
};

struct OpenResult {
  FileHandle file;
  bool is_disk_file = false;
  std::string path;  // the path the file was opened under
  Failure failure;
};

// Opens for writing, creating the file when missing, locked against every
// other opener, and only then emptied: a file another run holds is left
// exactly as it is.
OpenResult open_for_output(const std::string& name, NameMatch match);

// Opens an existing file for reading, locked against every other opener.
OpenResult open_for_input(const std::string& name, NameMatch match);

// Writes all bytes or fails (error 61).
Failure write_all(FileHandle& file, const char* data, std::size_t size);

// Reads up to size bytes; 0 with no failure means end of file.
Failure read_some(FileHandle& file, char* data, std::size_t size, std::size_t& got);

// Reads up to size bytes at the given offset, leaving the file's read
// position where it was; 0 with no failure means the file ends there.
Failure read_at(FileHandle& file, std::uint64_t offset, char* data, std::size_t size, std::size_t& got);

// Sets the end of file at the given offset.
Failure cut_at(FileHandle& file, std::uint64_t offset);

// Closes now and reports a failure of the close itself.
Failure close_file(FileHandle& file);

// The name the file system uses for a path: each component matched exactly
// first, otherwise case-insensitively (the first such name in byte order), so
// that names typed in any case find the files (a component that matches
// nothing stays as given).
std::string resolve_name(const std::string& path);

// The same for the path of a file: its folders as resolve_name finds them,
// its own name matched ignoring case only when exactly one entry of its
// folder matches it so, and otherwise kept as given, so that a name never
// picks one of two files that differ only in case.
std::string resolve_file_name(const std::string& path);

// The folder part of a path, up to and including its last separator ('/';
// on Windows also '\\' and ':'); empty for a name without a folder.
std::string_view folder_part(std::string_view path);

}  // namespace textio::os
