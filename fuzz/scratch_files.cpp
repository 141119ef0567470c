#include "scratch_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "textio/channels.hpp"

namespace scratch {

std::string make_folder() {
  struct stat info {};
  const bool shm = ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && ::access("/dev/shm", W_OK) == 0;
  std::string pattern = std::string(shm ? "/dev/shm" : "/tmp") + "/gbkfuzz.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  return pattern;
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
  std::string bytes = filler_line(input);
  if (filler != nullptr) *filler = !bytes.empty();
  bytes.append(input);
  return bytes;
}

void write_file(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::perror(path.c_str());
    std::abort();
  }
}

std::string read_file(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = static_cast<bool>(in);
  if (!in) return {};
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
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
