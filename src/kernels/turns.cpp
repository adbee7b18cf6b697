#include "kernels/turns.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "kernels/simd_level.h"
#include "kernels/simd_lut.h"
#include "base/ports.h"
#include "base/tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillaro {

namespace {

bool turnable(const Bitmap& b) {
  return !b.empty() && b.width > 0 && b.height > 0 &&
         (b.bits == 1 || b.bits == 8 || b.bits == 24);
}

// Reports done / total as a percentage and lets pending events run.
class Reporter {
public:
  Reporter(Progress* p, int total) : progress_(p), total_(total > 0 ? total : 1) {}
  void at(int done) {
    if (!progress_) return;
    progress_->percent(static_cast<int>(static_cast<long long>(done) * 100 / total_));
    progress_->pump();
  }

private:
  Progress* progress_;
  int total_;
};

// ---- Over (180 degrees) ----------------------------------------------------------------

// 1-bit row of `width` pixels in n bytes, reversed into `out` (which may not be `in`).
// Reversing the bytes and the bits of each byte puts old pixel 8n - 1 - p at p; the
// pixels wanted start `pad` = 8n - width bits later, so the row is shifted left by pad,
// which drops the old padding bits and fills the new ones with 1.
inline std::uint64_t byteSwap(std::uint64_t x) {
#if defined(__GNUC__)
  return __builtin_bswap64(x);
#else
  std::uint64_t r = 0;
  for (int k = 0; k < 8; ++k, x >>= 8) r = (r << 8) | (x & 0xFF);
  return r;
#endif
}

// Each byte of the word with its bit order reversed.
inline std::uint64_t reverseBitsInBytes(std::uint64_t x) {
  x = ((x >> 1) & 0x5555555555555555ull) | ((x & 0x5555555555555555ull) << 1);
  x = ((x >> 2) & 0x3333333333333333ull) | ((x & 0x3333333333333333ull) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((x & 0x0F0F0F0F0F0F0F0Full) << 4);
  return x;
}

// Output bytes from `i` on (the bytes before it are written already).
void reverseBitRow(const std::uint8_t* in, int n, int pad, std::uint8_t* out,
                   const std::uint8_t* rev, int i = 0) {
  // With R[i] = rev[in[n - 1 - i]] and R[n] = 255: out[i] = R[i] << pad | R[i + 1] >> back.
  const int back = 8 - pad;
  // Eight output bytes at a time: the eight input bytes ending at n - 1 - i, loaded as a
  // little-endian word with the bits of each byte reversed, are R[i..i+7] read as a
  // big-endian word.
  for (; i + 9 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, in + (n - 8 - i), 8);
    const std::uint64_t r = reverseBitsInBytes(w);
    const std::uint64_t next = rev[in[n - 9 - i]];
    const std::uint64_t o = pad ? (r << pad) | (next >> back) : r;
    const std::uint64_t le = byteSwap(o);
    std::memcpy(out + i, &le, 8);
  }
  for (; i < n; ++i) {
    const unsigned a = rev[in[n - 1 - i]];
    const unsigned b = i + 1 < n ? rev[in[n - 2 - i]] : 0xFFu;
    out[i] = static_cast<std::uint8_t>(pad ? (a << pad) | (b >> back) : a);
  }
}

#if QUILLARO_X86_KERNELS
// Byte permute indices that put 64 bytes in reverse order.
alignas(64) constexpr std::uint8_t kBackwards[64] = {
    63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46, 45, 44, 43, 42,
    41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20,
    19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0};

// The 64 bytes of v in reverse order, each with its bits reversed (one affine step with
// the bit-reversing matrix): R[i .. i + 63] when v holds in[n - 64 - i ..].
QUILLARO_AVX512 inline __m512i reversedBits(__m512i v) {
  const __m512i mirror = _mm512_set1_epi64(0x8040201008040201ll);
  return _mm512_maskz_gf2p8affine_epi64_epi8(
      ~__mmask64{0}, permuteBytes(_mm512_load_si512(kBackwards), v), mirror, 0);
}
QUILLARO_AVX512 inline __m512i reversedBits64(const std::uint8_t* p) {
  return reversedBits(_mm512_loadu_si512(p));
}

// R[i..] << pad | R[i + 1..] >> (8 - pad) within each byte, from the shifts of the 16-bit
// words and the mask of the bits that stay.
QUILLARO_AVX512 inline __m512i shiftedIn(__m512i r, __m512i next, int pad, __m128i left,
                                         __m128i right, __m512i keepLeft) {
  if (!pad) return r;
  return _mm512_ternarylogic_epi32(keepLeft, _mm512_sll_epi16(r, left),
                                   _mm512_srl_epi16(next, right), 0xCA);
}

// reverseBitRow, 64 output bytes at a time; the last 1 .. 64 bytes with masked loads and
// stores (the bytes masked off are neither read nor written).
QUILLARO_AVX512 void reverseBitRow512(const std::uint8_t* in, int n, int pad,
                                      std::uint8_t* out) {
  const __m128i left = _mm_cvtsi32_si128(pad), right = _mm_cvtsi32_si128(8 - pad);
  const __m512i keepLeft = _mm512_set1_epi8(static_cast<char>((0xFF << pad) & 0xFF));
  const __m512i white = _mm512_set1_epi8(-1);
  // Indices 1 .. 64 into the pair (this block, the next one): R[i + 1 .. i + 64].
  alignas(64) static constexpr std::uint8_t kOneOn[64] = {
      1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
      23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,
      45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64};
  const __m512i oneOn = _mm512_load_si512(kOneOn);
  int i = 0;
  __m512i r = n >= 64 ? reversedBits64(in + (n - 64)) : white;
  for (; i + 65 <= n; i += 64) {
    __m512i following = r, next;
    if (i + 128 <= n) {
      following = reversedBits64(in + (n - 128 - i));  // R[i + 64 .. i + 127]
      next = _mm512_permutex2var_epi8(r, oneOn, following);
    } else {
      next = reversedBits64(in + (n - 65 - i));  // R[i + 1 .. i + 64]
    }
    _mm512_storeu_si512(out + i, shiftedIn(r, next, pad, left, right, keepLeft));
    r = following;
  }
  // The last m bytes: in[0 .. m) loaded into the top of a vector, R[n] and on white.
  const int m = n - i;
  const __mmask64 low = m >= 64 ? ~__mmask64{0} : (__mmask64{1} << m) - 1;
  const __mmask64 high = ~__mmask64{0} << (64 - m);
  r = reversedBits(_mm512_maskz_loadu_epi8(high, in + m - 64));
  r = _mm512_mask_mov_epi8(white, low, r);
  const __m512i next = _mm512_permutex2var_epi8(r, oneOn, white);
  _mm512_mask_storeu_epi8(out + i, low, shiftedIn(r, next, pad, left, right, keepLeft));
}

// The 32 bytes at p in reverse order, each with its bits reversed (nibbles through a
// 16-entry table): R[i .. i + 31] when p points at in[n - 32 - i].
QUILLARO_AVX2 inline __m256i reversedBits32(const std::uint8_t* p) {
  const __m256i backwards = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2,
                                             1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4,
                                             3, 2, 1, 0);
  const __m256i nibbles = _mm256_setr_epi8(0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE, 0x1, 0x9,
                                           0x5, 0xD, 0x3, 0xB, 0x7, 0xF, 0x0, 0x8, 0x4, 0xC,
                                           0x2, 0xA, 0x6, 0xE, 0x1, 0x9, 0x5, 0xD, 0x3, 0xB,
                                           0x7, 0xF);
  const __m256i low = _mm256_set1_epi8(0x0F);
  __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  v = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, backwards), 0x4E);
  const __m256i l = _mm256_shuffle_epi8(nibbles, _mm256_and_si256(v, low));
  const __m256i h = _mm256_shuffle_epi8(nibbles, _mm256_and_si256(_mm256_srli_epi16(v, 4), low));
  return _mm256_or_si256(_mm256_slli_epi16(l, 4), h);
}

