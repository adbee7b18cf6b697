#include "kernels/density.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "kernels/simd_level.h"
#include "kernels/simd_lut.h"
#include "base/numeric.h"
#include "base/tables.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

// Eight bytes of a 1-bit row as one word, pixel 0 of the first byte in bit 63.
std::uint64_t loadBig(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

// Bits lo..hi (counted from bit 63 down) of a word.
std::uint64_t spanMask(int lo, int hi) {
  if (hi < lo) return 0;
  return (~std::uint64_t{0} >> lo) & (~std::uint64_t{0} << (63 - hi));
}

// ---------------------------------------------------------------------------------------
// DenseThin works on a private copy of the area and its margin: one bit per pixel, 1 for
// black, bit 63 of a word the first column of its 64. The horizontal pass runs on the
// transposed copy, so both passes scan rows and trace lines downwards.

constexpr std::size_t kKeepWords = std::size_t{8} << 20;  // buffers above 64 MiB are freed

// Buffers kept between operations: fresh pages for a whole page of bits cost more than the
// work itself.
struct Scratch {
  std::vector<std::uint64_t> image, transposed, added, handled;
  void trim() {
    for (auto* v : {&image, &transposed, &added, &handled})
      if (v->capacity() > kKeepWords) std::vector<std::uint64_t>().swap(*v);
  }
};
thread_local Scratch scratch;

class BitImage {
public:
  // Each row has one spare zero word after its last column. Unless `clear`, the other words
  // are left as the buffer held them, for a caller that writes every one.
  BitImage(std::vector<std::uint64_t>& store, int width, int height, bool clear = true)
      : width_(width), height_(height),
        perRow_((static_cast<std::size_t>(width) + 63) / 64 + 1) {
    const std::size_t n = perRow_ * static_cast<std::size_t>(height);
    if (clear) {
      store.assign(n, 0);
    } else {
      store.resize(n);
      for (int y = 0; y < height; ++y) store[perRow_ * static_cast<std::size_t>(y) + perRow_ - 1] = 0;
    }
    bits_ = store.data();
  }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t perRow() const { return perRow_; }
  std::uint64_t* row(int y) { return bits_ + static_cast<std::size_t>(y) * perRow_; }
  const std::uint64_t* row(int y) const { return bits_ + static_cast<std::size_t>(y) * perRow_; }
  bool get(int x, int y) const { return (row(y)[x >> 6] >> (63 - (x & 63))) & 1u; }
  void set(int x, int y) { row(y)[x >> 6] |= std::uint64_t{1} << (63 - (x & 63)); }
  void orWith(const BitImage& other) {
    const std::size_t n = perRow_ * static_cast<std::size_t>(height_);
    for (std::size_t i = 0; i < n; ++i) bits_[i] |= other.bits_[i];
  }

private:
  int width_;
  int height_;
  std::size_t perRow_;
  std::uint64_t* bits_;
};

// Two 64-bit rows at a time (plain SSE2 on x86-64).
using Pair = std::uint64_t __attribute__((vector_size(16)));

// Transposes a 64 x 64 bit block in place: bit 63 - j of a[i] trades with bit 63 - i of a[j].
// Each round swaps the off-diagonal quarters of blocks half the size of the previous round's.
void transpose64(std::uint64_t* a) {
  static constexpr std::uint64_t kMasks[] = {0x00000000FFFFFFFFULL, 0x0000FFFF0000FFFFULL,
                                             0x00FF00FF00FF00FFULL, 0x0F0F0F0F0F0F0F0FULL,
                                             0x3333333333333333ULL};
  int round = 0;
  for (int j = 32; j >= 2; j >>= 1, ++round) {
    const std::uint64_t m = kMasks[round];
    for (int base = 0; base < 64; base += 2 * j) {
      for (int k = base; k < base + j; k += 2) {
        Pair p, q;
        std::memcpy(&p, a + k, 16);
        std::memcpy(&q, a + k + j, 16);
        const Pair t = (p ^ (q >> j)) & m;
        p ^= t;
        q ^= t << j;
        std::memcpy(a + k, &p, 16);
        std::memcpy(a + k + j, &q, 16);
      }
    }
  }
  for (int k = 0; k < 64; k += 2) {
    const std::uint64_t t = (a[k] ^ (a[k + 1] >> 1)) & 0x5555555555555555ULL;
    a[k] ^= t;
    a[k + 1] ^= t << 1;
  }
}

// dst (src.height() wide, src.width() high) becomes the transpose of src; every word of dst
// is written. Mostly white pages have many empty blocks, which need no work.
void transpose(const BitImage& src, BitImage& dst) {
  alignas(16) std::uint64_t block[64];
  for (int by = 0; by < src.height(); by += 64) {
    const int rows = std::min(64, src.height() - by);
    for (int bx = 0; bx < src.width(); bx += 64) {
      const std::uint64_t* in = src.row(by) + (bx >> 6);
      std::uint64_t any = 0;
      for (int i = 0; i < rows; ++i, in += src.perRow()) any |= block[i] = *in;
      for (int i = rows; i < 64; ++i) block[i] = 0;
      const int cols = std::min(64, src.width() - bx);
      std::uint64_t* out = dst.row(bx) + (by >> 6);
      if (any) {
        transpose64(block);
        for (int j = 0; j < cols; ++j, out += dst.perRow()) *out = block[j];
      } else {
        for (int j = 0; j < cols; ++j, out += dst.perRow()) *out = 0;
      }
    }
  }
}

struct Run {
  int upper;  // last non-black column before the run
  int lower;  // first non-black column after it
};

// Traces and widens the vertical lines of `area` in a bit image. Reads `src` and sets the
// pixels it adds in `same` and, at swapped coordinates, in `swapped` (either may be null).
// Without plus `same` is src itself; with plus src is never changed, so that added pixels
// never count as black.
class Tracer {
public:
  Tracer(const BitImage& src, BitImage* same, BitImage* swapped, BitImage& handled,
         const PixelRect& area, int lineWidth, bool plus, std::vector<Run>& runs)
      : src_(src), same_(same), swapped_(swapped), handled_(handled), a_(area), w_(lineWidth),
        plus_(plus), runs_(runs) {}

  // Rows top to bottom, each left to right. A black pixel whose left neighbour is not black
  // and that no earlier line claimed starts a line, unless its run is already W wide.
  void run() {
    const std::uint64_t fullW = (std::uint64_t{1} << w_) - 1;
    for (int y = a_.top; y <= a_.bottom; ++y) {
      const std::uint64_t* r = src_.row(y);
      for (int k = a_.left >> 6; k <= a_.right >> 6; ++k) {
        const std::uint64_t b = r[k];
        if (!b) continue;
        const std::uint64_t leftBlack = (b >> 1) | ((k > 0 ? r[k - 1] & 1u : 0) << 63);
        const int lo = std::max(a_.left - 64 * k, 0);
        const int hi = std::min(a_.right - 64 * k, 63);
        std::uint64_t starts = b & ~leftBlack & spanMask(lo, hi);
        const std::uint64_t next = r[k + 1];
        while (starts) {
          const int i = std::countl_zero(starts);
          starts &= ~(std::uint64_t{1} << (63 - i));
          const std::uint64_t ahead = i ? (b << i) | (next >> (64 - i)) : b;
          if ((ahead >> (64 - w_)) == fullW) continue;  // W or more wide: not a thin line
          const int x = 64 * k + i;
          // Lines traced since the row words were read may have filled or claimed it.
          if (src_.get(x, y) && !src_.get(x - 1, y) && !handled_.get(x, y)) trace(y, x);
        }
      }
    }
  }

private:
  void trace(int y0, int x0) {
    runs_.clear();
    int from = x0, to = x0;
    for (int y = y0; y <= a_.bottom; ++y) {
      int top = -1;
      for (int x = from; x <= to; ++x)
        if (src_.get(x, y)) {
          top = x;
          break;
        }
      if (top < 0 || top > a_.right) break;
      int lower = -1;
      for (int x = top + 1; x < top + w_; ++x)
        if (!src_.get(x, y)) {
          lower = x;
          break;
        }
      if (lower < 0) break;  // W or more wide: not a thin line
      runs_.push_back({top - 1, lower});
      handled_.set(top, y);
      from = top;
      to = lower;
    }
    treat(y0);
  }

  void treat(int y0) {
    const int len = static_cast<int>(runs_.size());
    if (len == 0) return;
    if (plus_) {
      for (int i = 0; i < len; ++i) {
        const int x = runs_[static_cast<std::size_t>(i)].lower;
        if (x >= a_.left && x <= a_.right) add(x, y0 + i);
      }
      return;
    }
    if (len <= w_ - 2) return;
    // Fill towards the side where the line goes on beyond the segment's ends.
    const Run& first = runs_.front();
    const Run& last = runs_.back();
    const int yEnd = y0 + len - 1;
    const int before = src_.get(first.upper, y0 - 1) + src_.get(last.upper, yEnd + 1);
    const int after = src_.get(first.lower, y0 - 1) + src_.get(last.lower, yEnd + 1);
    const bool back = before > after;
    for (int i = 0; i < len; ++i) {
      const Run& r = runs_[static_cast<std::size_t>(i)];
      const int from = std::max(back ? r.lower - w_ : r.upper + 1, a_.left);
      const int to = std::min(back ? r.lower - 1 : r.upper + w_, a_.right);
      for (int x = from; x <= to; ++x) add(x, y0 + i);
      if (back && from <= to) handled_.set(from, y0 + i);  // the run's new start is this line's
    }
  }

  void add(int x, int y) {
    if (same_) same_->set(x, y);
    if (swapped_) swapped_->set(y, x);
  }

  const BitImage& src_;
  BitImage* same_;
  BitImage* swapped_;
  BitImage& handled_;
  PixelRect a_;
  int w_;
  bool plus_;
  std::vector<Run>& runs_;
};

// Black pixels of eight 8-bit pixels as the bits of a byte, the first pixel in bit 7.
std::uint8_t blackByte8(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t zero = ~(((v & low7) + low7) | v | low7) >> 7;  // 1 in each 0 byte
    return static_cast<std::uint8_t>((zero * 0x8040201008040201ULL) >> 56);
  } else {
    std::uint8_t b = 0;
    for (int i = 0; i < 8; ++i)
      if (p[i] == 0) b |= static_cast<std::uint8_t>(0x80u >> i);
    return b;
  }
}

