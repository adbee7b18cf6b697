#include "kernels/tone.h"

#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/fields.h"
#include "kernels/simd_bytes.h"
#include "kernels/simd_level.h"
#include "kernels/simd_lut.h"
#include "kernels/to1bit.h"
#include "base/numeric.h"

namespace quillaro {

namespace {

// Nearest integer of a real, held at the limits of int; NaN gives 0.
int nearestSaturated(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(nearest(v));
}

int saturate(long long v) {
  return static_cast<int>(clampv<long long>(v, INT_MIN, INT_MAX));
}

// A grey value from a real: clamp(nearest(v), 0, 255) without converting values that
// are far out of range (or NaN) to an integer first.
int clampedGrey(double v) {
  if (!(v > -1.0)) return 0;  // also NaN
  if (v >= 256.0) return 255;
  return clampv(static_cast<int>(nearest(v)), 0, 255);
}

// The weighted sum of a colour pixel, 0.1 x blue + 0.6 x green + 0.3 x red, is computed
// in double precision as the definition says, but the work per pixel is mostly integer:
// with n = blue + 6 x green + 3 x red the exact sum is n / 10, and the double sum differs
// from it by far less than 0.01. So the nearest integer is (n + 5) / 10 unless n ends in
// 5 (an exact half, where the rounding of the double sum decides), and the sum is below
// a threshold t exactly when n < 10 t unless n = 10 t. Only those pixels take the double
// sum, from tables of the products, which give the same doubles as multiplying.
struct WeightTables {
  double tenth[256];  // 0.1 x v
  double sixth[256];  // 0.6 x v (six tenths)
  double third[256];  // 0.3 x v (three tenths)
  // For n = 0 .. 2550: (n + 5) / 10, plus 256 when n ends in 5.
  std::uint16_t rounded[2551];
  WeightTables() {
    for (int v = 0; v < 256; ++v) {
      tenth[v] = 0.1 * v;
      sixth[v] = 0.6 * v;
      third[v] = 0.3 * v;
    }
    for (int n = 0; n <= 2550; ++n)
      rounded[n] = static_cast<std::uint16_t>((n + 5) / 10 + (n % 10 == 5 ? 256 : 0));
  }
  // nearest(0.1 x blue + 0.6 x green + 0.3 x red), summed in that order.
  int greyAtHalf(const std::uint8_t* bgr) const {
    return static_cast<int>(nearest(tenth[bgr[0]] + sixth[bgr[1]] + third[bgr[2]]));
  }
  // 0.6 x green + 0.1 x blue + 0.3 x red < t, summed in that order.
  bool blackAtEdge(const std::uint8_t* bgr, double t) const {
    return sixth[bgr[1]] + tenth[bgr[0]] + third[bgr[2]] < t;
  }
};

inline int weightedTenths(const std::uint8_t* bgr) { return bgr[0] + 6 * bgr[1] + 3 * bgr[2]; }

const WeightTables& weights() {
  static const WeightTables w;
  return w;
}

bool rowSpan(const Bitmap& picture, const PixelRect& rect, PixelRect& clipped) {
  if (picture.empty() || picture.width <= 0 || picture.height <= 0) return false;
  clipped = clipToPicture(rect, picture.width, picture.height);
  return !clipped.empty();
}

void mapColourScalar(std::uint8_t* p, std::size_t count, const std::uint8_t* map,
                     bool keepBlack, bool keepWhite) {
  for (std::size_t i = 0; i < count; ++i, p += 3) {
    const std::uint8_t b = p[0], g = p[1], r = p[2];
    if (keepBlack && (b | g | r) == 0) continue;
    if (keepWhite && (b & g & r) == 255) continue;
    p[0] = map[b];
    p[1] = map[g];
    p[2] = map[r];
  }
}

// The grey of pixels first..width-1: out[x] = map[greyOf(pixel x)] (map may be null for
// the grey itself).
void weightedGreyScalar(const std::uint8_t* bgr, int first, int width, std::uint8_t* out,
                        const std::uint8_t* map) {
  const WeightTables& w = weights();
  for (int x = first; x < width; ++x) {
    const std::uint8_t* px = bgr + 3 * static_cast<std::size_t>(x);
    int g = w.rounded[weightedTenths(px)];
    if (g > 255) g = w.greyAtHalf(px);
    out[x] = map ? map[g] : static_cast<std::uint8_t>(g);
  }
}

// 1 for white: n > 10 t, or n = 10 t and the double sum is not below t.
inline unsigned weightedWhiteBit(const std::uint8_t* px, int threshold) {
  const int d = weightedTenths(px) - 10 * threshold;
  if (d == 0) return weights().blackAtEdge(px, static_cast<double>(threshold)) ? 0u : 1u;
  return d > 0 ? 1u : 0u;
}

// Bits of pixels first..width-1 (first a multiple of 8) of a colour row; the bits after the
// last pixel are 1.
void bitRowScalar(const std::uint8_t* bgr, int first, int width, std::uint8_t* out,
                  GreyReduction mode, int threshold) {
  auto white = [&](const std::uint8_t* px) -> unsigned {
    if (mode == GreyReduction::Green) return px[1] >= threshold ? 1u : 0u;
    return weightedWhiteBit(px, threshold);
  };
  const int full = width / 8;
  const int rest = width % 8;
  const std::uint8_t* p = bgr + 3 * static_cast<std::size_t>(first);
  for (int i = first / 8; i < full; ++i) {
    unsigned byte = 0;
    for (int k = 0; k < 8; ++k, p += 3) byte = (byte << 1) | white(p);
    out[i] = static_cast<std::uint8_t>(byte);
  }
  if (rest) {
    unsigned byte = 0xFFu;
    for (int k = 0; k < rest; ++k, p += 3)
      if (!white(p)) byte &= ~(0x80u >> k);
    out[full] = static_cast<std::uint8_t>(byte);
  }
}

#if QUILLARO_X86_KERNELS

// ---- Vector kernels -----------------------------------------------------------------
//
// They work on groups of 64 colour pixels (192 bytes), or 32 for the narrower vectors
// where that is simpler, and return how many pixels they did; the plain code above does
// the rest of a row.

// Masks over the 192 bytes of 64 pixels, bit 3p + c (word (3p + c) / 64) for byte c of
// pixel p.
struct Bits192 {
  std::uint64_t w[3];
};

constexpr Bits192 pixelStarts() {
  Bits192 b{{0, 0, 0}};
  for (int p = 0; p < 64; ++p) b.w[(3 * p) / 64] |= std::uint64_t{1} << ((3 * p) % 64);
  return b;
}

inline Bits192 shiftDown(const Bits192& m, int k) {
  return Bits192{{(m.w[0] >> k) | (m.w[1] << (64 - k)), (m.w[1] >> k) | (m.w[2] << (64 - k)),
                  m.w[2] >> k}};
}

inline Bits192 shiftUp(const Bits192& m, int k) {
  return Bits192{{m.w[0] << k, (m.w[1] << k) | (m.w[0] >> (64 - k)),
                  (m.w[2] << k) | (m.w[1] >> (64 - k))}};
}

// The bytes of the pixels whose three bytes are all marked in m.
inline Bits192 wholePixels(const Bits192& m) {
  constexpr Bits192 starts = pixelStarts();
  const Bits192 a = shiftDown(m, 1), b = shiftDown(m, 2);
  Bits192 t;
  for (int i = 0; i < 3; ++i) t.w[i] = m.w[i] & a.w[i] & b.w[i] & starts.w[i];
  const Bits192 u = shiftUp(t, 1), v = shiftUp(t, 2);
  for (int i = 0; i < 3; ++i) t.w[i] |= u.w[i] | v.w[i];
  return t;
}

// Kept bytes of 64 pixels from their byte masks of 0 and of 255.
inline Bits192 keptBytes(const Bits192& zero, const Bits192& full) {
  const Bits192 a = wholePixels(zero), b = wholePixels(full);
  return Bits192{{a.w[0] | b.w[0], a.w[1] | b.w[1], a.w[2] | b.w[2]}};
}

QUILLARO_AVX512 std::size_t toneColour512(std::uint8_t* p, std::size_t count,
                                          const std::uint8_t* map, bool keepBlack,
                                          bool keepWhite) {
  __m512i t[4];
  for (int k = 0; k < 4; ++k) t[k] = _mm512_loadu_si512(map + 64 * k);
  const __m512i ones = _mm512_set1_epi8(-1);
  std::size_t i = 0;
  for (; i + 64 <= count; i += 64, p += 192) {
    __m512i v[3], m[3];
    Bits192 zero{{0, 0, 0}}, full{{0, 0, 0}};
    for (int k = 0; k < 3; ++k) {
      v[k] = _mm512_loadu_si512(p + 64 * k);
      m[k] = lookup512(t, v[k]);
      if (keepBlack) zero.w[k] = _mm512_testn_epi8_mask(v[k], v[k]);
      if (keepWhite) full.w[k] = _mm512_cmpeq_epi8_mask(v[k], ones);
    }
    if ((zero.w[0] | zero.w[1] | zero.w[2] | full.w[0] | full.w[1] | full.w[2]) != 0) {
      const Bits192 keep = keptBytes(zero, full);
      for (int k = 0; k < 3; ++k) m[k] = _mm512_mask_blend_epi8(keep.w[k], m[k], v[k]);
    }
    for (int k = 0; k < 3; ++k) _mm512_storeu_si512(p + 64 * k, m[k]);
  }
  return i;
}

// The sign bits of 64 bytes in two vectors.
QUILLARO_AVX2 inline std::uint64_t signBits(__m256i a, __m256i b) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(a)) |
         (static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(b))) << 32);
}

