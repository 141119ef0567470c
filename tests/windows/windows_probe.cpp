// A small Windows program that the Windows tests run under Wine next to
// gbkconvert.exe, for what a test cannot do from outside:
//   hold HEXNAME        opens the file with no sharing, prints "held", and
//                       keeps it open until its standard input ends
//   hide HEXNAME        gives the file the hidden attribute
//   run HEXEXE HEXLINE  starts EXE with exactly that command line, with the
//                       probe's standard handles, and returns its exit code
//   list HEXPATTERN     the names the program's file search gives, one a line
//   upper HEXTEXT       the program's upper-case mapping, in hex
// Arguments are hex so that blanks, quotes, tabs and backslashes survive the
// way from the test to the probe unchanged.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "hex_text.hpp"
#include "platform/file_search.hpp"
#include "textio/strings.hpp"

namespace {

using hex_text::from_hex;
using hex_text::to_hex;

void write_out(std::string_view text) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE && h != nullptr) ::CloseHandle(h);
  }
};

int hold(const std::string& name) {
  Handle file{::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) {
    write_out("not held " + std::to_string(::GetLastError()) + "\n");
    return 2;
  }
  write_out("held\n");
  char byte;
  DWORD got = 0;
  while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got == 1) {
  }
  return 0;
}

int hide(const std::string& name) {
  if (!::SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_HIDDEN)) return 2;
  const DWORD now = ::GetFileAttributesA(name.c_str());
  return now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_HIDDEN) != 0 ? 0 : 3;
}

int run(const std::string& program, std::string line) {
  STARTUPINFOA start_up{};
  start_up.cb = sizeof start_up;
  start_up.dwFlags = STARTF_USESTDHANDLES;
  for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    ::SetHandleInformation(::GetStdHandle(which), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  start_up.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  start_up.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
  start_up.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  // Wine's process start now and then fails with an internal error on a
  // loaded machine; that says nothing about the program, so it is tried again.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    started = ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start_up,
                               &process) != 0;
    if (!started && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  if (!started) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", program.c_str(), ::GetLastError());
    return 200;
  }
  Handle thread{process.hThread};
  Handle child{process.hProcess};
  ::WaitForSingleObject(child.h, INFINITE);
  DWORD code = 201;
  ::GetExitCodeProcess(child.h, &code);
  return static_cast<int>(code);
}

int list(const std::string& pattern) {
  platform::FileSearch search;
  for (std::string name = platform::first_file_name(search, pattern, 0); !name.empty();
       name = platform::next_file_name(search)) {
    write_out(name + "\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "hold" && argc == 3) return hold(from_hex(argv[2]));
  if (command == "hide" && argc == 3) return hide(from_hex(argv[2]));
  if (command == "run" && argc == 4) return run(from_hex(argv[2]), from_hex(argv[3]));
  if (command == "list" && argc == 3) return list(from_hex(argv[2]));
  if (command == "upper" && argc == 3) {
    write_out(to_hex(textio::upper_case(from_hex(argv[2]))) + "\n");
    return 0;
  }
  std::fputs("usage: windows_probe hold|hide|run|list|upper ...\n", stderr);
  return 64;
}
