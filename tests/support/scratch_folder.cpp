#include "tests/support/scratch_folder.hpp"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tests {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const fs::path& parent) {
  std::string pattern = (parent / "gbk-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder in " + parent.string());
  path = pattern;
}

ScratchFolder::~ScratchFolder() {
  if (keep) return;
  // A test may have taken its own rights away from a file or folder in it.
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path, ignored);
}

void ScratchFolder::put(const fs::path& name, std::string_view bytes) const {
  fs::create_directories((path / name).parent_path());
  std::ofstream out(path / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (path / name).string());
}

std::string ScratchFolder::get(const fs::path& name) const {
  std::ifstream in(path / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool ScratchFolder::has(const fs::path& name) const { return fs::exists(path / name); }

}  // namespace tests