QUILLARO_AVX2 std::size_t toneColour256(std::uint8_t* p, std::size_t count,
                                        const std::uint8_t* map, bool keepBlack,
                                        bool keepWhite) {
  Lut256 l;
  loadLut(l, map);
  const __m256i zeros = _mm256_setzero_si256(), ones = _mm256_set1_epi8(-1);
  std::size_t i = 0;
  for (; i + 64 <= count; i += 64, p += 192) {
    __m256i v[6], m[6];
    for (int k = 0; k < 6; ++k) {
      v[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
      m[k] = lookup256(l, v[k]);
    }
    Bits192 zero{{0, 0, 0}}, full{{0, 0, 0}};
    for (int k = 0; k < 3; ++k) {
      if (keepBlack)
        zero.w[k] =
            signBits(_mm256_cmpeq_epi8(v[2 * k], zeros), _mm256_cmpeq_epi8(v[2 * k + 1], zeros));
      if (keepWhite)
        full.w[k] =
            signBits(_mm256_cmpeq_epi8(v[2 * k], ones), _mm256_cmpeq_epi8(v[2 * k + 1], ones));
    }
    if ((zero.w[0] | zero.w[1] | zero.w[2] | full.w[0] | full.w[1] | full.w[2]) != 0) {
      const Bits192 keep = keptBytes(zero, full);
      // Byte masks back from bits: each byte of a vector takes its own bit of the word.
      const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                              2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
      const __m256i select = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ULL));
      for (int k = 0; k < 6; ++k) {
        const std::uint32_t word = static_cast<std::uint32_t>(keep.w[k / 2] >> (32 * (k % 2)));
        const __m256i w = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(word)), spread);
        const __m256i kept = _mm256_cmpeq_epi8(_mm256_and_si256(w, select), select);
        m[k] = _mm256_blendv_epi8(m[k], v[k], kept);
      }
    }
    for (int k = 0; k < 6; ++k) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 32 * k), m[k]);
  }
  return i;
}

