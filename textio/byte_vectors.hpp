// Sixteen bytes of a line handled as one value, for the passes that look at
// every byte of every line. Written with the compilers' vector extensions
// (GCC 12 or later, Clang), never with one processor's intrinsics: the
// compiler picks the instructions (SSE2 on x86-64, NEON on ARM, plain word
// code elsewhere) and the results are the same on every machine.
#pragma once

#include <bit>
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

// Bit i set where byte i of a mask (bytes 0 or 0xFF) is set. The high bit
// of each byte is gathered by one multiplication per word, which carries
// nothing from one product into another.
inline unsigned bits16(Bytes16 mask) {
  if constexpr (std::endian::native == std::endian::little) {
    const Words2 words = reinterpret_cast<Words2>(mask);
    constexpr std::uint64_t high_bits = 0x8080808080808080ULL;
    constexpr std::uint64_t gather = 0x0002040810204081ULL;  // the high bit of byte i to bit 56 + i
    const auto low = static_cast<unsigned>(((words[0] & high_bits) * gather) >> 56);
    const auto high = static_cast<unsigned>(((words[1] & high_bits) * gather) >> 56);
    return low | high << 8;
  } else {
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) bits |= (mask[i] != 0 ? 1u : 0u) << i;
    return bits;
  }
}

// The bits of two masks of sixteen bytes in a row: bytes 0 to 31.
inline std::uint32_t bits32(Bytes16 first, Bytes16 second) {
  return bits16(first) | static_cast<std::uint32_t>(bits16(second)) << 16;
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