// The window of the picture (columns x0.., rows y0..) as a bit image, 1 for black.
void extract(const Bitmap& picture, int x0, int y0, BitImage& img) {
  const int words = (img.width() + 63) / 64;
  for (int y = 0; y < img.height(); ++y) {
    const std::uint8_t* src = picture.row(y0 + y);
    std::uint64_t* dst = img.row(y);
    for (int k = 0; k < words; ++k) {
      const int px = x0 + 64 * k;  // first picture column of the word
      std::uint64_t w = 0;
      if (picture.bits == 1) {
        const int b = px >> 3;
        if (b + 8 <= picture.rowBytes) {
          w = ~loadBig(src + b);
        } else {
          for (int i = 0; i < 8 && b + i < picture.rowBytes; ++i)
            w |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(~src[b + i])) << (56 - 8 * i);
        }
      } else {
        for (int i = 0; i < 8; ++i) {
          const int c = px + 8 * i;
          std::uint8_t bb = 0;
          if (c + 8 <= picture.width) {
            bb = blackByte8(src + c);
          } else {
            for (int j = 0; j < 8 && c + j < picture.width; ++j)
              if (src[c + j] == 0) bb |= static_cast<std::uint8_t>(0x80u >> j);
          }
          w |= static_cast<std::uint64_t>(bb) << (56 - 8 * i);
        }
      }
      const int valid = img.width() - 64 * k;
      if (valid < 64) w &= ~std::uint64_t{0} << (64 - valid);
      dst[k] = w;
    }
  }
}

