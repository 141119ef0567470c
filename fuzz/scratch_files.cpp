#include "scratch_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "textio/channels.hpp"

namespace scratch {

const tests::ScratchFolder& folder() {
  static const tests::ScratchFolder scratch_folder([] {
    struct stat info {};
    const bool shm = ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && ::access("/dev/shm", W_OK) == 0;
    return shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
  }());
  return scratch_folder;
}

std::string filler_line(std::string_view& input, std::size_t head_size) {
  std::string line;
  if (input.empty() || (static_cast<unsigned char>(input[0]) & 1) == 0) return line;
  const std::size_t shift = static_cast<unsigned char>(input[0]) >> 1;
  line.assign(textio::block_size - 2 - shift - head_size, 'P');
  line += "\r\n";
  input.remove_prefix(1);
  return line;
}

std::string across_first_block(std::string_view input, bool* filler) {
  // A UTF-8 byte-order mark stays at the start, where the reading passes
  // over it, and the filler follows it.
  std::string bytes;
  if (input.starts_with(textio::utf8_byte_order_mark)) {
    bytes = textio::utf8_byte_order_mark;
    input.remove_prefix(bytes.size());
  }
  const std::string line = filler_line(input, bytes.size());
  if (filler != nullptr) *filler = !line.empty();
  bytes += line;
  bytes.append(input);
  return bytes;
}

void detach_console() {
  const int null_in = ::open("/dev/null", O_RDONLY);
  const int null_out = ::open("/dev/null", O_WRONLY);
  if (null_in < 0 || null_out < 0) std::abort();
  ::dup2(null_in, STDIN_FILENO);
  ::dup2(null_out, STDOUT_FILENO);
  ::close(null_in);
  ::close(null_out);
}

}  // namespace scratch
