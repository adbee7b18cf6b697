#include "image/bitmap.h"

#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace quillaro {

std::int64_t rowBytesFor(std::int64_t width, int bits) {
  switch (bits) {
    case 1: return (width + 7) / 8;
    case 8: return width;
    case 24: return width * 3;
    default: return -1;
  }
}

std::int64_t strideFor(std::int64_t width, int bits) {
  std::int64_t rb = rowBytesFor(width, bits);
  return rb < 0 ? -1 : ((rb + 3) / 4) * 4;
}

void PixelFree::operator()(std::uint8_t* p) const noexcept { std::free(p); }

PixelArray allocatePixels(std::size_t n) {
  if (n == 0) n = 1;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  if (n >= 2 * kHuge) {
    const std::size_t rounded = (n + kHuge - 1) / kHuge * kHuge;
    void* p = std::aligned_alloc(kHuge, rounded);
    if (p) madvise(p, rounded, MADV_HUGEPAGE);  // a hint only; failure is harmless
    return PixelArray(static_cast<std::uint8_t*>(p));
  }
#endif
  return PixelArray(static_cast<std::uint8_t*>(std::malloc(n)));
}

bool Bitmap::allocate(int w, int h, int b) {
  if (w <= 0 || h <= 0) return false;
  std::int64_t rb = rowBytesFor(w, b);
  std::int64_t st = strideFor(w, b);
  if (rb < 0 || st > kMaxPixelBytes) return false;
  std::int64_t n = st * h;
  if (n > kMaxPixelBytes) return false;
  PixelArray p = allocatePixels(static_cast<std::size_t>(n));
  if (!p) return false;
  pixels = std::move(p);
  width = w;
  height = h;
  bits = b;
  rowBytes = static_cast<int>(rb);
  stride = static_cast<int>(st);
  return true;
}

Bitmap Bitmap::create(int w, int h, int b) {
  Bitmap bm;
  if (bm.allocate(w, h, b)) bm.fill(0xFF);
  return bm;
}

Bitmap Bitmap::clone() const {
  Bitmap c;
  if (pixels && c.allocate(width, height, bits)) std::memcpy(c.data(), data(), byteCount());
  return c;
}

void Bitmap::fill(std::uint8_t byte) {
  if (pixels) std::memset(pixels.get(), byte, byteCount());
}

void Bitmap::release() {
  pixels.reset();
  width = rowBytes = stride = height = bits = 0;
}

int headerSizeFor(int bits) {
  switch (bits) {
    case 1: return 62;
    case 8: return 1078;
    case 24: return 54;
    default: return 0;
  }
}

namespace {
void put16(std::uint8_t* p, unsigned v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

void buildHeaderTemplate(std::vector<std::uint8_t>& header, int bits) {
  const int size = headerSizeFor(bits);
  header.assign(static_cast<std::size_t>(size), 0);
  if (size == 0) return;
  std::uint8_t* h = header.data();
  h[0] = 'B';
  h[1] = 'M';
  put32(h + 10, static_cast<std::uint32_t>(size));
  put32(h + 14, 40);
  put16(h + 26, 1);
  put16(h + 28, static_cast<unsigned>(bits));
  if (bits == 1) {
    // entry 0 black (all zero), entry 1 white
    h[58] = h[59] = h[60] = 255;
  } else if (bits == 8) {
    for (int i = 0; i < 256; ++i) {
      std::uint8_t* e = h + 54 + 4 * i;
      e[0] = e[1] = e[2] = static_cast<std::uint8_t>(i);
    }
  }
}

std::vector<std::uint8_t> headerTemplate(int bits) {
  std::vector<std::uint8_t> h;
  buildHeaderTemplate(h, bits);
  return h;
}

bool wellFormed(const Bitmap& bm) {
  if (!bm.pixels || bm.width <= 0 || bm.height <= 0) return false;
  if (bm.bits != 1 && bm.bits != 8 && bm.bits != 24) return false;
  const std::int64_t rb = rowBytesFor(bm.width, bm.bits);
  return bm.rowBytes == rb && bm.stride >= rb;
}

}  // namespace quillaro