// Byte c of each of 64 pixels held in three vectors: (3p + c) mod 128 picks from the
// first two, and the pixels whose byte lies in the third take it from there.
struct ChannelIndex {
  alignas(64) std::uint8_t index[3][64];
  std::uint64_t third[3];
  constexpr ChannelIndex() : index{}, third{} {
    for (int c = 0; c < 3; ++c) {
      third[c] = 0;
      for (int p = 0; p < 64; ++p) {
        index[c][p] = static_cast<std::uint8_t>((3 * p + c) % 128);
        if (3 * p + c >= 128) third[c] |= std::uint64_t{1} << p;
      }
    }
  }
};
constexpr ChannelIndex kChannels;

QUILLARO_AVX512 inline __m512i channel512(const __m512i v[3], int c) {
  const __m512i idx = _mm512_load_si512(kChannels.index[c]);
  const __m512i x = _mm512_permutex2var_epi8(v[0], idx, v[1]);
  return _mm512_mask_permutexvar_epi8(x, kChannels.third[c], idx, v[2]);
}

// n = blue + 6 green + 3 red of 64 pixels in two vectors of 16-bit lanes, in the order of
// unpacking bytes within 128-bit lanes: lo holds pixels 16 L .. 16 L + 7 of lane L, hi
// pixels 16 L + 8 .. 16 L + 15. Packing the two with saturation restores the pixel order.
QUILLARO_AVX512 inline void tenths512(const std::uint8_t* bgr, __m512i& lo, __m512i& hi,
                                      __m512i* channels = nullptr) {
  __m512i v[3];
  for (int k = 0; k < 3; ++k) v[k] = _mm512_loadu_si512(bgr + 64 * k);
  const __m512i b = channel512(v, 0), g = channel512(v, 1), r = channel512(v, 2);
  if (channels) {
    channels[0] = b;
    channels[1] = g;
    channels[2] = r;
  }
  const __m512i weights = _mm512_set1_epi16(0x0601);  // blue x 1 + green x 6
  const __m512i zero = _mm512_setzero_si512();
  lo = _mm512_maddubs_epi16(_mm512_unpacklo_epi8(b, g), weights);
  hi = _mm512_maddubs_epi16(_mm512_unpackhi_epi8(b, g), weights);
  const __m512i rlo = _mm512_unpacklo_epi8(r, zero), rhi = _mm512_unpackhi_epi8(r, zero);
  lo = _mm512_add_epi16(lo, _mm512_add_epi16(rlo, _mm512_add_epi16(rlo, rlo)));
  hi = _mm512_add_epi16(hi, _mm512_add_epi16(rhi, _mm512_add_epi16(rhi, rhi)));
}

