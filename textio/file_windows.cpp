#include <windows.h>

#include <string_view>

#include "textio/file_system.hpp"
#include "textio/find_handle_windows.hpp"
#include "textio/quiet_call_windows.hpp"

namespace textio::os {

namespace {

HANDLE handle_of(const FileHandle& file) { return reinterpret_cast<HANDLE>(file.native); }

void close_native(std::intptr_t native) {
  if (native != -1) ::CloseHandle(reinterpret_cast<HANDLE>(native));
}

// The system's own words for an error code, without the line end it adds.
std::string reason_of(DWORD code) {
  char* text = nullptr;
  const DWORD size =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string reason = size > 0 && text != nullptr ? std::string(text, size) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "system error " + std::to_string(code);
  return reason;
}

Failure failure_of(DWORD code) { return {error_number_of(code), reason_of(code)}; }

// A write or read that failed without a code still failed.
DWORD last_error_or(DWORD fallback) {
  const DWORD code = ::GetLastError();
  return code != 0 ? code : fallback;
}

// The name with its last part spelled as the directory stores it (the
// system finds "exam.gbk" for EXAM.GBK): what a report or an editor shows.
std::string as_stored(const std::string& name) {
  WIN32_FIND_DATAA found{};
  QuietCall quiet;
  const FindHandle search(::FindFirstFileA(name.c_str(), &found));
  if (search.handle == INVALID_HANDLE_VALUE) return name;
  return std::string(folder_part(name)) + found.cFileName;
}

// Share mode 0: while the channel is open no other opener, reader or
// writer, gets the file, and a file another program holds cannot be opened.
OpenResult open_unshared(const std::string& name, DWORD access, DWORD creation) {
  OpenResult result;
  if (name.find('\0') != std::string::npos) {
    // The system would read the name only up to the zero byte.
    result.failure = failure_of(ERROR_INVALID_NAME);
    return result;
  }
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD code = 0;
  {
    QuietCall quiet;
    handle = ::CreateFileA(name.c_str(), access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    code = ::GetLastError();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    result.failure = failure_of(code != 0 ? code : ERROR_OPEN_FAILED);
    return result;
  }
  result.file = FileHandle(reinterpret_cast<std::intptr_t>(handle));
  result.path = as_stored(name);
  QuietCall quiet;
  result.is_disk_file = ::GetFileType(handle) == FILE_TYPE_DISK;
  return result;
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close_native(native);
    native = other.native;
    other.native = -1;
  }
  return *this;
}

FileHandle::~FileHandle() { close_native(native); }

// The system matches names ignoring case: both rules open the same file.
OpenResult open_for_output(const std::string& name, NameMatch) {
  // Opened as it is (or created), and emptied only once this run holds it.
  OpenResult result = open_unshared(name, GENERIC_WRITE, OPEN_ALWAYS);
  if (result.file.valid() && result.is_disk_file) {
    const Failure cut = cut_at(result.file, 0);
    if (cut.error_number != 0) {
      result.failure = cut;
      result.file = FileHandle{};
    }
  }
  return result;
}

OpenResult open_for_input(const std::string& name, NameMatch) {
  return open_unshared(name, GENERIC_READ, OPEN_EXISTING);
}

Failure write_all(FileHandle& file, const char* data, std::size_t size) {
  while (size > 0) {
    // One request is at most what a DWORD counts.
    const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    QuietCall quiet;
    if (!::WriteFile(handle_of(file), data, piece, &written, nullptr)) {
      const DWORD code = last_error_or(ERROR_WRITE_FAULT);
      return {61, reason_of(code)};
    }
    if (written == 0) return {61, reason_of(ERROR_DISK_FULL)};
    data += written;
    size -= written;
  }
  return {};
}

Failure read_some(FileHandle& file, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD read = 0;
  QuietCall quiet;
  if (!::ReadFile(handle_of(file), data, piece, &read, nullptr)) {
    const DWORD code = last_error_or(ERROR_READ_FAULT);
    // A pipe whose writer has gone is at its end, not broken.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return {};
    return failure_of(code);
  }
  got = read;
  return {};
}

// A read at an offset moves the file pointer of a handle opened for
// synchronous reading: it is put back where it was.
Failure read_at(FileHandle& file, std::uint64_t offset, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  QuietCall quiet;
  LARGE_INTEGER was{};
  if (!::SetFilePointerEx(handle_of(file), LARGE_INTEGER{}, &was, FILE_CURRENT)) {
    return failure_of(last_error_or(ERROR_READ_FAULT));
  }
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  const bool done = ::ReadFile(handle_of(file), data, piece, &read, &at);
  const DWORD code = done ? 0 : last_error_or(ERROR_READ_FAULT);
  if (!::SetFilePointerEx(handle_of(file), was, nullptr, FILE_BEGIN)) {
    return failure_of(last_error_or(ERROR_READ_FAULT));
  }
  if (!done) return code == ERROR_HANDLE_EOF ? Failure{} : failure_of(code);
  got = read;
  return {};
}

Failure cut_at(FileHandle& file, std::uint64_t offset) {
  QuietCall quiet;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(handle_of(file), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_of(file))) {
    return {61, reason_of(last_error_or(ERROR_WRITE_FAULT))};
  }
  return {};
}

Failure close_file(FileHandle& file) {
  if (!file.valid()) return {};
  HANDLE handle = handle_of(file);
  file.native = -1;
  QuietCall quiet;
  if (!::CloseHandle(handle)) return {61, reason_of(last_error_or(ERROR_INVALID_HANDLE))};
  return {};
}

// The file system itself ignores case: every name is its own resolution.
std::string resolve_name(const std::string& path) { return path; }
std::string resolve_file_name(const std::string& path) { return path; }

std::string_view folder_part(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return path.substr(0, separator == std::string_view::npos ? 0 : separator + 1);
}

}  // namespace textio::os
