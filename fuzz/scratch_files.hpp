// A private folder for the files one fuzz target writes and reads back.
#pragma once

#include <string>
#include <string_view>

namespace scratch {

// A new empty folder, in memory (/dev/shm) when the system has it.
std::string make_folder();

void write_file(const std::string& path, std::string_view bytes);

// The whole file; empty when it cannot be read. exists tells the two apart.
std::string read_file(const std::string& path, bool* exists = nullptr);

// The bytes of a course file made of a fuzz input: with an odd first byte,
// the rest of the input right behind a line of filler that ends up to 127
// bytes before the reader's first block boundary, so that a CR LF, a 0x1A, a
// field or a run of answers can fall across it; otherwise the input as it
// is. filler tells which.
std::string across_first_block(std::string_view input, bool* filler = nullptr);

// The filler line alone, for a target that puts `head_size` bytes of its
// own between it and the rest of the input: empty for an even first byte;
// otherwise the line that ends head_size bytes earlier, and the first byte
// is taken off input.
std::string filler_line(std::string_view& input, std::size_t head_size = 0);

// Standard input at its end and standard output discarded, so that a run
// never waits for an operator and its console text does not flood the log.
void detach_console();

}  // namespace scratch
