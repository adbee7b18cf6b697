#include "kernels/simd_bytes.h"

#include "kernels/simd_level.h"
#include "kernels/simd_lut.h"

namespace quillaro {

namespace {

void mapScalar(std::uint8_t* p, std::size_t n, const std::uint8_t* map) {
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::uint8_t a = map[p[i]], b = map[p[i + 1]], c = map[p[i + 2]], d = map[p[i + 3]];
    p[i] = a;
    p[i + 1] = b;
    p[i + 2] = c;
    p[i + 3] = d;
  }
  for (; i < n; ++i) p[i] = map[p[i]];
}

#if QUILLARO_X86_KERNELS

QUILLARO_AVX2 void mapAvx2(std::uint8_t* p, std::size_t n, const std::uint8_t* map) {
  Lut256 l;
  loadLut(l, map);
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    __m256i* q = reinterpret_cast<__m256i*>(p + i);
    _mm256_storeu_si256(q, lookup256(l, _mm256_loadu_si256(q)));
  }
  mapScalar(p + i, n - i, map);
}

QUILLARO_AVX512 void mapAvx512(std::uint8_t* p, std::size_t n, const std::uint8_t* map) {
  __m512i t[4];
  for (int k = 0; k < 4; ++k) t[k] = _mm512_loadu_si512(map + 64 * k);
  std::size_t i = 0;
  for (; i + 128 <= n; i += 128) {
    const __m512i a = _mm512_loadu_si512(p + i), b = _mm512_loadu_si512(p + i + 64);
    _mm512_storeu_si512(p + i, lookup512(t, a));
    _mm512_storeu_si512(p + i + 64, lookup512(t, b));
  }
  for (; i < n; i += 64) {
    const std::size_t left = n - i;
    const __mmask64 m = left >= 64 ? ~__mmask64{0} : (__mmask64{1} << left) - 1;
    _mm512_mask_storeu_epi8(p + i, m, lookup512(t, _mm512_maskz_loadu_epi8(m, p + i)));
  }
}

#endif

}  // namespace

void mapBytesThrough(std::uint8_t* p, std::size_t n, const std::uint8_t* table) {
  if (!p || !table || n == 0) return;
#if QUILLARO_X86_KERNELS
  switch (simdLevel()) {
    case SimdLevel::Avx512: return mapAvx512(p, n, table);
    case SimdLevel::Avx2: return mapAvx2(p, n, table);
    case SimdLevel::Scalar: break;
  }
#endif
  mapScalar(p, n, table);
}

}  // namespace quillaro