// Pixel of bit e of a 16-bit lane mask in the unpacking order above.
inline int unpackedPixel(int e, bool high) { return 16 * (e >> 3) + (high ? 8 : 0) + (e & 7); }

// (n + 5) / 10 for 0 <= n <= 2550, and the lanes where n ends in 5 (an exact half).
QUILLARO_AVX512 inline __m512i rounded512(__m512i n, __mmask32& halves) {
  const __m512i n5 = _mm512_add_epi16(n, _mm512_set1_epi16(5));
  const __m512i q = _mm512_srli_epi16(_mm512_mulhi_epu16(n5, _mm512_set1_epi16(-13107)), 3);
  halves = _mm512_cmpeq_epi16_mask(_mm512_mullo_epi16(q, _mm512_set1_epi16(10)), n5);
  return q;
}

// The exact grey of the pixels of mask `halves` (pixel order) among 64 whose channels are
// given, put into q: the sum 0.1 x blue + 0.6 x green + 0.3 x red in double precision, in
// that order and with the same rounding as the plain code, rounded to even. The pixels
// are packed together first, so that the work is per half rather than per group.
#define QUILLARO_AVX512_COMPRESS                                                             \
  __attribute__((target("avx2,bmi,bmi2,popcnt,avx512f,avx512bw,avx512vl,avx512vbmi,"  \
                        "avx512vbmi2")))

QUILLARO_AVX512_COMPRESS __m512i exactHalves512(__m512i q, __mmask64 halves,
                                                const __m512i ch[3]) {
  // Zeroing forms throughout: the plain forms' header versions leave GCC 12 warning about
  // an undefined operand.
  constexpr __mmask8 all8 = 0xFF;
  constexpr int kRound = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
  // Rows of 128 bytes keep every row on a 64-byte boundary for the aligned 512-bit stores.
  alignas(64) std::uint8_t packed[3][128];
  alignas(16) std::uint8_t result[64 + 16];
  for (int c = 0; c < 3; ++c)
    _mm512_store_si512(packed[c], _mm512_maskz_compress_epi8(halves, ch[c]));
  const int count = std::popcount(static_cast<std::uint64_t>(halves));
  const __m512d weight[3] = {_mm512_set1_pd(0.1), _mm512_set1_pd(0.6), _mm512_set1_pd(0.3)};
  for (int j = 0; j < count; j += 16) {
    __m512d lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
      const __m512i v = _mm512_maskz_cvtepu8_epi32(
          0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(packed[c] + j)));
      const __m256i vlo = _mm512_maskz_extracti64x4_epi64(0xF, v, 0);
      const __m256i vhi = _mm512_maskz_extracti64x4_epi64(0xF, v, 1);
      lo[c] = _mm512_maskz_mul_round_pd(all8, _mm512_maskz_cvtepi32_pd(all8, vlo), weight[c],
                                        kRound);
      hi[c] = _mm512_maskz_mul_round_pd(all8, _mm512_maskz_cvtepi32_pd(all8, vhi), weight[c],
                                        kRound);
    }
    const __m512d sumLo = _mm512_maskz_add_round_pd(
        all8, _mm512_maskz_add_round_pd(all8, lo[0], lo[1], kRound), lo[2], kRound);
    const __m512d sumHi = _mm512_maskz_add_round_pd(
        all8, _mm512_maskz_add_round_pd(all8, hi[0], hi[1], kRound), hi[2], kRound);
    const __m128i greyLo =
        _mm256_maskz_cvtepi32_epi8(all8, _mm512_maskz_cvt_roundpd_epi32(all8, sumLo, kRound));
    const __m128i greyHi =
        _mm256_maskz_cvtepi32_epi8(all8, _mm512_maskz_cvt_roundpd_epi32(all8, sumHi, kRound));
    _mm_store_si128(reinterpret_cast<__m128i*>(result + j), _mm_unpacklo_epi64(greyLo, greyHi));
  }
  return _mm512_mask_expandloadu_epi8(q, halves, result);
}