// reverseBitRow, 32 output bytes at a time while the byte after them comes from the row.
QUILLARO_AVX2 void reverseBitRow256(const std::uint8_t* in, int n, int pad, std::uint8_t* out,
                                    const std::uint8_t* rev) {
  const __m128i left = _mm_cvtsi32_si128(pad), right = _mm_cvtsi32_si128(8 - pad);
  const __m256i keepLeft = _mm256_set1_epi8(static_cast<char>((0xFF << pad) & 0xFF));
  int i = 0;
  for (; i + 33 <= n; i += 32) {
    __m256i o = reversedBits32(in + (n - 32 - i));
    if (pad) {
      const __m256i next = reversedBits32(in + (n - 33 - i));  // R[i + 1 .. i + 32]
      o = _mm256_or_si256(_mm256_and_si256(_mm256_sll_epi16(o, left), keepLeft),
                          _mm256_andnot_si256(keepLeft, _mm256_srl_epi16(next, right)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), o);
  }
  reverseBitRow(in, n, pad, out, rev, i);
}

// swapReversed8 for two different rows, 64 bytes at a time from both ends.
QUILLARO_AVX512 int swapReversed8Avx512(std::uint8_t* a, std::uint8_t* b, int n) {
  const __m512i index = _mm512_load_si512(kBackwards);
  int lo = 0;
  for (; lo + 64 <= n; lo += 64) {
    std::uint8_t* p = a + lo;
    std::uint8_t* q = b + (n - 64 - lo);
    const __m512i va = _mm512_loadu_si512(p);
    const __m512i vb = _mm512_loadu_si512(q);
    _mm512_storeu_si512(p, permuteBytes(index, vb));
    _mm512_storeu_si512(q, permuteBytes(index, va));
  }
  return lo;
}

// swapReversed24 for two different rows, sixteen pixels at a time from both ends.
QUILLARO_AVX512 int swapReversed24Avx512(std::uint8_t* a, std::uint8_t* b, int w) {
  alignas(64) static constexpr std::uint8_t kPixelsBackwards[64] = {
      45, 46, 47, 42, 43, 44, 39, 40, 41, 36, 37, 38, 33, 34, 35, 30, 31, 32, 27, 28, 29, 24,
      25, 26, 21, 22, 23, 18, 19, 20, 15, 16, 17, 12, 13, 14, 9,  10, 11, 6,  7,  8,  3,  4,
      5,  0,  1,  2,  48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  const __m512i index = _mm512_load_si512(kPixelsBackwards);
  constexpr __mmask64 k48 = (__mmask64{1} << 48) - 1;
  int x = 0;
  for (; x + 16 <= w; x += 16) {
    std::uint8_t* p = a + 3 * x;
    std::uint8_t* q = b + 3 * (w - 16 - x);
    const __m512i va = _mm512_maskz_loadu_epi8(k48, p);
    const __m512i vb = _mm512_maskz_loadu_epi8(k48, q);
    _mm512_mask_storeu_epi8(p, k48, permuteBytes(index, vb));
    _mm512_mask_storeu_epi8(q, k48, permuteBytes(index, va));
  }
  return x;
}
#endif

void over1(Bitmap& p, Reporter& rep) {
  const int n = p.rowBytes;
  const int pad = 8 * n - p.width;
  const std::uint8_t* rev = tables().bitReverse.data();
  std::vector<std::uint8_t> a(static_cast<std::size_t>(n));
  // Padding bytes (at most three) are made white, like the bits after the last pixel.
  const int tail = p.stride - n;
  if (tail)
    for (int s = 0; s < p.height; ++s) {
      std::uint8_t* padding = p.fileRow(s) + n;
      padding[0] = 0xFF;
      if (tail > 1) padding[1] = 0xFF;
      if (tail > 2) padding[2] = 0xFF;
    }
  auto reverse = [&](const std::uint8_t* in, std::uint8_t* out) {
#if QUILLARO_X86_KERNELS
    if (simdLevel() == SimdLevel::Avx512) return reverseBitRow512(in, n, pad, out);
    if (simdLevel() == SimdLevel::Avx2) return reverseBitRow256(in, n, pad, out, rev);
#endif
    reverseBitRow(in, n, pad, out, rev);
  };
  for (int s = 0, t = p.height - 1; s <= t; ++s, --t) {
    if ((s & 31) == 0) rep.at(2 * s);
    std::uint8_t* rs = p.fileRow(s);
    std::uint8_t* rt = p.fileRow(t);
    // Row t reversed into the spare row, row s reversed straight into row t, then the
    // spare row into row s.
    if (s != t) reverse(rt, a.data());
    reverse(rs, s != t ? rt : a.data());
    std::memcpy(rs, a.data(), static_cast<std::size_t>(n));
  }
}

#if defined(__SSE2__)
// The 16 bytes in reverse order.
inline __m128i reverse16(__m128i v) {
  v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}
#endif

// Exchanges a[x] and b[n - 1 - x] for every x (a == b reverses one row).
void swapReversed8(std::uint8_t* a, std::uint8_t* b, int n) {
  int lo = 0, hi = n;  // a[lo..], b[..hi)
  if (a == b) {
    std::reverse(a, a + n);
    return;
  }
#if QUILLARO_X86_KERNELS
  if (simdLevel() == SimdLevel::Avx512) {
    lo = swapReversed8Avx512(a, b, n);
    hi = n - lo;
  }
#endif
#if defined(__SSE2__)
  for (; hi - 16 >= 0 && lo + 16 <= n; lo += 16, hi -= 16) {
    __m128i* pa = reinterpret_cast<__m128i*>(a + lo);
    __m128i* pb = reinterpret_cast<__m128i*>(b + hi - 16);
    const __m128i va = _mm_loadu_si128(pa);
    const __m128i vb = _mm_loadu_si128(pb);
    _mm_storeu_si128(pa, reverse16(vb));
    _mm_storeu_si128(pb, reverse16(va));
  }
#endif
  for (; lo < n; ++lo, --hi) std::swap(a[lo], b[hi - 1]);
}

void swapReversed24(std::uint8_t* a, std::uint8_t* b, int w) {
  if (a == b) {
    for (int x = 0, y = w - 1; x < y; ++x, --y) {
      std::uint8_t* p = a + 3 * x;
      std::uint8_t* q = a + 3 * y;
      std::swap(p[0], q[0]);
      std::swap(p[1], q[1]);
      std::swap(p[2], q[2]);
    }
    return;
  }
  int x = 0;
#if QUILLARO_X86_KERNELS
  if (simdLevel() == SimdLevel::Avx512) x = swapReversed24Avx512(a, b, w);
#endif
  for (; x < w; ++x) {
    std::uint8_t* p = a + 3 * x;
    std::uint8_t* q = b + 3 * (w - 1 - x);
    std::uint8_t t0 = p[0], t1 = p[1], t2 = p[2];
    p[0] = q[0];
    p[1] = q[1];
    p[2] = q[2];
    q[0] = t0;
    q[1] = t1;
    q[2] = t2;
  }
}

// ---- Quarter turns ----------------------------------------------------------------------
//
// Both quarter turns write destination file row j from source column col(j) and
// destination column i from source file row row(i):
//   right: row(i) = i,         col(j) = W - 1 - j;
//   left:  row(i) = H - 1 - i, col(j) = j.
// A transpose reads or writes every row of a picture at every step, so the work goes in
// two levels of square tiles: the outer ones keep the pages in use within the second-level
// address cache (TLB) and the lines within the second-level data cache, the inner ones
// keep the pages within the first-level address cache.

constexpr int kOuterTile = 512;
constexpr int kInnerTile8 = 64;   // 8 bits: a tile's rows are whole cache lines
constexpr int kInnerTile24 = 32;

struct QuarterGeometry {
  QuarterGeometry(const Bitmap& s, Bitmap& d, bool r)
      : src(s), dst(d), right(r),
        srcBase(r ? s.data() : s.fileRow(s.height - 1)),
        srcStep(r ? static_cast<std::ptrdiff_t>(s.stride) : -static_cast<std::ptrdiff_t>(s.stride)) {}
  const Bitmap& src;
  Bitmap& dst;
  bool right;
  const std::uint8_t* srcBase;  // source file row for destination column 0
  std::ptrdiff_t srcStep;
  const std::uint8_t* srcRow(int i) const { return srcBase + i * srcStep; }
  int srcCol(int j) const { return right ? src.width - 1 - j : j; }
  std::uint8_t* dstRow(int j) const { return dst.fileRow(j); }
};

inline void prefetch(const std::uint8_t* p) {
#if defined(__SSE2__)
  _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
#else
  (void)p;
#endif
}

// Calls tile(j0, j1, i0, i1) for destination rows [j0, j1) and columns [i0, i1) over the
// whole destination (8 or 24 bits), reporting progress once per band of outer tiles. The
// source and destination lines of the next inner tile are fetched ahead: the accesses jump
// from row to row, which the processor's own prefetching does not follow.
template <class Tile>
void forEachTile(const QuarterGeometry& g, Reporter& rep, int inner, Tile tile) {
  const int rows = g.dst.height, cols = g.dst.width;
  const int bytesPerPixel = g.src.bits / 8;
  for (int jo = 0; jo < rows; jo += kOuterTile) {
    rep.at(jo);
    const int joEnd = std::min(jo + kOuterTile, rows);
    for (int io = 0; io < cols; io += kOuterTile) {
      const int ioEnd = std::min(io + kOuterTile, cols);
      for (int j = jo; j < joEnd; j += inner) {
        const int jEnd = std::min(j + inner, joEnd);
        // Source bytes of destination rows j..jEnd-1 within one source row.
        const int first = bytesPerPixel * g.srcCol(g.right ? jEnd - 1 : j);
        const int length = bytesPerPixel * (jEnd - j);
        for (int i = io; i < ioEnd; i += inner) {
          const int next = i + inner;
          for (int k = next; k < std::min(next + inner, ioEnd); ++k) {
            const std::uint8_t* r = g.srcRow(k) + first;
            for (int o = 0; o < length; o += 64) prefetch(r + o);
            prefetch(r + length - 1);
          }
          if (next < ioEnd) {
            const int span = bytesPerPixel * (std::min(next + inner, ioEnd) - next);
            for (int jj = j; jj < jEnd; ++jj) {
              const std::uint8_t* d = g.dstRow(jj) + bytesPerPixel * next;
              for (int o = 0; o < span; o += 64) prefetch(d + o);
              prefetch(d + span - 1);
            }
          }
          tile(j, jEnd, i, std::min(next, ioEnd));
        }
      }
    }
  }
}

// 8 x 8 bytes: destination row m (at q + m x qs) takes byte m of the source rows at
// p + k x ps, k = 0..7, in order.
#if defined(__SSE2__)
inline void transpose8x8(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                         std::ptrdiff_t qs) {
  auto load = [](const std::uint8_t* a) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
  };
  auto store = [](std::uint8_t* a, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(a), v);
  };
  const __m128i t0 = _mm_unpacklo_epi8(load(p), load(p + ps));
  const __m128i t1 = _mm_unpacklo_epi8(load(p + 2 * ps), load(p + 3 * ps));
  const __m128i t2 = _mm_unpacklo_epi8(load(p + 4 * ps), load(p + 5 * ps));
  const __m128i t3 = _mm_unpacklo_epi8(load(p + 6 * ps), load(p + 7 * ps));
  const __m128i u0 = _mm_unpacklo_epi16(t0, t1);
  const __m128i u1 = _mm_unpackhi_epi16(t0, t1);
  const __m128i u2 = _mm_unpacklo_epi16(t2, t3);
  const __m128i u3 = _mm_unpackhi_epi16(t2, t3);
  const __m128i v0 = _mm_unpacklo_epi32(u0, u2);
  const __m128i v1 = _mm_unpackhi_epi32(u0, u2);
  const __m128i v2 = _mm_unpacklo_epi32(u1, u3);
  const __m128i v3 = _mm_unpackhi_epi32(u1, u3);
  store(q, v0);
  store(q + qs, _mm_srli_si128(v0, 8));
  store(q + 2 * qs, v1);
  store(q + 3 * qs, _mm_srli_si128(v1, 8));
  store(q + 4 * qs, v2);
  store(q + 5 * qs, _mm_srli_si128(v2, 8));
  store(q + 6 * qs, v3);
  store(q + 7 * qs, _mm_srli_si128(v3, 8));
}
#else
inline void transpose8x8(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                         std::ptrdiff_t qs) {
  for (int m = 0; m < 8; ++m)
    for (int k = 0; k < 8; ++k) q[m * qs + k] = p[k * ps + m];
}
#endif

