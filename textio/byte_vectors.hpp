// Sixteen bytes of a line handled as one value, for the passes that look at
// every byte of every line. The type and the operations lane by lane are
// the compilers' vector extensions (GCC 12 or later, Clang); the operations
// across lanes (a mask's bits, a sum, a lookup by indices) are declared
// here, with their contracts, and defined by the file of the processor the
// build is for, which CMake chooses (GBK_PROCESSOR) and links into the build
// tree as "textio/byte_vectors_processor.hpp":
//
//   byte_vectors_x86_64.hpp   SSE2, and SSSE3's byte shuffle for the steps compiled for it
//   byte_vectors_arm64.hpp    NEON, little-endian
//   byte_vectors_generic.hpp  any other processor: word code, no intrinsics
//
// Every file gives the same results for the same bytes. The functions are
// always inlined: they run for every sixteen bytes of a course file, and a
// step compiled for more instructions than the rest of the program
// (window_steps_ssse3.cpp) must not leave a copy of them for others to call.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

namespace textio {

using Bytes16 = unsigned char __attribute__((vector_size(16)));
using Words2 = std::uint64_t __attribute__((vector_size(16)));

[[gnu::always_inline]] inline Bytes16 load16(const char* at) {
  Bytes16 bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return bytes;
}

[[gnu::always_inline]] inline void store16(char* at, Bytes16 bytes) { std::memcpy(at, &bytes, sizeof bytes); }

[[gnu::always_inline]] inline Bytes16 every16(unsigned char b) { return Bytes16{} + b; }

// 0xFF in each byte where a and b agree (or where a < b, unsigned), 0 elsewhere.
[[gnu::always_inline]] inline Bytes16 equal16(Bytes16 a, Bytes16 b) { return reinterpret_cast<Bytes16>(a == b); }
[[gnu::always_inline]] inline Bytes16 below16(Bytes16 a, Bytes16 b) { return reinterpret_cast<Bytes16>(a < b); }

// Whether any byte of a mask (bytes 0 or 0xFF) is set.
[[gnu::always_inline]] inline bool any_set(Bytes16 mask);

// Bit i set where byte i of a mask (bytes 0 or 0xFF) is set.
[[gnu::always_inline]] inline unsigned bits16(Bytes16 mask);

// The sixteen bytes added up as numbers 0..255.
[[gnu::always_inline]] inline unsigned byte_sum(Bytes16 bytes);

// The instruction sets a step can be compiled for on the build's processor,
// the first of them the one that every such processor has
// (textio::Instructions, defined by the processor's file): a step that
// takes one as a template argument exists once for each (window_steps.hpp).
enum class Instructions : unsigned char;

// Lane i: lane indices[i] of `bytes` where indices[i] is 0 to 15, and 0
// where its high bit is set; no other index is given.
template <Instructions set>
Bytes16 lookup16(Bytes16 bytes, Bytes16 indices);

// lookup16 one lane at a time, for the instruction sets that have no byte
// shuffle by indices: all sixteen written out, without a branch, since the
// indices are as good as random.
[[gnu::always_inline]] inline Bytes16 lookup16_lane_by_lane(Bytes16 bytes, Bytes16 indices) {
  unsigned char table[16];
  std::memcpy(table, &bytes, sizeof table);
  // index >> 7 is 1 where the high bit is set, else 0.
  const auto lane = [&](int i) {
    const unsigned index = indices[i];
    return static_cast<unsigned char>(table[index & 15] & ((index >> 7) - 1));
  };
  return [&]<int... i>(std::integer_sequence<int, i...>) { return Bytes16{lane(i)...}; }
  (std::make_integer_sequence<int, 16>{});
}

}  // namespace textio

#include "textio/byte_vectors_processor.hpp"

namespace textio {

// The bits of two masks of sixteen bytes in a row: bytes 0 to 31.
[[gnu::always_inline]] inline std::uint32_t bits32(Bytes16 first, Bytes16 second) {
  return bits16(first) | static_cast<std::uint32_t>(bits16(second)) << 16;
}

}  // namespace textio
