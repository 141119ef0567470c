// What the Windows tests share: the files of their scratch folders, and a
// Wine made ready for them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/windows/wine_runner.hpp"

namespace windows_tests {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every regular file below a folder, by relative name, with its bytes.
inline std::map<std::string, std::string> folder_contents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[std::filesystem::relative(entry.path(), folder).string()] = read_file(entry.path());
    }
  }
  return files;
}

// Makes the tests' Wine prefix ready. Where Wine cannot run Windows
// programs the test fails when the build requires Wine, and is skipped
// otherwise; the caller returns when IsSkipped() or HasFatalFailure().
inline void require_wine() {
  const std::string problem = wine_runner::prepare_wine(WINDOWS_PROBE_EXE);
  if (problem.empty()) return;
#if GBK_REQUIRE_WINE
  FAIL() << problem;
#else
  GTEST_SKIP() << "Wine cannot run Windows programs here: " << problem;
#endif
}

}  // namespace windows_tests