// Makes black the pixels of the area that are black in the image (window at x0, y0).
void writeBack(Bitmap& picture, const PixelRect& a, int x0, int y0, const BitImage& img) {
  for (int y = a.top; y <= a.bottom; ++y) {
    const std::uint64_t* r = img.row(y - y0);
    std::uint8_t* dst = picture.row(y);
    for (int k = (a.left - x0) >> 6; k <= (a.right - x0) >> 6; ++k) {
      const int px = x0 + 64 * k;
      const std::uint64_t add =
          r[k] & spanMask(std::max(a.left - px, 0), std::min(a.right - px, 63));
      if (!add) continue;
      if (picture.bits == 1) {
        std::uint8_t* p = dst + (px >> 3);
        if ((px >> 3) + 8 <= picture.rowBytes) {
          std::uint64_t v = loadBig(p) & ~add;
          if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
          std::memcpy(p, &v, 8);
        } else {
          for (int i = 0; (px >> 3) + i < picture.rowBytes; ++i)
            p[i] &= static_cast<std::uint8_t>(~(add >> (56 - 8 * i)));
        }
      } else {
        std::uint64_t m = add;
        while (m) {
          const int i = std::countl_zero(m);
          m &= ~(std::uint64_t{1} << (63 - i));
          dst[px + i] = 0;
        }
      }
    }
  }
}

