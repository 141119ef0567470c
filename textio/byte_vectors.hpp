// Sixteen bytes of a line handled as one value, for the passes that look at
// every byte of every line. Written with the compilers' vector extensions
// (GCC 12 or later, Clang), never with one processor's intrinsics: the
// compiler picks the instructions (SSE2 on x86-64, NEON on ARM, plain word
// code elsewhere) and the results are the same on every machine.
#pragma once

#include <cstdint>
#include <cstring>

namespace textio {

using Bytes16 = unsigned char __attribute__((vector_size(16)));
using Words2 = std::uint64_t __attribute__((vector_size(16)));

inline Bytes16 load16(const char* at) {
  Bytes16 bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return bytes;
}

inline void store16(char* at, Bytes16 bytes) { std::memcpy(at, &bytes, sizeof bytes); }

inline Bytes16 every16(unsigned char b) { return Bytes16{} + b; }

// 0xFF in each byte where a and b agree (or where a < b, unsigned), 0 elsewhere.
inline Bytes16 equal16(Bytes16 a, Bytes16 b) { return reinterpret_cast<Bytes16>(a == b); }
inline Bytes16 below16(Bytes16 a, Bytes16 b) { return reinterpret_cast<Bytes16>(a < b); }

inline bool any_set(Bytes16 bytes) {
  const Words2 words = reinterpret_cast<Words2>(bytes);
  return (words[0] | words[1]) != 0;
}

// The sixteen bytes added up as numbers 0..255.
inline unsigned byte_sum(Bytes16 bytes) {
  const Words2 words = reinterpret_cast<Words2>(bytes);
  const std::uint64_t low = 0x00FF00FF00FF00FFULL;
  // Four 16-bit sums of two bytes each per word, then all eight of them.
  const std::uint64_t pairs = (words[0] & low) + ((words[0] >> 8) & low) + (words[1] & low) + ((words[1] >> 8) & low);
  return static_cast<unsigned>((pairs * 0x0001000100010001ULL) >> 48);
}

}  // namespace textio