void quarter8Plain(const QuarterGeometry& g, int j0, int j1, int i0, int i1) {
  const std::ptrdiff_t ps = g.srcStep;
  const std::ptrdiff_t dstStride = g.dst.stride;
  // The right turn reads the source columns of destination rows j..j+7 backwards, so its
  // output rows come in reverse.
  const std::ptrdiff_t qs = g.right ? -dstStride : dstStride;
  int j = j0;
  for (; j + 8 <= j1; j += 8) {
    const int c0 = g.right ? g.srcCol(j + 7) : g.srcCol(j);  // lowest source column
    const std::uint8_t* p = g.srcRow(i0) + c0;
    std::uint8_t* q = g.dstRow(g.right ? j + 7 : j);
    int i = i0;
    for (; i + 8 <= i1; i += 8, p += 8 * ps) transpose8x8(p, ps, q + i, qs);
    for (; i < i1; ++i, p += ps)
      for (int m = 0; m < 8; ++m) q[m * qs + i] = p[m];
  }
  for (; j < j1; ++j) {
    std::uint8_t* d = g.dstRow(j);
    const std::uint8_t* p = g.srcRow(i0) + g.srcCol(j);
    for (int i = i0; i < i1; ++i, p += ps) d[i] = *p;
  }
}

void quarter24Plain(const QuarterGeometry& g, int j0, int j1, int i0, int i1) {
  const std::ptrdiff_t ps = g.srcStep;
  const int lastColumn = g.src.width - 1;
  for (int j = j0; j < j1; ++j) {
    std::uint8_t* d = g.dstRow(j) + 3 * static_cast<std::size_t>(i0);
    const int c = g.srcCol(j);
    const std::uint8_t* p = g.srcRow(i0) + 3 * static_cast<std::size_t>(c);
    int i = i0;
    // Four bytes at a time where the fourth byte, read from the next source pixel, lies
    // inside the row and is written where the next destination pixel will go anyway.
    if (c < lastColumn)
      for (; i + 1 < i1; ++i, d += 3, p += ps) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        std::memcpy(d, &v, 4);
      }
    for (; i < i1; ++i, d += 3, p += ps) {
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }
}