void runDenseThin(Bitmap& picture, const PixelRect& a, int w, const DenseThinOptions& o) {
  const int margin = w + 2;
  // The window: the area and its margin, starting on a byte of the 1-bit row.
  const int x0 = (a.left - margin) & ~7;
  const int y0 = a.top - margin;
  const int x1 = std::min(picture.width - 1, a.right + margin);
  const int y1 = std::min(picture.height - 1, a.bottom + margin);
  const int cols = x1 - x0 + 1;
  const int rows = y1 - y0 + 1;
  const PixelRect down{a.left - x0, a.top - y0, a.right - x0, a.bottom - y0};
  const PixelRect across{down.top, down.left, down.bottom, down.right};  // in the transpose

  Scratch& s = scratch;
  std::vector<Run> runs;
  runs.reserve(static_cast<std::size_t>(std::max(cols, rows)));
  BitImage img(s.image, cols, rows, false);
  extract(picture, x0, y0, img);

  // The horizontal pass works on the transpose and puts what it adds into both images.
  if (!o.plus) {
    if (o.horizontal) {
      BitImage t(s.transposed, rows, cols, false);
      transpose(img, t);
      BitImage handled(s.handled, rows, cols);
      Tracer(t, &t, &img, handled, across, w, false, runs).run();
    }
    if (o.vertical) {
      BitImage handled(s.handled, cols, rows);
      Tracer(img, &img, nullptr, handled, down, w, false, runs).run();
    }
  } else {
    // Plus reads the picture as it was throughout; additions are gathered apart.
    BitImage added(s.added, cols, rows);
    if (o.horizontal) {
      BitImage t(s.transposed, rows, cols, false);
      transpose(img, t);
      BitImage handled(s.handled, rows, cols);
      Tracer(t, nullptr, &added, handled, across, w, true, runs).run();
    }
    if (o.vertical) {
      BitImage handled(s.handled, cols, rows);
      Tracer(img, &added, nullptr, handled, down, w, true, runs).run();
    }
    img.orWith(added);
  }
  writeBack(picture, a, x0, y0, img);
  s.trim();
}

}  // namespace

// ---------------------------------------------------------------------------------------

int denseThinLineWidth(double value) {
  if (std::isnan(value)) return kMinLineWidth;
  return nearesti(clampv(value, static_cast<double>(kMinLineWidth),
                         static_cast<double>(kMaxLineWidth)));
}

PixelRect denseThinAreaFor(double x, double y, double w, double h, int lineWidth,
                             int pictureWidth, int pictureHeight) {
  const int margin = clampv(lineWidth, kMinLineWidth, kMaxLineWidth) + 2;
  PixelRect a;
  a.left = std::max(pixelCoord(x), margin);
  a.top = std::max(pixelCoord(y), margin);
  a.right = std::min(pixelCoord(x + w), pictureWidth - margin);
  a.bottom = std::min(pixelCoord(y + h), pictureHeight - margin);
  return a;
}

bool denseThin(Bitmap& picture, const PixelRect& area, const DenseThinOptions& options) {
  if (!wellFormed(picture) || (picture.bits != 1 && picture.bits != 8)) return false;
  const int w = clampv(options.lineWidth, kMinLineWidth, kMaxLineWidth);
  const int margin = w + 2;
  PixelRect a = area;
  a.left = std::max(a.left, margin);
  a.top = std::max(a.top, margin);
  a.right = std::min(a.right, picture.width - margin);
  a.bottom = std::min(a.bottom, picture.height - margin);
  if (a.empty() || (!options.horizontal && !options.vertical)) return true;
  try {
    runDenseThin(picture, a, w, options);  // the picture changes only at its very end
  } catch (const std::bad_alloc&) {
    scratch = Scratch();
    return false;
  }
  return true;
}

std::string denseThinMaxCaption(std::string_view widthText) {
  return "Не менее " + std::string(widthText);
}

std::string denseThinPlusCaption(std::string_view widthText) {
  return "+1 если менее " + std::string(widthText) + ",  <P>";
}

// ---------------------------------------------------------------------------------------

