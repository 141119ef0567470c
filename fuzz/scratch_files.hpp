// What the fuzz targets share beside the test support: their folder, the
// course file made of an input, the console out of the way.
#pragma once

#include <string>
#include <string_view>

#include "tests/support/scratch_folder.hpp"

namespace scratch {

// The target's own folder for the files it writes and reads back, for as
// long as the process lives: in memory (/dev/shm) when the system has it.
const tests::ScratchFolder& folder();

// The bytes of a course file made of a fuzz input: with an odd first byte,
// the rest of the input right behind a line of filler that ends up to 127
// bytes before the reader's first block boundary, so that a CR LF, a 0x1A, a
// field or a run of answers can fall across it; otherwise the input as it
// is. A UTF-8 byte-order mark at the input's start stays first. filler
// tells whether a filler line was put in.
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