#if QUILLARO_X86_KERNELS
// ---- Vector blocks for quarter turns ----------------------------------------------------
//
// A block turns source rows p + k ps (k = 0 .. rows - 1) into destination rows q + m qs
// (m = 0 .. 15 source columns): destination row m takes pixel m of every source row in
// order. The byte transposes work on sixteen 16-byte rows per 128-bit lane; a wider
// vector holds more source rows in its other lanes, so that each destination row comes
// out as one whole vector.

// 16 x 16 bytes within each 128-bit lane: r[i] holds row i, afterwards column i. Four
// rounds of interleaving, each doubling the size of the pieces that are in place.
#define QUILLARO_TRANSPOSE16(V, unpacklo8, unpackhi8, unpacklo16, unpackhi16, unpacklo32,  \
                             unpackhi32, unpacklo64, unpackhi64)                           \
  V s1[16], s2[16], s3[16];                                                                \
  for (int i = 0; i < 8; ++i) {                                                            \
    s1[i] = unpacklo8(r[2 * i], r[2 * i + 1]);     /* columns 0..7 of a row pair */        \
    s1[8 + i] = unpackhi8(r[2 * i], r[2 * i + 1]); /* columns 8..15 */                     \
  }                                                                                        \
  for (int h = 0; h < 2; ++h)                                                              \
    for (int i = 0; i < 4; ++i) {                                                          \
      /* s2[4 c + i]: columns 4c..4c+3 of rows 4i..4i+3 */                                 \
      s2[8 * h + i] = unpacklo16(s1[8 * h + 2 * i], s1[8 * h + 2 * i + 1]);                \
      s2[8 * h + 4 + i] = unpackhi16(s1[8 * h + 2 * i], s1[8 * h + 2 * i + 1]);            \
    }                                                                                      \
  for (int c = 0; c < 4; ++c)                                                              \
    for (int o = 0; o < 2; ++o) {                                                          \
      /* s3[2 (2c + e) + o]: columns 2(2c+e), 2(2c+e)+1 of rows 8o..8o+7 */                \
      s3[2 * (2 * c) + o] = unpacklo32(s2[4 * c + 2 * o], s2[4 * c + 2 * o + 1]);          \
      s3[2 * (2 * c + 1) + o] = unpackhi32(s2[4 * c + 2 * o], s2[4 * c + 2 * o + 1]);      \
    }                                                                                      \
  for (int cp = 0; cp < 8; ++cp) {                                                         \
    r[2 * cp] = unpacklo64(s3[2 * cp], s3[2 * cp + 1]);                                    \
    r[2 * cp + 1] = unpackhi64(s3[2 * cp], s3[2 * cp + 1]);                                \
  }

// Interleaves of 32- and 64-bit elements in zeroing form (the plain forms' header versions
// leave GCC 12 warning about an undefined operand).
QUILLARO_AVX512 inline __m512i unpackLo32(__m512i a, __m512i b) {
  return _mm512_maskz_unpacklo_epi32(0xFFFF, a, b);
}
QUILLARO_AVX512 inline __m512i unpackHi32(__m512i a, __m512i b) {
  return _mm512_maskz_unpackhi_epi32(0xFFFF, a, b);
}
QUILLARO_AVX512 inline __m512i unpackLo64(__m512i a, __m512i b) {
  return _mm512_maskz_unpacklo_epi64(0xFF, a, b);
}
QUILLARO_AVX512 inline __m512i unpackHi64(__m512i a, __m512i b) {
  return _mm512_maskz_unpackhi_epi64(0xFF, a, b);
}

// The 128-bit lanes of a, b, c and d as a 4 x 4 matrix, transposed: out[l] holds lane l of
// a, b, c and d in that order.
QUILLARO_AVX512 inline void transposeLaneBlocks(__m512i a, __m512i b, __m512i c, __m512i d,
                                                __m512i out[4]) {
  const __m512i ab01 = _mm512_maskz_shuffle_i32x4(0xFFFF, a, b, 0x44);
  const __m512i ab23 = _mm512_maskz_shuffle_i32x4(0xFFFF, a, b, 0xEE);
  const __m512i cd01 = _mm512_maskz_shuffle_i32x4(0xFFFF, c, d, 0x44);
  const __m512i cd23 = _mm512_maskz_shuffle_i32x4(0xFFFF, c, d, 0xEE);
  out[0] = _mm512_maskz_shuffle_i32x4(0xFFFF, ab01, cd01, 0x88);
  out[1] = _mm512_maskz_shuffle_i32x4(0xFFFF, ab01, cd01, 0xDD);
  out[2] = _mm512_maskz_shuffle_i32x4(0xFFFF, ab23, cd23, 0x88);
  out[3] = _mm512_maskz_shuffle_i32x4(0xFFFF, ab23, cd23, 0xDD);
}

QUILLARO_AVX512 inline void transposeLanes512(__m512i r[16]) {
  QUILLARO_TRANSPOSE16(__m512i, _mm512_unpacklo_epi8, _mm512_unpackhi_epi8,
                       _mm512_unpacklo_epi16, _mm512_unpackhi_epi16, unpackLo32, unpackHi32,
                       unpackLo64, unpackHi64)
}

QUILLARO_AVX2 inline void transposeLanes256(__m256i r[16]) {
  QUILLARO_TRANSPOSE16(__m256i, _mm256_unpacklo_epi8, _mm256_unpackhi_epi8,
                       _mm256_unpacklo_epi16, _mm256_unpackhi_epi16, _mm256_unpacklo_epi32,
                       _mm256_unpackhi_epi32, _mm256_unpacklo_epi64, _mm256_unpackhi_epi64)
}
#undef QUILLARO_TRANSPOSE16

inline __m128i load16(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// 8 bits, 64 source rows x 16 columns: lane L of vector i holds source row 16 L + i.
QUILLARO_AVX512 void block8x64(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                               std::ptrdiff_t qs) {
  __m512i r[16];
  for (int i = 0; i < 16; ++i) {
    __m512i v = _mm512_castsi128_si512(load16(p + i * ps));
    v = _mm512_inserti32x4(v, load16(p + (16 + i) * ps), 1);
    v = _mm512_inserti32x4(v, load16(p + (32 + i) * ps), 2);
    v = _mm512_inserti32x4(v, load16(p + (48 + i) * ps), 3);
    r[i] = v;
  }
  transposeLanes512(r);
  for (int m = 0; m < 16; ++m) _mm512_storeu_si512(q + m * qs, r[m]);
}

// 8 bits, 32 source rows x 16 columns.
QUILLARO_AVX2 void block8x32(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                             std::ptrdiff_t qs) {
  __m256i r[16];
  for (int i = 0; i < 16; ++i)
    r[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(load16(p + i * ps)),
                                   load16(p + (16 + i) * ps), 1);
  transposeLanes256(r);
  for (int m = 0; m < 16; ++m) _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + m * qs), r[m]);
}

// 24 bits, 16 source rows x 16 pixels: each pixel widened to 32 bits, a 16 x 16 transpose
// of those, and the rows narrowed back to 48 bytes.
struct Pixel24Index {
  alignas(64) std::uint8_t widen[64];
  alignas(64) std::uint8_t narrow[64];
  constexpr Pixel24Index() : widen{}, narrow{} {
    for (int k = 0; k < 16; ++k)
      for (int j = 0; j < 4; ++j)
        widen[4 * k + j] = static_cast<std::uint8_t>(3 * k + (j < 3 ? j : 0));
    for (int b = 0; b < 64; ++b)
      narrow[b] = static_cast<std::uint8_t>(b < 48 ? 4 * (b / 3) + b % 3 : 0);
  }
};
constexpr Pixel24Index kPixel24;

