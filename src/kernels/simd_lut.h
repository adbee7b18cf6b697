#pragma once
// Lookups of 256-entry byte tables in vector registers, shared by the pixel kernels.
// Only for x86-64 with GCC or Clang (QUILLARO_X86_KERNELS is then 1; defining
// QUILLARO_NO_SIMD leaves every vector kernel out). The functions carry their own target
// attributes, so their callers must carry the same ones.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(QUILLARO_NO_SIMD)
#define QUILLARO_X86_KERNELS 1
#include <immintrin.h>

#include <cstdint>

#define QUILLARO_AVX2 __attribute__((target("avx2,bmi,bmi2,popcnt")))
#define QUILLARO_AVX512 \
  __attribute__((target("avx2,bmi,bmi2,popcnt,avx512f,avx512bw,avx512vl,avx512vbmi,gfni")))

namespace quillaro {

// 32 lookups with sixteen in-lane shuffles per half of the table. With L_h the sixteen
// entries of high nibble h, step i of the low chain looks up D_i = L_i ^ L_(i-1) with the
// index lowered by 16 i: its top bit stays clear (so the shuffle gives a value rather than
// 0) exactly for indices with h >= i, and the exclusive-or of D_0 .. D_h is L_h. The high
// chain does the same for h >= 8 with the index's top bit flipped; the index's own top
// bit then picks the chain.
struct Lut256 {
  __m256i low[8], high[8];
};

QUILLARO_AVX2 inline void loadLut(Lut256& l, const std::uint8_t* t) {
  __m256i prevLow = _mm256_setzero_si256(), prevHigh = _mm256_setzero_si256();
  for (int i = 0; i < 8; ++i) {
    const __m256i lo = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 16 * i)));
    const __m256i hi = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 128 + 16 * i)));
    l.low[i] = _mm256_xor_si256(lo, prevLow);
    l.high[i] = _mm256_xor_si256(hi, prevHigh);
    prevLow = lo;
    prevHigh = hi;
  }
}

QUILLARO_AVX2 inline __m256i lookup256(const Lut256& l, __m256i v) {
  const __m256i step = _mm256_set1_epi8(16);
  __m256i x = v, y = _mm256_xor_si256(v, _mm256_set1_epi8(static_cast<char>(0x80)));
  __m256i lo = _mm256_shuffle_epi8(l.low[0], x), hi = _mm256_shuffle_epi8(l.high[0], y);
  for (int i = 1; i < 8; ++i) {
    x = _mm256_sub_epi8(x, step);
    y = _mm256_sub_epi8(y, step);
    lo = _mm256_xor_si256(lo, _mm256_shuffle_epi8(l.low[i], x));
    hi = _mm256_xor_si256(hi, _mm256_shuffle_epi8(l.high[i], y));
  }
  return _mm256_blendv_epi8(lo, hi, v);
}

// Two permutes over 128 entries each, chosen by the index's top bit.
QUILLARO_AVX512 inline __m512i lookup512(const __m512i t[4], __m512i v) {
  const __m512i lo = _mm512_permutex2var_epi8(t[0], v, t[1]);
  const __m512i hi = _mm512_permutex2var_epi8(t[2], v, t[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), lo, hi);
}

// The bytes of v in the order of idx (a zeroing form of the plain permute, whose header
// version leaves GCC 12 warning about an undefined operand).
QUILLARO_AVX512 inline __m512i permuteBytes(__m512i idx, __m512i v) {
  return _mm512_maskz_permutexvar_epi8(~__mmask64{0}, idx, v);
}

}  // namespace quillaro

#else
#define QUILLARO_X86_KERNELS 0
#endif