PixelRect lineWidthAreaFor(double x, double y, double w, double h, int pictureWidth,
                             int pictureHeight) {
  PixelRect a;
  const int top = pixelCoord(y);
  a.left = std::max(pixelCoord(x), 1);
  a.top = std::max(top, 1);
  a.right = std::min(pixelCoord(x + w - 1), pictureWidth - 1);
  const long long bottom = static_cast<long long>(top) + pixelCoord(h - 1);
  a.bottom = static_cast<int>(std::min<long long>(bottom, pictureHeight - 1));
  return a;
}

namespace {

// Bytes of a 1-bit row in 64-bit lanes. Every shift below is followed by a per-byte mask,
// so the pixel order inside the lanes does not matter.
using Lanes = std::uint64_t __attribute__((vector_size(16)));
using Lanes32 = std::uint64_t __attribute__((vector_size(32)));
using Lanes64 = std::uint64_t __attribute__((vector_size(64)));

template <int Bytes>
struct VectorOf;
template <>
struct VectorOf<1> {
  using type = std::uint64_t;  // the low byte is used
};
template <>
struct VectorOf<8> {
  using type = std::uint64_t;
};
template <>
struct VectorOf<16> {
  using type = Lanes;
};
template <>
struct VectorOf<32> {
  using type = Lanes32;
};
template <>
struct VectorOf<64> {
  using type = Lanes64;
};

constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kHigh7 = 0xFEFEFEFEFEFEFEFEULL;
constexpr std::uint64_t kTop = 0x8080808080808080ULL;
constexpr std::uint64_t kBottom = 0x0101010101010101ULL;

// The rule on `Bytes` bytes of a row in place: cur is the row, ahead the row one step
// further in the scan; cur[-1] or cur[Bytes] (and the same of ahead) is read beside them.
// The step loads everything before it stores.
template <int Bytes, bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
__attribute__((always_inline)) inline void lineWidthStep(std::uint8_t* cur,
                                                         const std::uint8_t* ahead) {
  using V = typename VectorOf<Bytes>::type;
  V v{}, vs{}, a{}, as{};
  std::memcpy(&v, cur, Bytes);
  std::memcpy(&vs, cur + Dx, Bytes);
  std::memcpy(&a, ahead, Bytes);
  std::memcpy(&as, ahead + Dx, Bytes);
  const V side = Dx > 0 ? ((v << 1) & kHigh7) | ((vs >> 7) & kBottom)
                        : ((v >> 1) & kLow7) | ((vs << 7) & kTop);
  const V diag = Dx > 0 ? ((a << 1) & kHigh7) | ((as >> 7) & kBottom)
                        : ((a >> 1) & kLow7) | ((as << 7) & kTop);
  V r = v;
  if constexpr (Grow) {  // white stays white only when every consulted neighbour is white
    if constexpr (Side) r &= side;
    if constexpr (UpDown) r &= a;
    if constexpr (Diagonal) r &= diag;
  } else {  // black stays black only when every consulted neighbour is black
    if constexpr (Side) r |= side;
    if constexpr (UpDown) r |= a;
    if constexpr (Diagonal) r |= diag;
  }
  std::memcpy(cur, &r, Bytes);
}

// n bytes of a row in place, reading the byte on either side of them. The steps run against
// the direction of the sideways neighbour (right to left when it lies one column left), so
// every neighbour byte a step reads still holds the row as it was.
template <int Bytes, bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
__attribute__((always_inline)) inline void lineWidthRun(std::uint8_t* cur,
                                                        const std::uint8_t* ahead,
                                                        std::size_t n) {
  if constexpr (Dx > 0) {
    std::size_t k = 0;
    for (; k + Bytes <= n; k += Bytes)
      lineWidthStep<Bytes, Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k);
    if constexpr (Bytes > 16)
      for (; k + 16 <= n; k += 16)
        lineWidthStep<16, Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k);
    for (; k + 8 <= n; k += 8)
      lineWidthStep<8, Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k);
    for (; k < n; ++k) lineWidthStep<1, Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k);
  } else {
    std::size_t k = n;
    for (; k >= Bytes; k -= Bytes)
      lineWidthStep<Bytes, Grow, Dx, Side, UpDown, Diagonal>(cur + k - Bytes, ahead + k - Bytes);
    if constexpr (Bytes > 16)
      for (; k >= 16; k -= 16)
        lineWidthStep<16, Grow, Dx, Side, UpDown, Diagonal>(cur + k - 16, ahead + k - 16);
    for (; k >= 8; k -= 8)
      lineWidthStep<8, Grow, Dx, Side, UpDown, Diagonal>(cur + k - 8, ahead + k - 8);
    for (; k > 0; --k)
      lineWidthStep<1, Grow, Dx, Side, UpDown, Diagonal>(cur + k - 1, ahead + k - 1);
  }
}