QUILLARO_AVX512 void block24x16(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                                std::ptrdiff_t qs) {
  constexpr __mmask64 k48 = (__mmask64{1} << 48) - 1;
  const __m512i widen = _mm512_load_si512(kPixel24.widen);
  const __m512i narrow = _mm512_load_si512(kPixel24.narrow);
  __m512i x[16];
  for (int i = 0; i < 16; ++i) x[i] = permuteBytes(widen, _mm512_maskz_loadu_epi8(k48, p + i * ps));
  // Within lanes: b[4 m + j] lane L holds pixel 4 L + j of rows 4 m .. 4 m + 3.
  __m512i a[16], b[16];
  for (int k = 0; k < 8; ++k) {
    a[2 * k] = unpackLo32(x[2 * k], x[2 * k + 1]);
    a[2 * k + 1] = unpackHi32(x[2 * k], x[2 * k + 1]);
  }
  for (int m = 0; m < 4; ++m) {
    b[4 * m] = unpackLo64(a[4 * m], a[4 * m + 2]);
    b[4 * m + 1] = unpackHi64(a[4 * m], a[4 * m + 2]);
    b[4 * m + 2] = unpackLo64(a[4 * m + 1], a[4 * m + 3]);
    b[4 * m + 3] = unpackHi64(a[4 * m + 1], a[4 * m + 3]);
  }
  // Across lanes: pixel 4 L + j takes lane L of b[j], b[4 + j], b[8 + j], b[12 + j].
  for (int j = 0; j < 4; ++j) {
    __m512i out[4];
    transposeLaneBlocks(b[j], b[4 + j], b[8 + j], b[12 + j], out);
    for (int l = 0; l < 4; ++l)
      _mm512_mask_storeu_epi8(q + (4 * l + j) * qs, k48, permuteBytes(narrow, out[l]));
  }
}

// 24 bits, 8 source rows x 8 pixels, the same with 256-bit vectors.
QUILLARO_AVX2 void block24x8(const std::uint8_t* p, std::ptrdiff_t ps, std::uint8_t* q,
                             std::ptrdiff_t qs) {
  const __m256i widen =
      _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128, 4, 5, 6, -128,
                       7, 8, 9, -128, 10, 11, 12, -128, 13, 14, 15, -128);
  const __m256i narrow =
      _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128, 0, 1, 2, 4,
                       5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128);
  const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  __m256i x[8], a[8], b[8];
  for (int i = 0; i < 8; ++i) {
    // Bytes 0..15 in the low lane and 8..23 in the high one: pixels 0..3 and 4..7.
    const std::uint8_t* row = p + i * ps;
    x[i] = _mm256_shuffle_epi8(
        _mm256_inserti128_si256(_mm256_castsi128_si256(load16(row)), load16(row + 8), 1), widen);
  }
  for (int k = 0; k < 4; ++k) {
    a[2 * k] = _mm256_unpacklo_epi32(x[2 * k], x[2 * k + 1]);
    a[2 * k + 1] = _mm256_unpackhi_epi32(x[2 * k], x[2 * k + 1]);
  }
  for (int m = 0; m < 2; ++m) {
    b[4 * m] = _mm256_unpacklo_epi64(a[4 * m], a[4 * m + 2]);
    b[4 * m + 1] = _mm256_unpackhi_epi64(a[4 * m], a[4 * m + 2]);
    b[4 * m + 2] = _mm256_unpacklo_epi64(a[4 * m + 1], a[4 * m + 3]);
    b[4 * m + 3] = _mm256_unpackhi_epi64(a[4 * m + 1], a[4 * m + 3]);
  }
  for (int j = 0; j < 4; ++j) {
    const __m256i out[2] = {_mm256_permute2x128_si256(b[j], b[4 + j], 0x20),
                            _mm256_permute2x128_si256(b[j], b[4 + j], 0x31)};
    for (int l = 0; l < 2; ++l) {
      const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(out[l], narrow), join);
      std::uint8_t* d = q + (4 * l + j) * qs;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(packed));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm256_extracti128_si256(packed, 1));
    }
  }
}
#endif

// The part of a tile that whole vector blocks cover, [j0, jv) x [i0, iv); the rest goes
// to the plain code.
using Block = void (*)(const std::uint8_t*, std::ptrdiff_t, std::uint8_t*, std::ptrdiff_t);

template <class Plain>
void quarterTile(const QuarterGeometry& g, int j0, int j1, int i0, int i1, Block block,
                 int blockRows, int blockColumns, int bytesPerPixel, Plain plain) {
  const int iv = i0 + (i1 - i0) / blockRows * blockRows;
  const int jv = j0 + (j1 - j0) / blockColumns * blockColumns;
  const std::ptrdiff_t dstStride = g.dst.stride;
  const std::ptrdiff_t qs = g.right ? -dstStride : dstStride;
  for (int j = j0; j < jv; j += blockColumns) {
    const int c0 = g.right ? g.srcCol(j + blockColumns - 1) : g.srcCol(j);  // lowest column
    std::uint8_t* q = g.dstRow(g.right ? j + blockColumns - 1 : j);
    for (int i = i0; i < iv; i += blockRows)
      block(g.srcRow(i) + bytesPerPixel * static_cast<std::ptrdiff_t>(c0), g.srcStep,
            q + bytesPerPixel * static_cast<std::ptrdiff_t>(i), qs);
  }
  if (iv < i1) plain(g, j0, jv, iv, i1);
  if (jv < j1) plain(g, jv, j1, i0, i1);
}

void quarter8Tile(const QuarterGeometry& g, int j0, int j1, int i0, int i1) {
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512:
      return quarterTile(g, j0, j1, i0, i1, block8x64, 64, 16, 1, quarter8Plain);
    case SimdLevel::Avx2:
      return quarterTile(g, j0, j1, i0, i1, block8x32, 32, 16, 1, quarter8Plain);
    case SimdLevel::Scalar: break;
  }
#endif
  quarter8Plain(g, j0, j1, i0, i1);
}

void quarter24Tile(const QuarterGeometry& g, int j0, int j1, int i0, int i1) {
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512:
      return quarterTile(g, j0, j1, i0, i1, block24x16, 16, 16, 3, quarter24Plain);
    case SimdLevel::Avx2: return quarterTile(g, j0, j1, i0, i1, block24x8, 8, 8, 3, quarter24Plain);
    case SimdLevel::Scalar: break;
  }
#endif
  quarter24Plain(g, j0, j1, i0, i1);
}

// 1 bit. Destination byte b of a row holds destination columns 8b..8b+7, that is source
// rows row(8b..8b+7); source byte c holds source columns 8c..8c+7, which become
// destination rows. Source rows past the picture read as white; source columns past the
// width (the source's padding bits) would become destination rows that do not exist and
// are skipped, so they never reach a pixel.

// 8 x 8 bits held in a word, row k in byte 7 - k (the first row most significant), the
// first column in the top bit of each byte; the result holds the transposed block the
// same way.
inline std::uint64_t transposeBits(std::uint64_t x) {
  std::uint64_t t;
  t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x = x ^ t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x = x ^ t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  x = x ^ t ^ (t << 28);
  return x;
}

