#include "kernels/to1bit.h"

#include <cstring>

#include "base/tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillaro {

bool bitRowForExtremeThreshold(std::uint8_t* out, int width, int threshold) {
  if (threshold > 0 && threshold <= 255) return false;
  const int full = width / 8;
  const int rest = width % 8;
  if (threshold <= 0) {
    std::memset(out, 0xFF, static_cast<std::size_t>(full + (rest ? 1 : 0)));
  } else {
    std::memset(out, 0, static_cast<std::size_t>(full));
    if (rest) out[full] = static_cast<std::uint8_t>(0xFFu >> rest);
  }
  return true;
}

void bitRowFrom8(const std::uint8_t* grey, int width, std::uint8_t* out, int threshold) {
  if (!grey || !out || width <= 0) return;
  if (bitRowForExtremeThreshold(out, width, threshold)) return;
  const int full = width / 8;
  const int rest = width % 8;
  const std::uint8_t t = static_cast<std::uint8_t>(threshold);
  int i = 0;  // output byte
#if defined(__SSE2__)
  // Sixteen pixels at a time: white where max(p, t) == p, that is p >= t. The mask has
  // pixel k in bit k; a 1-bit row wants the first pixel in the top bit, hence the reversal.
  const std::uint8_t* rev = tables().bitReverse.data();
  const __m128i tv = _mm_set1_epi8(static_cast<char>(t));
  for (; i + 2 <= full; i += 2) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + 8 * i));
    const unsigned m =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, tv), v)));
    out[i] = rev[m & 0xFFu];
    out[i + 1] = rev[m >> 8];
  }
#endif
  for (; i < full; ++i) {
    const std::uint8_t* p = grey + 8 * i;
    unsigned byte = 0;
    for (int k = 0; k < 8; ++k) byte = (byte << 1) | (p[k] >= t ? 1u : 0u);
    out[i] = static_cast<std::uint8_t>(byte);
  }
  if (rest) {
    const std::uint8_t* p = grey + 8 * full;
    unsigned byte = 0xFFu;
    for (int k = 0; k < rest; ++k)
      if (p[k] < t) byte &= ~(0x80u >> k);
    out[full] = static_cast<std::uint8_t>(byte);
  }
}

Bitmap to1bit(const Bitmap& grey, int threshold) {
  Bitmap result;
  if (grey.empty() || grey.bits != 8 || grey.width <= 0 || grey.height <= 0) return result;
  if (!result.allocate(grey.width, grey.height, 1)) return result;
  const std::size_t pad = static_cast<std::size_t>(result.stride - result.rowBytes);
  for (int s = 0; s < grey.height; ++s) {
    std::uint8_t* out = result.fileRow(s);
    bitRowFrom8(grey.fileRow(s), grey.width, out, threshold);
    if (pad) std::memset(out + result.rowBytes, 0xFF, pad);
  }
  return result;
}

}  // namespace quillaro