using RunFn = void (*)(std::uint8_t*, const std::uint8_t*, std::size_t);

template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
void lineWidthPlain(std::uint8_t* cur, const std::uint8_t* ahead, std::size_t n) {
  lineWidthRun<16, Grow, Dx, Side, UpDown, Diagonal>(cur, ahead, n);
}

#if QUILLARO_X86_KERNELS
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
QUILLARO_AVX2 void lineWidthAvx2(std::uint8_t* cur, const std::uint8_t* ahead, std::size_t n) {
  lineWidthRun<32, Grow, Dx, Side, UpDown, Diagonal>(cur, ahead, n);
}

QUILLARO_AVX512 inline Lanes64 maskedLoad(__mmask64 m, const std::uint8_t* p) {
  return reinterpret_cast<Lanes64>(_mm512_maskz_loadu_epi8(m, p));
}

// The rule on 64 lanes: v the bytes, vs their sideways neighbours, a the row ahead and as
// its sideways neighbours.
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
QUILLARO_AVX512 inline Lanes64 lineWidthLanes(Lanes64 v, Lanes64 vs, Lanes64 a, Lanes64 as) {
  const Lanes64 side = Dx > 0 ? ((v << 1) & kHigh7) | ((vs >> 7) & kBottom)
                              : ((v >> 1) & kLow7) | ((vs << 7) & kTop);
  const Lanes64 diag = Dx > 0 ? ((a << 1) & kHigh7) | ((as >> 7) & kBottom)
                              : ((a >> 1) & kLow7) | ((as << 7) & kTop);
  Lanes64 r = v;
  if constexpr (Grow) {
    if constexpr (Side) r &= side;
    if constexpr (UpDown) r &= a;
    if constexpr (Diagonal) r &= diag;
  } else {
    if constexpr (Side) r |= side;
    if constexpr (UpDown) r |= a;
    if constexpr (Diagonal) r |= diag;
  }
  return r;
}

// The rule on the n < 64 bytes at cur, with masked loads and a masked store.
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
QUILLARO_AVX512 inline void lineWidthMasked(std::uint8_t* cur, const std::uint8_t* ahead,
                                            std::size_t n) {
  const __mmask64 m = (__mmask64{1} << n) - 1;
  const Lanes64 v = maskedLoad(m, cur), vs = maskedLoad(m, cur + Dx);
  const Lanes64 a = maskedLoad(m, ahead), as = maskedLoad(m, ahead + Dx);
  const Lanes64 r = lineWidthLanes<Grow, Dx, Side, UpDown, Diagonal>(v, vs, a, as);
  _mm512_mask_storeu_epi8(cur, m, reinterpret_cast<__m512i>(r));
}

QUILLARO_AVX512 inline __m512i load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }

// Permute indices into a pair of vectors: the byte after each byte of the first, and the
// byte before each byte of the second.
struct BesideIndex {
  alignas(64) std::uint8_t next[64];
  alignas(64) std::uint8_t previous[64];
  constexpr BesideIndex() : next{}, previous{} {
    for (int i = 0; i < 64; ++i) {
      next[i] = static_cast<std::uint8_t>(i + 1);
      previous[i] = static_cast<std::uint8_t>(63 + i);
    }
  }
};
constexpr BesideIndex kBeside;

// The rule on 64 bytes whose sideways neighbour bytes are given, stored at cur.
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
QUILLARO_AVX512 inline void lineWidthRule512(std::uint8_t* cur, __m512i cv, __m512i csv,
                                             __m512i av, __m512i asv) {
  const Lanes64 v = reinterpret_cast<Lanes64>(cv), vs = reinterpret_cast<Lanes64>(csv);
  const Lanes64 a = reinterpret_cast<Lanes64>(av), as = reinterpret_cast<Lanes64>(asv);
  const Lanes64 r = lineWidthLanes<Grow, Dx, Side, UpDown, Diagonal>(v, vs, a, as);
  _mm512_storeu_si512(cur, reinterpret_cast<__m512i>(r));
}