#if defined(__SSE2__)
// Sixteen source rows (two destination bytes) at a time. The sixteen rows' bytes c0..c0+15
// are transposed so that one vector holds byte c of all sixteen rows; the sign bits of its
// bytes are then source column 8c of those rows, and each doubling moves the next column
// into the sign bits. The rows are put into the vector so that the mask comes out as the
// two destination bytes, first column in the top bit.
void transpose16x16(__m128i r[16]) {
  __m128i lo[8], hi[8];  // row pairs: columns 0..7 and 8..15
  for (int k = 0; k < 8; ++k) {
    lo[k] = _mm_unpacklo_epi8(r[2 * k], r[2 * k + 1]);
    hi[k] = _mm_unpackhi_epi8(r[2 * k], r[2 * k + 1]);
  }
  __m128i quad[4][4];  // row quads: columns 0..3, 4..7, 8..11, 12..15
  for (int q = 0; q < 4; ++q) {
    quad[q][0] = _mm_unpacklo_epi16(lo[2 * q], lo[2 * q + 1]);
    quad[q][1] = _mm_unpackhi_epi16(lo[2 * q], lo[2 * q + 1]);
    quad[q][2] = _mm_unpacklo_epi16(hi[2 * q], hi[2 * q + 1]);
    quad[q][3] = _mm_unpackhi_epi16(hi[2 * q], hi[2 * q + 1]);
  }
  __m128i oct[2][8];  // row octets: columns 2p and 2p + 1
  for (int o = 0; o < 2; ++o)
    for (int cg = 0; cg < 4; ++cg) {
      oct[o][2 * cg] = _mm_unpacklo_epi32(quad[2 * o][cg], quad[2 * o + 1][cg]);
      oct[o][2 * cg + 1] = _mm_unpackhi_epi32(quad[2 * o][cg], quad[2 * o + 1][cg]);
    }
  for (int p = 0; p < 8; ++p) {
    r[2 * p] = _mm_unpacklo_epi64(oct[0][p], oct[1][p]);
    r[2 * p + 1] = _mm_unpackhi_epi64(oct[0][p], oct[1][p]);
  }
}
#endif

#if QUILLARO_X86_KERNELS
// A 1-bit block of 512 rows by 64 bytes, transposed: destination row j (at dst + j x
// dstStep, 64 bytes) takes bit column j of the source rows, source row i in bit i, the
// first column and the first row in the top bits. It goes in three steps through two small
// buffers, each step with whole vectors:
//  1. eight rows at a time, the bytes are interleaved so that word c of the eight rows
//     holds their byte c, and one affine step turns each such 8 x 8 block of bits: byte m
//     of the word is then source column 8c + m of the eight rows;
//  2. eight such groups (64 rows) at a time, the words of one byte c are gathered into a
//     vector, in which word m of a byte permute would be the eight bytes of destination row
//     8c + m; the permute takes two such octets at once and interleaves their words, which
//     is the first step of the next transpose;
//  3. the eight vectors (512 rows) of one byte c are transposed as 8 x 8 words, giving the
//     whole 64 bytes of destination rows 8c .. 8c + 7.
// Each step exchanges three bits of the row number with three of the column number, one bit
// per pass of two-vector shuffles.
class BitBlockTranspose {
public:
  QUILLARO_AVX512 BitBlockTranspose() {
    // The pair permutes: lane L of the result holds destination row 2L + h (h = 0, 1) of
    // the first octet, then of the second; byte k of row m of an octet is byte m of its
    // word k.
    alignas(64) std::uint8_t index[2][64];
    for (int h = 0; h < 2; ++h)
      for (int p = 0; p < 8; ++p)
        for (int k = 0; k < 8; ++k)
          index[h][8 * p + k] = static_cast<std::uint8_t>(64 * (p & 1) + 8 * k + (p & ~1) + h);
    pairLow_ = _mm512_load_si512(index[0]);
    pairHigh_ = _mm512_load_si512(index[1]);
  }

  // Source row i at row(i); destination rows j < dstRows get their first dstBytes bytes.
  template <class Row>
  QUILLARO_AVX512 void run(Row row, std::uint8_t* dst, std::ptrdiff_t dstStep, int dstRows,
                           int dstBytes) {
    // Byte j of each word keeps source column j of the eight rows.
    const __m512i columns = _mm512_set1_epi64(0x0102040810204080ll);
    for (int o = 0; o < 8; o += 2) {
      for (int g = 0; g < 16; ++g) {
        __m512i a[8];
        for (int k = 0; k < 8; ++k) a[k] = _mm512_loadu_si512(row(64 * o + 8 * g + k));
        __m512i t[8], u[8];
        for (int k = 0; k < 4; ++k) {
          t[2 * k] = _mm512_unpacklo_epi8(a[2 * k], a[2 * k + 1]);
          t[2 * k + 1] = _mm512_unpackhi_epi8(a[2 * k], a[2 * k + 1]);
        }
        for (int h = 0; h < 2; ++h) {
          u[4 * h + 0] = _mm512_unpacklo_epi16(t[4 * h], t[4 * h + 2]);
          u[4 * h + 1] = _mm512_unpackhi_epi16(t[4 * h], t[4 * h + 2]);
          u[4 * h + 2] = _mm512_unpacklo_epi16(t[4 * h + 1], t[4 * h + 3]);
          u[4 * h + 3] = _mm512_unpackhi_epi16(t[4 * h + 1], t[4 * h + 3]);
        }
        // Vector j, lane L, word h: byte c = 16 L + 2 j + h of the eight rows.
        for (int j = 0; j < 4; ++j) {
          const __m512i lo = _mm512_maskz_unpacklo_epi32(0xFFFF, u[j], u[4 + j]);
          const __m512i hi = _mm512_maskz_unpackhi_epi32(0xFFFF, u[j], u[4 + j]);
          _mm512_store_si512(groups_[g][2 * j],
                             _mm512_maskz_gf2p8affine_epi64_epi8(~0ull, columns, lo, 0));
          _mm512_store_si512(groups_[g][2 * j + 1],
                             _mm512_maskz_gf2p8affine_epi64_epi8(~0ull, columns, hi, 0));
        }
      }
      for (int j = 0; j < 8; ++j) {
        __m512i x[8], y[8];
        for (int g = 0; g < 8; ++g) {
          x[g] = _mm512_load_si512(groups_[g][j]);
          y[g] = _mm512_load_si512(groups_[8 + g][j]);
        }
        transposeWords(x);
        transposeWords(y);
        // x[q] and y[q] now hold byte c = 16 (q / 2) + 2 j + q % 2 of the two octets' rows,
        // word g per group; the pair keeps the destination rows' words interleaved.
        for (int q = 0; q < 8; ++q) {
          const int c = 16 * (q >> 1) + 2 * j + (q & 1);
          _mm512_store_si512(octets_[c][o],
                             _mm512_maskz_permutex2var_epi8(~0ull, x[q], pairLow_, y[q]));
          _mm512_store_si512(octets_[c][o + 1],
                             _mm512_maskz_permutex2var_epi8(~0ull, x[q], pairHigh_, y[q]));
        }
      }
    }
    const __mmask64 part = dstBytes >= 64 ? ~0ull : (1ull << dstBytes) - 1;
    for (int c = 0; 8 * c < dstRows; ++c) {
      __m512i x[8];
      for (int o = 0; o < 8; ++o) x[o] = _mm512_load_si512(octets_[c][o]);
      transposeLanes(x);
      std::uint8_t* d = dst + 8 * c * dstStep;
      const int n = std::min(8, dstRows - 8 * c);
      if (n == 8 && dstBytes >= 64) {
        for (int m = 0; m < 8; ++m) _mm512_storeu_si512(d + m * dstStep, x[m]);
      } else {
        for (int m = 0; m < n; ++m) _mm512_mask_storeu_epi8(d + m * dstStep, part, x[m]);
      }
    }
  }

private:
  // 8 x 8 words: word q of x[i] becomes word i of x[q]. The pairs of words are interleaved
  // first, then the 128-bit lanes of each four vectors are transposed.
  QUILLARO_AVX512 static void transposeWords(__m512i x[8]) {
    __m512i a[8];
    for (int i = 0; i < 4; ++i) {
      a[2 * i] = unpackLo64(x[2 * i], x[2 * i + 1]);
      a[2 * i + 1] = unpackHi64(x[2 * i], x[2 * i + 1]);
    }
    transposeLanes(a);
    for (int i = 0; i < 8; ++i) x[i] = a[i];
  }