bool haveByteCompress() {
  static const bool yes = __builtin_cpu_supports("avx512vbmi2");
  return yes;
}

QUILLARO_AVX512 int weightedGrey512(const std::uint8_t* bgr, int width, std::uint8_t* out,
                                    const std::uint8_t* map) {
  __m512i t[4];
  for (int k = 0; k < 4; ++k) t[k] = _mm512_loadu_si512(map + 64 * k);
  const WeightTables& w = weights();
  const bool compress = haveByteCompress();
  int x = 0;
  for (; x + 64 <= width; x += 64) {
    const std::uint8_t* px = bgr + 3 * static_cast<std::size_t>(x);
    __m512i lo, hi, ch[3];
    tenths512(px, lo, hi, ch);
    __mmask32 halfLo, halfHi;
    const __m512i qlo = rounded512(lo, halfLo), qhi = rounded512(hi, halfHi);
    __m512i q = _mm512_packus_epi16(qlo, qhi);
    if ((halfLo | halfHi) != 0 && compress) {
      const __mmask64 halves = _mm512_movepi8_mask(
          _mm512_packs_epi16(_mm512_movm_epi16(halfLo), _mm512_movm_epi16(halfHi)));
      q = exactHalves512(q, halves, ch);
      halfLo = halfHi = 0;
    }
    _mm512_storeu_si512(out + x, lookup512(t, q));
    for (std::uint32_t m = halfLo; m; m &= m - 1) {
      const int p = unpackedPixel(std::countr_zero(m), false);
      out[x + p] = map[w.greyAtHalf(px + 3 * p)];
    }
    for (std::uint32_t m = halfHi; m; m &= m - 1) {
      const int p = unpackedPixel(std::countr_zero(m), true);
      out[x + p] = map[w.greyAtHalf(px + 3 * p)];
    }
  }
  return x;
}

QUILLARO_AVX512 int green512(const std::uint8_t* bgr, int width, std::uint8_t* out,
                             const std::uint8_t* map) {
  __m512i t[4];
  for (int k = 0; k < 4; ++k) t[k] = _mm512_loadu_si512(map + 64 * k);
  int x = 0;
  for (; x + 64 <= width; x += 64) {
    __m512i v[3];
    for (int k = 0; k < 3; ++k)
      v[k] = _mm512_loadu_si512(bgr + 3 * static_cast<std::size_t>(x) + 64 * k);
    _mm512_storeu_si512(out + x, lookup512(t, channel512(v, 1)));
  }
  return x;
}

// Reverses the bytes within each group of eight, so that a byte mask comes out with the
// first pixel of each group in the top bit of its byte, as in a 1-bit row.
QUILLARO_AVX512 inline __m512i groupReversal512() {
  alignas(64) static constexpr std::uint8_t idx[64] = {
      7,  6,  5,  4,  3,  2,  1,  0,  15, 14, 13, 12, 11, 10, 9,  8,  23, 22, 21, 20, 19, 18,
      17, 16, 31, 30, 29, 28, 27, 26, 25, 24, 39, 38, 37, 36, 35, 34, 33, 32, 47, 46, 45, 44,
      43, 42, 41, 40, 55, 54, 53, 52, 51, 50, 49, 48, 63, 62, 61, 60, 59, 58, 57, 56};
  return _mm512_load_si512(idx);
}

QUILLARO_AVX512 int bits512(const std::uint8_t* bgr, int width, std::uint8_t* out,
                            GreyReduction mode, int threshold) {
  const __m512i reversal = groupReversal512();
  const __m512i edge = _mm512_set1_epi16(static_cast<short>(10 * threshold));
  const __m512i tv = _mm512_set1_epi8(static_cast<char>(threshold));
  int x = 0;
  for (; x + 64 <= width; x += 64) {
    const std::uint8_t* px = bgr + 3 * static_cast<std::size_t>(x);
    std::uint64_t word;
    if (mode == GreyReduction::Green) {
      __m512i v[3];
      for (int k = 0; k < 3; ++k) v[k] = _mm512_loadu_si512(px + 64 * k);
      const __m512i g = permuteBytes(reversal, channel512(v, 1));
      word = _mm512_cmpge_epu8_mask(g, tv);
    } else {
      __m512i lo, hi;
      tenths512(px, lo, hi);
      const __m512i white =
          _mm512_packs_epi16(_mm512_movm_epi16(_mm512_cmpgt_epi16_mask(lo, edge)),
                             _mm512_movm_epi16(_mm512_cmpgt_epi16_mask(hi, edge)));
      word = _mm512_movepi8_mask(permuteBytes(reversal, white));
      const std::uint32_t eqLo = _mm512_cmpeq_epi16_mask(lo, edge);
      const std::uint32_t eqHi = _mm512_cmpeq_epi16_mask(hi, edge);
      for (int half = 0; half < 2; ++half)
        for (std::uint32_t m = half ? eqHi : eqLo; m; m &= m - 1) {
          const int p = unpackedPixel(std::countr_zero(m), half != 0);
          const std::uint64_t bit = std::uint64_t{1} << ((p & ~7) + 7 - (p & 7));
          if (weightedWhiteBit(px + 3 * p, threshold)) word |= bit;
        }
    }
    std::memcpy(out + x / 8, &word, 8);  // byte j: bits 8 j .. 8 j + 7 (little-endian)
  }
  return x;
}

