// A fuzz target's main where libFuzzer is not at hand (the ARM64 build run
// under qemu-user): runs the target once on each file named, and on each
// file in each folder named, in the order of their names. A missing folder
// runs nothing; a broken rule aborts, as under the fuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path named = argv[i];
    if (fs::is_directory(named)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(named)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (fs::exists(named)) {
      inputs.push_back(named);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs run\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