// 64 bytes at a time, and what is left in one step on the bytes of a mask, taken first
// (at the end the scan starts from) so that no masked load follows a store nearby. Each
// vector is loaded once: the bytes beside a vector come from it and the next one to be
// worked (still as it was) by a byte permute, except at the far end of the run.
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
QUILLARO_AVX512 void lineWidthAvx512(std::uint8_t* cur, const std::uint8_t* ahead, std::size_t n) {
  const std::size_t rest = n % 64;
  if constexpr (Dx > 0) {
    if (rest) lineWidthMasked<Grow, Dx, Side, UpDown, Diagonal>(cur, ahead, rest);
    std::size_t k = rest;
    if (k + 64 > n) return;
    const __m512i step = _mm512_load_si512(kBeside.next);  // byte i + 1 of (v, next)
    __m512i v = load(cur + k), a = load(ahead + k);
    for (; k + 64 <= n; k += 64) {
      __m512i vn = v, an = a, vs, as;
      if (k + 128 <= n) {
        vn = load(cur + k + 64);
        an = load(ahead + k + 64);
        vs = _mm512_permutex2var_epi8(v, step, vn);
        as = _mm512_permutex2var_epi8(a, step, an);
      } else {
        vs = load(cur + k + 1);
        as = load(ahead + k + 1);
      }
      lineWidthRule512<Grow, Dx, Side, UpDown, Diagonal>(cur + k, v, vs, a, as);
      v = vn;
      a = an;
    }
  } else {
    std::size_t k = n - rest;
    if (rest) lineWidthMasked<Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k, rest);
    if (k < 64) return;
    const __m512i step = _mm512_load_si512(kBeside.previous);  // byte i - 1 of (previous, v)
    __m512i v = load(cur + k - 64), a = load(ahead + k - 64);
    for (; k >= 64; k -= 64) {
      const std::size_t base = k - 64;
      __m512i vp = v, ap = a, vs, as;
      if (base >= 64) {
        vp = load(cur + base - 64);
        ap = load(ahead + base - 64);
        vs = _mm512_permutex2var_epi8(vp, step, v);
        as = _mm512_permutex2var_epi8(ap, step, a);
      } else {
        vs = load(cur + base - 1);
        as = load(ahead + base - 1);
      }
      lineWidthRule512<Grow, Dx, Side, UpDown, Diagonal>(cur + base, v, vs, a, as);
      v = vp;
      a = ap;
    }
  }
}
#endif

template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
RunFn runAt(SimdLevel level) {
#if QUILLARO_X86_KERNELS
  if (level == SimdLevel::Avx512) return &lineWidthAvx512<Grow, Dx, Side, UpDown, Diagonal>;
  if (level == SimdLevel::Avx2) return &lineWidthAvx2<Grow, Dx, Side, UpDown, Diagonal>;
#else
  (void)level;
#endif
  return &lineWidthPlain<Grow, Dx, Side, UpDown, Diagonal>;
}

template <bool Grow, int Dx>
RunFn runFor(bool side, bool upDown, bool diagonal, SimdLevel level) {
  if (diagonal) return runAt<Grow, Dx, true, true, true>(level);
  if (side && upDown) return runAt<Grow, Dx, true, true, false>(level);
  if (side) return runAt<Grow, Dx, true, false, false>(level);
  return runAt<Grow, Dx, false, true, false>(level);
}

}  // namespace