// Three 16-byte in-lane shuffles per channel gather byte c of sixteen pixels (48 bytes);
// each 128-bit lane does its own sixteen pixels.
struct ChannelShuffles {
  alignas(32) std::uint8_t mask[3][3][32];  // [channel][source chunk][byte]
  constexpr ChannelShuffles() : mask{} {
    for (int c = 0; c < 3; ++c)
      for (int s = 0; s < 3; ++s)
        for (int p = 0; p < 32; ++p) {
          const int at = 3 * (p % 16) + c - 16 * s;
          mask[c][s][p] = at >= 0 && at < 16 ? static_cast<std::uint8_t>(at) : 0x80;
        }
  }
};
constexpr ChannelShuffles kShuffles;

// Blue, green and red of 32 pixels: pixels 0..15 in the low lane, 16..31 in the high one.
QUILLARO_AVX2 inline void channels256(const std::uint8_t* p, __m256i out[3]) {
  __m256i chunk[3];
  for (int s = 0; s < 3; ++s)
    chunk[s] = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * s))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48 + 16 * s)), 1);
  for (int c = 0; c < 3; ++c) {
    __m256i v = _mm256_setzero_si256();
    for (int s = 0; s < 3; ++s)
      v = _mm256_or_si256(
          v,
          _mm256_shuffle_epi8(
              chunk[s], _mm256_load_si256(reinterpret_cast<const __m256i*>(kShuffles.mask[c][s]))));
    out[c] = v;
  }
}

QUILLARO_AVX2 inline void tenths256(const std::uint8_t* bgr, __m256i& lo, __m256i& hi) {
  __m256i ch[3];
  channels256(bgr, ch);
  const __m256i weights = _mm256_set1_epi16(0x0601);
  const __m256i zero = _mm256_setzero_si256();
  lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(ch[0], ch[1]), weights);
  hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(ch[0], ch[1]), weights);
  const __m256i rlo = _mm256_unpacklo_epi8(ch[2], zero), rhi = _mm256_unpackhi_epi8(ch[2], zero);
  lo = _mm256_add_epi16(lo, _mm256_add_epi16(rlo, _mm256_add_epi16(rlo, rlo)));
  hi = _mm256_add_epi16(hi, _mm256_add_epi16(rhi, _mm256_add_epi16(rhi, rhi)));
}

// The rounded grey of 32 pixels, without a map; halves as a pixel-order mask.
QUILLARO_AVX2 int weightedGrey256(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  const WeightTables& w = weights();
  const __m256i five = _mm256_set1_epi16(5), magic = _mm256_set1_epi16(-13107);
  const __m256i ten = _mm256_set1_epi16(10);
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const std::uint8_t* px = bgr + 3 * static_cast<std::size_t>(x);
    __m256i lo, hi;
    tenths256(px, lo, hi);
    lo = _mm256_add_epi16(lo, five);
    hi = _mm256_add_epi16(hi, five);
    const __m256i qlo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, magic), 3);
    const __m256i qhi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, magic), 3);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_packus_epi16(qlo, qhi));
    const __m256i halves = _mm256_packs_epi16(_mm256_cmpeq_epi16(_mm256_mullo_epi16(qlo, ten), lo),
                                              _mm256_cmpeq_epi16(_mm256_mullo_epi16(qhi, ten), hi));
    for (std::uint32_t m = static_cast<std::uint32_t>(_mm256_movemask_epi8(halves)); m;
         m &= m - 1) {
      const int p = std::countr_zero(m);
      out[x + p] = static_cast<std::uint8_t>(w.greyAtHalf(px + 3 * p));
    }
  }
  return x;
}

QUILLARO_AVX2 int green256(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    __m256i ch[3];
    channels256(bgr + 3 * static_cast<std::size_t>(x), ch);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), ch[1]);
  }
  return x;
}

