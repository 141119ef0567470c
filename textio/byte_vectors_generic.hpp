// The byte vectors on any processor without a file of its own, big-endian
// ones among them (byte_vectors.hpp holds the contracts): word code that the
// compiler makes of the vector extensions, no intrinsics.
#pragma once

#include <bit>

namespace textio {

enum class Instructions : unsigned char { generic };

[[gnu::always_inline]] inline bool any_set(Bytes16 mask) {
  const Words2 words = reinterpret_cast<Words2>(mask);
  return (words[0] | words[1]) != 0;
}

// The high bit of each byte is gathered by one multiplication per word,
// which carries nothing from one product into another.
[[gnu::always_inline]] inline unsigned bits16(Bytes16 mask) {
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

[[gnu::always_inline]] inline unsigned byte_sum(Bytes16 bytes) {
  const Words2 words = reinterpret_cast<Words2>(bytes);
  const std::uint64_t low = 0x00FF00FF00FF00FFULL;
  // Four 16-bit sums of two bytes each per word, then all eight of them.
  const std::uint64_t pairs = (words[0] & low) + ((words[0] >> 8) & low) + (words[1] & low) + ((words[1] >> 8) & low);
  return static_cast<unsigned>((pairs * 0x0001000100010001ULL) >> 48);
}

template <>
[[gnu::always_inline]] inline Bytes16 lookup16<Instructions::generic>(Bytes16 bytes, Bytes16 indices) {
  return lookup16_lane_by_lane(bytes, indices);
}

}  // namespace textio
