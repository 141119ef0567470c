// A search of the system's directories, closed on every way out. Windows
// builds only.
#pragma once

#include <windows.h>

namespace textio::os {

struct FindHandle {
  HANDLE handle;
  explicit FindHandle(HANDLE h) : handle(h) {}
  ~FindHandle() {
    if (handle != INVALID_HANDLE_VALUE) ::FindClose(handle);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
};

}  // namespace textio::os
