// The byte vectors on 64-bit ARM, little-endian (byte_vectors.hpp holds the
// contracts): NEON, which every such processor has, its table lookup among
// it.
#pragma once

#include <arm_neon.h>

namespace textio {

enum class Instructions : unsigned char { neon };

[[gnu::always_inline]] inline uint8x16_t u8x16(Bytes16 bytes) { return reinterpret_cast<uint8x16_t>(bytes); }

[[gnu::always_inline]] inline bool any_set(Bytes16 mask) { return vmaxvq_u8(u8x16(mask)) != 0; }

[[gnu::always_inline]] inline unsigned bits16(Bytes16 mask) {
  // Each lane keeps its own bit of its half; three pairwise sums gather
  // each half's bits into one byte, lanes 0 and 1.
  const uint8x16_t bit_of_lane = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128};
  uint8x16_t bits = vandq_u8(u8x16(mask), bit_of_lane);
  bits = vpaddq_u8(bits, bits);
  bits = vpaddq_u8(bits, bits);
  bits = vpaddq_u8(bits, bits);
  return vgetq_lane_u16(vreinterpretq_u16_u8(bits), 0);
}

[[gnu::always_inline]] inline unsigned byte_sum(Bytes16 bytes) { return vaddlvq_u8(u8x16(bytes)); }

// An index of 16 or more gives 0.
template <>
[[gnu::always_inline]] inline Bytes16 lookup16<Instructions::neon>(Bytes16 bytes, Bytes16 indices) {
  return reinterpret_cast<Bytes16>(vqtbl1q_u8(u8x16(bytes), u8x16(indices)));
}

}  // namespace textio