QUILLARO_AVX2 int bits256(const std::uint8_t* bgr, int width, std::uint8_t* out,
                          GreyReduction mode, int threshold) {
  const __m256i reversal = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,
                                            7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
  const __m256i edge = _mm256_set1_epi16(static_cast<short>(10 * threshold));
  const __m256i tv = _mm256_set1_epi8(static_cast<char>(threshold));
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const std::uint8_t* px = bgr + 3 * static_cast<std::size_t>(x);
    std::uint32_t word;
    if (mode == GreyReduction::Green) {
      __m256i ch[3];
      channels256(px, ch);
      const __m256i white = _mm256_cmpeq_epi8(_mm256_max_epu8(ch[1], tv), ch[1]);  // g >= t
      word = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_shuffle_epi8(white, reversal)));
    } else {
      __m256i lo, hi;
      tenths256(px, lo, hi);
      const __m256i white =
          _mm256_packs_epi16(_mm256_cmpgt_epi16(lo, edge), _mm256_cmpgt_epi16(hi, edge));
      word = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_shuffle_epi8(white, reversal)));
      const __m256i eq =
          _mm256_packs_epi16(_mm256_cmpeq_epi16(lo, edge), _mm256_cmpeq_epi16(hi, edge));
      for (std::uint32_t m = static_cast<std::uint32_t>(_mm256_movemask_epi8(eq)); m; m &= m - 1) {
        const int p = std::countr_zero(m);
        if (weightedWhiteBit(px + 3 * p, threshold))
          word |= std::uint32_t{1} << ((p & ~7) + 7 - (p & 7));
      }
    }
    std::memcpy(out + x / 8, &word, 4);
  }
  return x;
}

#endif

void mapColour(std::uint8_t* p, std::size_t count, const ToneMap& tone) {
  const std::uint8_t* map = tone.channel.data();
  const bool keepBlack = !tone.correctBlack;
  const bool keepWhite = !tone.correctWhite;
  std::size_t done = 0;
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512: done = toneColour512(p, count, map, keepBlack, keepWhite); break;
    case SimdLevel::Avx2: done = toneColour256(p, count, map, keepBlack, keepWhite); break;
    case SimdLevel::Scalar: break;
  }
#endif
  mapColourScalar(p + 3 * done, count - done, map, keepBlack, keepWhite);
}

}  // namespace

PixelRect selectionPixels(double x, double y, double w, double h) {
  PixelRect r;
  r.left = nearestSaturated(x);
  r.right = nearestSaturated(x + w - 1.0);
  r.top = nearestSaturated(y);
  r.bottom = saturate(static_cast<long long>(r.top) + nearestSaturated(h - 1.0));
  return r;
}

PixelRect clipToPicture(const PixelRect& rect, int width, int height) {
  PixelRect r = rect;
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > width - 1) r.right = width - 1;
  if (r.bottom > height - 1) r.bottom = height - 1;
  return r;
}

PixelRect wholePicture(const Bitmap& picture) {
  return PixelRect{0, 0, picture.width - 1, picture.height - 1};
}

// ---- Tone map -----------------------------------------------------------------------

int toneValue(int p, float contrast, int brightness) {
  const double v = static_cast<double>(p) * static_cast<double>(contrast) +
                   static_cast<double>(brightness);
  return clampedGrey(v);
}

bool toneIsOff(float contrast, int brightness) { return contrast == 1.0f && brightness == 0; }

ToneMap makeToneMap(float contrast, int brightness, bool correctBlack, bool correctWhite) {
  ToneMap t;
  t.correctBlack = correctBlack;
  t.correctWhite = correctWhite;
  t.identity = true;
  for (int v = 0; v < 256; ++v) {
    t.channel[v] = static_cast<std::uint8_t>(toneValue(v, contrast, brightness));
    if (t.channel[v] != v) t.identity = false;
  }
  t.grey = t.channel;
  if (!correctBlack) t.grey[0] = 0;
  if (!correctWhite) t.grey[255] = 255;
  return t;
}

ToneMap identityToneMap() { return makeToneMap(1.0f, 0, false, false); }

bool applyTone(Bitmap& picture, const PixelRect& rect, const ToneMap& tone) {
  if (picture.bits != 8 && picture.bits != 24) return false;
  PixelRect c;
  if (!rowSpan(picture, rect, c)) return false;
  if (tone.identity) return true;
  const int count = c.right - c.left + 1;
  for (int r = c.top; r <= c.bottom; ++r) {
    std::uint8_t* row = picture.row(r);
    if (picture.bits == 8) {
      mapBytesThrough(row + c.left, static_cast<std::size_t>(count), tone.grey.data());
    } else {
      mapColour(row + 3 * static_cast<std::size_t>(c.left), static_cast<std::size_t>(count),
                tone);
    }
  }
  return true;
}