bool changeLineWidth(Bitmap& picture, const PixelRect& area, const LineWidthOptions& o) {
  if (!wellFormed(picture) || picture.bits != 1) return false;
  PixelRect a = area;
  a.left = std::max(a.left, 0);
  a.top = std::max(a.top, 0);
  a.right = std::min(a.right, picture.width - 1);
  a.bottom = std::min(a.bottom, picture.height - 1);
  const bool sideways = o.vertical;   // the pixel one column further
  const bool upDown = o.horizontal;   // the pixel one row further
  const bool diagonal = o.corners && o.vertical && o.horizontal;
  if (a.empty() || (!sideways && !upDown)) return true;

  // Grow scans rows bottom to top and looks one row up; shrink scans top to bottom and looks
  // one row down. Columns run right to left (looking one column left) for grow, left to right
  // for shrink; alternate swaps them. The scan never reaches a pixel it looks at before it
  // has decided the looking one, so every pixel is decided from the picture as it was.
  const int dy = o.grow ? -1 : 1;
  const int dx = (o.grow != o.alternate) ? -1 : 1;
  // Pixels outside the picture are never the other colour: white for grow, black for shrink.
  const std::uint8_t neutral = o.grow ? 0xFF : 0x00;
  const SimdLevel level = simdLevel();
  const RunFn run = o.grow ? (dx < 0 ? runFor<true, -1>(sideways, upDown, diagonal, level)
                                     : runFor<true, 1>(sideways, upDown, diagonal, level))
                           : (dx < 0 ? runFor<false, -1>(sideways, upDown, diagonal, level)
                                     : runFor<false, 1>(sideways, upDown, diagonal, level));

  const Tables& t = tables();
  const int rowBytes = picture.rowBytes;
  const int tailBits = picture.width & 7;
  const int b0 = a.left >> 3;
  const int b1 = a.right >> 3;
  const std::uint8_t lm = t.tailMask[a.left & 7];
  const std::uint8_t rm = (a.right & 7) == 7 ? std::uint8_t{0xFF} : t.headMask[(a.right & 7) + 1];

  // How the edge bytes b0, b1 and their sideways neighbours read as neighbours: from the
  // byte at `at` (held inside the row) with `set` bits put on and then `keep` bits kept, so
  // that bytes outside the row read neutral and padding bits take the neutral colour.
  struct EdgeByte {
    int at;
    unsigned set, keep;
  };
  auto edgeOf = [&](int i) {
    EdgeByte e{std::clamp(i, 0, rowBytes - 1), 0u, 0xFFu};
    if (i < 0 || i >= rowBytes) {
      e.set = neutral;
      e.keep = neutral;
    } else if (i == rowBytes - 1 && tailBits) {
      if (o.grow) e.set = t.tailMask[tailBits];
      else e.keep = t.headMask[tailBits];
    }
    return e;
  };
  const EdgeByte edges[2][2] = {{edgeOf(b0), edgeOf(b0 + dx)}, {edgeOf(b1), edgeOf(b1 + dx)}};
  // The new value of edge byte k (0: b0, 1: b1) from the row and the row ahead.
  auto edgeValue = [&](const std::uint8_t* row, const std::uint8_t* ahead, int k) {
    auto read = [](const std::uint8_t* r, const EdgeByte& e) { return (r[e.at] | e.set) & e.keep; };
    auto beside = [dx](unsigned v, unsigned next) {  // pixel x + dx of each pixel x of v
      return dx > 0 ? ((v << 1) | (next >> 7)) & 0xFFu : (v >> 1) | ((next << 7) & 0x80u);
    };
    const EdgeByte& self = edges[k][0];
    const EdgeByte& side = edges[k][1];
    const unsigned c = read(row, self), n = read(ahead, self);
    unsigned r = c;
    if (o.grow) {
      if (sideways) r &= beside(c, read(row, side));
      if (upDown) r &= n;
      if (diagonal) r &= beside(n, read(ahead, side));
    } else {
      if (sideways) r |= beside(c, read(row, side));
      if (upDown) r |= n;
      if (diagonal) r |= beside(n, read(ahead, side));
    }
    return static_cast<std::uint8_t>(r);
  };
  // The row past the picture reads neutral.
  const std::vector<std::uint8_t> outside(static_cast<std::size_t>(rowBytes), neutral);

  const int yFirst = o.grow ? a.bottom : a.top;
  const int yLast = o.grow ? a.top : a.bottom;
  for (int y = yFirst;; y += dy) {
    std::uint8_t* row = picture.row(y);
    const bool aheadInside = y + dy >= 0 && y + dy < picture.height;
    const std::uint8_t* ahead = aheadInside ? picture.row(y + dy) : outside.data();
    // The first and last bytes of the area are worked apart (they may hold pixels outside
    // the area, padding bits, or lie at the row's ends), before the bytes between them,
    // which read them, change in place. Those read nothing outside bytes b0..b1, and the
    // only padding bits they could see are in b1, whose top bit is a pixel.
    const std::uint8_t first = edgeValue(row, ahead, 0);
    const std::uint8_t last = edgeValue(row, ahead, 1);
    if (b1 - b0 >= 2) run(row + b0 + 1, ahead + b0 + 1, static_cast<std::size_t>(b1 - b0 - 1));
    auto merge = [&](int i, std::uint8_t value, std::uint8_t m) {
      row[i] = static_cast<std::uint8_t>((row[i] & ~m) | (value & m));
    };
    if (b1 == b0) {
      merge(b0, first, static_cast<std::uint8_t>(lm & rm));
    } else {
      merge(b0, first, lm);
      merge(b1, last, rm);
    }
    if (y == yLast) break;
  }
  return true;
}

}  // namespace quillaro