  // The second half of transposeWords: lane L of a[2 i + e] holds words 2 L + e of the
  // vectors 2 i and 2 i + 1; a[q] becomes the words q of all eight.
  QUILLARO_AVX512 static void transposeLanes(__m512i a[8]) {
    __m512i x[2][4];
    for (int e = 0; e < 2; ++e) transposeLaneBlocks(a[e], a[2 + e], a[4 + e], a[6 + e], x[e]);
    for (int l = 0; l < 4; ++l)
      for (int e = 0; e < 2; ++e) a[2 * l + e] = x[e][l];
  }

  __m512i pairLow_, pairHigh_;
  alignas(64) std::uint8_t groups_[16][8][64];
  alignas(64) std::uint8_t octets_[64][8][64];
};

// Blocks of 512 source rows by 64 bytes. Rows past the picture read as white; bytes past
// the row are read from the padding and the next row and only reach destination rows that
// do not exist, which are not written, except where they would lie past the picture's
// memory: those rows are read from a copy. The last band writes the destination's padding
// bytes too (white, from the rows past the picture).
QUILLARO_AVX512 void quarter1Avx512(const QuarterGeometry& g, Reporter& rep) {
  const int srcW = g.src.width, srcH = g.src.height;
  const int srcBytes = g.src.rowBytes;
  const int dstStride = g.dst.stride;
  const std::ptrdiff_t dstStep = g.right ? -static_cast<std::ptrdiff_t>(dstStride)
                                         : static_cast<std::ptrdiff_t>(dstStride);
  const std::uint8_t* const srcEnd = g.src.data() + g.src.byteCount();
  auto work = std::make_unique<BitBlockTranspose>();
  const std::vector<std::uint8_t> white(static_cast<std::size_t>(g.src.stride) + 64, 0xFF);
  // The last 64 bytes of the picture's memory followed by white, for the rows whose 64
  // bytes would run past it.
  const std::uint8_t* const tailStart = std::max(g.src.data(), srcEnd - 64);
  alignas(64) std::uint8_t tail[128];
  std::memset(tail, 0xFF, sizeof tail);
  std::memcpy(tail, tailStart, static_cast<std::size_t>(srcEnd - tailStart));
  const std::uint8_t* rows[512];
  const std::uint8_t* nearEnd[512];
  for (int t = 0; 512 * t < srcH; ++t) {
    rep.at(512 * t);
    const int firstByte = 64 * t;  // destination byte of source row 512 t
    const int bytesHere = std::min(64, dstStride - firstByte);
    const int rowsHere = std::min(512, srcH - 512 * t);
    for (int i = 0; i < 512; ++i)
      rows[i] = i < rowsHere ? g.srcRow(512 * t + i) : white.data();
    const std::uint8_t* const highest = std::max(rows[0], rows[rowsHere - 1]);
    for (int k = 0; 64 * k < srcBytes; ++k) {
      const int firstColumn = 512 * k;
      std::uint8_t* d = g.dstRow(g.right ? srcW - 1 - firstColumn : firstColumn) + firstByte;
      const int columns = std::min(512, srcW - firstColumn);
      if (highest + 64 * k + 64 <= srcEnd) {
        // A whole band is reached by a fixed step from its first row, the last one through
        // the table (with its white rows).
        if (rowsHere == 512) {
          const std::uint8_t* const first = rows[0] + 64 * k;
          const std::ptrdiff_t step = g.srcStep;
          work->run([first, step](int i) { return first + i * step; }, d, dstStep, columns,
                    bytesHere);
        } else {
          const std::ptrdiff_t offset = 64 * k;
          work->run([&rows, offset](int i) { return rows[i] + offset; }, d, dstStep, columns,
                    bytesHere);
        }
        continue;
      }
      for (int i = 0; i < 512; ++i) {
        const std::uint8_t* r = rows[i] + 64 * k;
        nearEnd[i] = i >= rowsHere || r + 64 <= srcEnd ? r : tail + (r - tailStart);
      }
      work->run([&nearEnd](int i) { return nearEnd[i]; }, d, dstStep, columns, bytesHere);
    }
  }
}
#endif

#if QUILLARO_X86_KERNELS
// Sixty-four source rows, eight destination bytes, per pass while the eight bytes fit in
// the destination stride; returns the first destination byte left. Lane L of vector i of
// each half holds the source row of destination column 16 L + (i < 8 ? 7 - i : 23 - i) of
// that half, so that after the byte transpose the sign bits of a vector, taken as a mask,
// are four destination bytes of one column, first column in the top bit of each; doubling
// the bytes moves the next column into the sign bits.
template <class RowFor>
QUILLARO_AVX2 int quarter1Avx2(const QuarterGeometry& g, Reporter& rep, RowFor rowFor) {
  const int srcW = g.src.width;
  const int srcBytes = g.src.rowBytes;
  const int dstBytes = g.dst.rowBytes;
  const std::ptrdiff_t dstStep = g.right ? -static_cast<std::ptrdiff_t>(g.dst.stride)
                                         : static_cast<std::ptrdiff_t>(g.dst.stride);
  alignas(16) std::uint8_t tail[64][16];
  int b = 0;
  for (; b < dstBytes && b + 8 <= g.dst.stride; b += 8) {
    rep.at(8 * b);
    const std::uint8_t* rows[64];  // half h, lane L, vector i at 32 h + 16 L + i
    for (int k = 0; k < 64; ++k) {
      const int i = k & 15;
      rows[k] = rowFor(8 * b + (k & ~15) + (i < 8 ? 7 - i : 23 - i));
    }
    for (int c0 = 0; c0 < srcBytes; c0 += 16) {
      const std::uint8_t* at[64];
      if (c0 + 16 <= srcBytes) {
        for (int k = 0; k < 64; ++k) at[k] = rows[k] + c0;
      } else {
        const std::size_t n = static_cast<std::size_t>(srcBytes - c0);
        for (int k = 0; k < 64; ++k) {
          std::memset(tail[k], 0xFF, 16);
          std::memcpy(tail[k], rows[k] + c0, n);
          at[k] = tail[k];
        }
      }
      __m256i lo[16], hi[16];
      for (int i = 0; i < 16; ++i) {
        lo[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(load16(at[i])),
                                        load16(at[16 + i]), 1);
        hi[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(load16(at[32 + i])),
                                        load16(at[48 + i]), 1);
      }
      transposeLanes256(lo);
      transposeLanes256(hi);
      const int cEnd = std::min(16, srcBytes - c0);
      for (int c = 0; c < cEnd; ++c) {
        __m256i xl = lo[c], xh = hi[c];
        const int sx = 8 * (c0 + c);
        const int columns = std::min(8, srcW - sx);
        std::uint8_t* d = g.dstRow(g.right ? srcW - 1 - sx : sx) + b;
        for (int m = 0; m < columns; ++m, d += dstStep) {
          const std::uint64_t low = static_cast<std::uint32_t>(_mm256_movemask_epi8(xl));
          const std::uint64_t high = static_cast<std::uint32_t>(_mm256_movemask_epi8(xh));
          const std::uint64_t mask = low | high << 32;
          std::memcpy(d, &mask, 8);  // little-endian: mask bits 0..7 are the first byte
          xl = _mm256_add_epi8(xl, xl);
          xh = _mm256_add_epi8(xh, xh);
        }
      }
    }
  }
  return b;
}
#endif