bool applyTone(Bitmap& picture, const ToneMap& tone) {
  return applyTone(picture, wholePicture(picture), tone);
}

// ---- Contrast relative to white -------------------------------------------------------

int darkRelWhiteOffset(float kw) {
  return nearestSaturated((static_cast<double>(kw) - 1.0) * -255.0);
}

int darkRelWhiteValue(int p, float kw) {
  // White stays white for every kw. By the formula alone it would not when the offset is
  // rounded from an exact half (kw = 1.5 gives 382.5 - 128 = 254.5, i.e. 254).
  if (p == 255) return 255;
  const double v = static_cast<double>(p) * static_cast<double>(kw) +
                   static_cast<double>(darkRelWhiteOffset(kw));
  return clampedGrey(v);
}

bool darkRelWhite(Bitmap& picture, const PixelRect& rect, float kw) {
  if (picture.bits != 8) return false;
  PixelRect c;
  if (!rowSpan(picture, rect, c)) return false;
  std::uint8_t map[256];
  bool identity = true;
  for (int v = 0; v < 256; ++v) {
    map[v] = static_cast<std::uint8_t>(darkRelWhiteValue(v, kw));
    if (map[v] != v) identity = false;
  }
  if (identity) return true;
  const std::size_t count = static_cast<std::size_t>(c.right - c.left + 1);
  for (int r = c.top; r <= c.bottom; ++r) mapBytesThrough(picture.row(r) + c.left, count, map);
  return true;
}

// ---- Colour to grey and to black and white ---------------------------------------------

int greyOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode) {
  if (mode == GreyReduction::Green) return green;
  return static_cast<int>(nearest(0.1 * blue + 0.6 * green + 0.3 * red));
}

bool isBlackAt(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode,
               int threshold) {
  if (mode == GreyReduction::Green) return green < threshold;
  return 0.6 * green + 0.1 * blue + 0.3 * red < static_cast<double>(threshold);
}

void greyRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                   const ToneMap& tone) {
  if (!bgr || !out || width <= 0) return;
  const std::uint8_t* map = tone.grey.data();
  const bool green = mode == GreyReduction::Green;
  int done = 0;
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512:
      done = green ? green512(bgr, width, out, map) : weightedGrey512(bgr, width, out, map);
      break;
    case SimdLevel::Avx2:
      done = green ? green256(bgr, width, out) : weightedGrey256(bgr, width, out);
      if (!tone.identity) mapBytesThrough(out, static_cast<std::size_t>(done), map);
      break;
    case SimdLevel::Scalar: break;
  }
#endif
  if (green) {
    for (int x = done; x < width; ++x) out[x] = map[bgr[3 * x + 1]];
    return;
  }
  weightedGreyScalar(bgr, done, width, out, map);
}

void bitRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                  int threshold) {
  if (!bgr || !out || width <= 0) return;
  // Every value is at least 0, and every weighted sum below 256.
  if (bitRowForExtremeThreshold(out, width, threshold)) return;
  int done = 0;
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512: done = bits512(bgr, width, out, mode, threshold); break;
    case SimdLevel::Avx2: done = bits256(bgr, width, out, mode, threshold); break;
    case SimdLevel::Scalar: break;
  }
#endif
  bitRowScalar(bgr, done, width, out, mode, threshold);
}

// ---- Popup menu items ------------------------------------------------------------------

std::string brightnessMenuCaption(std::string_view brightnessText, std::string_view contrastText) {
  std::string s = "Яркость ";
  // A text that already carries its own "+" is not given a second one.
  const std::size_t first = brightnessText.find_first_not_of(' ');
  const bool hasPlus = first != std::string_view::npos && brightnessText[first] == '+';
  if (!hasPlus && parseNumber(brightnessText) > 0) s += '+';
  s += brightnessText;
  s += ", контрастность * ";
  s += contrastText;
  s += ",  <K>";
  return s;
}

bool brightnessMenuEnabled(int bits, std::string_view brightnessText,
                           std::string_view contrastText) {
  return contrastMenuEnabled(bits) && (contrastText != "1" || brightnessText != "0");
}

std::string contrastMenuCaption(std::string_view contrastWhiteText) {
  std::string s = "Контрастность * ";
  s += contrastWhiteText;
  s += ",  <*>";
  return s;
}

bool contrastMenuEnabled(int bits) { return bits == 8 || bits == 24; }

}  // namespace quillaro
