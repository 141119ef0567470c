// The byte vectors on x86-64 (byte_vectors.hpp holds the contracts): SSE2,
// which every x86-64 processor has, and for the steps compiled for SSSE3
// (chosen at start when the processor has it) its byte shuffle.
#pragma once

#include <emmintrin.h>
#include <tmmintrin.h>

namespace textio {

enum class Instructions : unsigned char { sse2, ssse3 };

[[gnu::always_inline]] inline __m128i m128(Bytes16 bytes) { return reinterpret_cast<__m128i>(bytes); }

[[gnu::always_inline]] inline bool any_set(Bytes16 mask) { return _mm_movemask_epi8(m128(mask)) != 0; }

[[gnu::always_inline]] inline unsigned bits16(Bytes16 mask) {
  return static_cast<unsigned>(_mm_movemask_epi8(m128(mask)));
}

[[gnu::always_inline]] inline unsigned byte_sum(Bytes16 bytes) {
  // The sums of each eight bytes, in the low 16 bits of each half.
  const __m128i sums = _mm_sad_epu8(m128(bytes), _mm_setzero_si128());
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
}

template <>
[[gnu::always_inline]] inline Bytes16 lookup16<Instructions::sse2>(Bytes16 bytes, Bytes16 indices) {
  return lookup16_lane_by_lane(bytes, indices);
}

// Callable only from code compiled for SSSE3.
template <>
[[gnu::always_inline, gnu::target("ssse3")]] inline Bytes16 lookup16<Instructions::ssse3>(Bytes16 bytes,
                                                                                          Bytes16 indices) {
  return reinterpret_cast<Bytes16>(_mm_shuffle_epi8(m128(bytes), m128(indices)));
}

}  // namespace textio