// Returns whether the destination's padding bytes were written (white) too.
bool quarter1(const QuarterGeometry& g, Reporter& rep) {
#if QUILLARO_X86_KERNELS
  if (simdLevel() == SimdLevel::Avx512) {
    quarter1Avx512(g, rep);
    return true;
  }
#endif
  const int srcW = g.src.width;
  const int srcBytes = g.src.rowBytes;
  const int dstW = g.dst.width;  // source height
  const int dstBytes = g.dst.rowBytes;
  std::vector<std::uint8_t> white(static_cast<std::size_t>(srcBytes) + 16, 0xFF);
  auto rowFor = [&](int i) { return i < dstW ? g.srcRow(i) : white.data(); };
  int b = 0;
#if QUILLARO_X86_KERNELS
  if (simdLevel() == SimdLevel::Avx2) b = quarter1Avx2(g, rep, rowFor);
#endif
#if defined(__SSE2__)
  // Thirty-two source rows, four destination bytes, per pass. The stride of a 1-bit row
  // is a multiple of 4, so the four bytes always fit; those past the row bytes come from
  // rows past the picture and are white, like the padding.
  alignas(16) std::uint8_t tail[32][16];
  const std::ptrdiff_t dstStep = g.right ? -static_cast<std::ptrdiff_t>(g.dst.stride)
                                         : static_cast<std::ptrdiff_t>(g.dst.stride);
  for (; b < dstBytes; b += 4) {
    rep.at(8 * b);
    // Vector byte k takes destination column 8b + 7 - k (k < 8) or 8b + 23 - k, the
    // second vector the next sixteen columns, so that mask bits 7, 15, 23 and 31 are the
    // first columns of the four destination bytes.
    const std::uint8_t* rows[32];
    for (int k = 0; k < 32; ++k) {
      const int kk = k & 15;
      rows[k] = rowFor(8 * b + (k & 16) + (kk < 8 ? 7 - kk : 23 - kk));
    }
    for (int c0 = 0; c0 < srcBytes; c0 += 16) {
      __m128i lo[16], hi[16];
      if (c0 + 16 <= srcBytes) {
        for (int k = 0; k < 16; ++k) {
          lo[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + c0));
          hi[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[16 + k] + c0));
        }
      } else {
        const std::size_t n = static_cast<std::size_t>(srcBytes - c0);
        for (int k = 0; k < 32; ++k) {
          std::memset(tail[k], 0xFF, 16);
          std::memcpy(tail[k], rows[k] + c0, n);
        }
        for (int k = 0; k < 16; ++k) {
          lo[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tail[k]));
          hi[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tail[16 + k]));
        }
      }
      transpose16x16(lo);
      transpose16x16(hi);
      const int cEnd = std::min(16, srcBytes - c0);
      for (int c = 0; c < cEnd; ++c) {
        __m128i xl = lo[c], xh = hi[c];
        const int sx = 8 * (c0 + c);
        const int columns = std::min(8, srcW - sx);
        std::uint8_t* d = g.dstRow(g.right ? srcW - 1 - sx : sx) + b;
        for (int m = 0; m < columns; ++m, d += dstStep) {
          const std::uint32_t mask =
              static_cast<std::uint32_t>(_mm_movemask_epi8(xl)) |
              (static_cast<std::uint32_t>(_mm_movemask_epi8(xh)) << 16);
          const std::uint8_t bytes[4] = {
              static_cast<std::uint8_t>(mask), static_cast<std::uint8_t>(mask >> 8),
              static_cast<std::uint8_t>(mask >> 16), static_cast<std::uint8_t>(mask >> 24)};
          std::memcpy(d, bytes, 4);
          xl = _mm_add_epi8(xl, xl);
          xh = _mm_add_epi8(xh, xh);
        }
      }
    }
  }
#endif
  // One 8 x 8 block of bits at a time for what is left.
  for (; b < dstBytes; ++b) {
    rep.at(8 * b);
    const std::uint8_t* rows[8];
    for (int k = 0; k < 8; ++k) rows[k] = rowFor(8 * b + k);
    for (int c = 0; c < srcBytes; ++c) {
      std::uint64_t x = 0;
      for (int k = 0; k < 8; ++k) x = (x << 8) | rows[k][c];
      x = transposeBits(x);
      const int columns = std::min(8, srcW - 8 * c);
      for (int m = 0; m < columns; ++m) {
        const int sx = 8 * c + m;
        g.dstRow(g.right ? srcW - 1 - sx : sx)[b] = static_cast<std::uint8_t>(x >> (56 - 8 * m));
      }
    }
  }
  return false;
}

bool quarterInto(const Bitmap& src, Bitmap& dst, bool right, Progress* progress) {
  if (!turnable(src) || &src == &dst || dst.empty() || dst.bits != src.bits ||
      dst.width != src.height || dst.height != src.width)
    return false;
  const QuarterGeometry g(src, dst, right);
  bool padded = false;
  if (src.bits == 1) {
    Reporter rep(progress, src.height);
    padded = quarter1(g, rep);
  } else {
    Reporter rep(progress, dst.height);
    if (src.bits == 8)
      forEachTile(g, rep, kInnerTile8,
                  [&g](int j0, int j1, int i0, int i1) { quarter8Tile(g, j0, j1, i0, i1); });
    else
      forEachTile(g, rep, kInnerTile24,
                  [&g](int j0, int j1, int i0, int i1) { quarter24Tile(g, j0, j1, i0, i1); });
  }
  // Padding bytes the kernel left alone are made white, as in a new picture.
  if (!padded && dst.stride != dst.rowBytes) {
    const std::size_t pad = static_cast<std::size_t>(dst.stride - dst.rowBytes);
    for (int s = 0; s < dst.height; ++s) std::memset(dst.fileRow(s) + dst.rowBytes, 0xFF, pad);
  }
  if (progress) progress->percent(100);
  return true;
}

Bitmap quarter(const Bitmap& src, bool right, Progress* progress) {
  Bitmap dst;
  if (!turnable(src)) return dst;
  if (!dst.allocate(src.height, src.width, src.bits)) return dst;
  quarterInto(src, dst, right, progress);
  return dst;
}

}  // namespace

bool turnOver(Bitmap& picture, Progress* progress) {
  if (!turnable(picture)) return false;
  Reporter rep(progress, picture.height);
  if (picture.bits == 1) {
    over1(picture, rep);
  } else {
    for (int s = 0, t = picture.height - 1; s <= t; ++s, --t) {
      if ((s & 31) == 0) rep.at(2 * s);
      if (picture.bits == 8) swapReversed8(picture.fileRow(s), picture.fileRow(t), picture.width);
      else swapReversed24(picture.fileRow(s), picture.fileRow(t), picture.width);
    }
  }
  if (progress) progress->percent(100);
  return true;
}

Bitmap turnRight(const Bitmap& picture, Progress* progress) {
  return quarter(picture, true, progress);
}

Bitmap turnLeft(const Bitmap& picture, Progress* progress) {
  return quarter(picture, false, progress);
}

bool turnRightInto(const Bitmap& picture, Bitmap& result, Progress* progress) {
  return quarterInto(picture, result, true, progress);
}

bool turnLeftInto(const Bitmap& picture, Bitmap& result, Progress* progress) {
  return quarterInto(picture, result, false, progress);
}

}  // namespace quillaro
