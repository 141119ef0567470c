// A private folder for the files of one test, one benchmark or one fuzz
// target, removed with everything in it when the value goes away.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tests {

struct ScratchFolder {
  std::filesystem::path path;
  bool keep = false;  // left in place, for a look after a failed test

  // A new empty folder inside parent, readable by its owner alone.
  explicit ScratchFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::filesystem::path operator/(const std::filesystem::path& name) const { return path / name; }

  // Writes the file's bytes as they are, making the folders on its way.
  void put(const std::filesystem::path& name, std::string_view bytes) const;
  // The file's bytes; empty when it cannot be read (has tells the two apart).
  std::string get(const std::filesystem::path& name) const;
  bool has(const std::filesystem::path& name) const;
};

}  // namespace tests
