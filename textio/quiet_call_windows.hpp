// For the length of one file, directory or process call: no critical-error
// or missing-file box may stop the run (an empty drive gives a failure, not
// a dialog), and the last-error value starts clear. Windows builds only.
#pragma once

#include <windows.h>

#include <string>

namespace textio::os {

struct QuietCall {
  UINT previous;
  QuietCall() : previous(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) { ::SetLastError(0); }
  ~QuietCall() { ::SetErrorMode(previous); }
  QuietCall(const QuietCall&) = delete;
  QuietCall& operator=(const QuietCall&) = delete;
};

// The channel error number for a system error code: 70 access or sharing
// refused, 53 file not found, 76 path not found, 61 disk full, 75 the rest.
inline int error_number_of(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return 70;
    case ERROR_FILE_NOT_FOUND: return 53;
    case ERROR_PATH_NOT_FOUND: return 76;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return 61;
    default: return 75;
  }
}

}  // namespace textio::os
