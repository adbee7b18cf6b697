#include "adjust/density.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "app/numeric.h"
#include "app/tables.h"
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

std::string directionsPart(bool horizontal, bool vertical) {
  if (horizontal && vertical) return {};
  std::string s = ", H=";
  s += horizontal ? '1' : '0';
  s += " V=";
  s += vertical ? '1' : '0';
  return s;
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

std::string denseThinCommandLine(std::string_view rectText, std::string_view widthText,
                                 bool plus, bool horizontal, bool vertical) {
  std::string line = "DenseThin";
  line += rectText;
  if (widthText != kDefaultLineWidthText) {
    line += ", W=";
    line += widthText;
  }
  if (plus) line += ", Plus=1";
  line += directionsPart(horizontal, vertical);
  return line;
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

// Sixteen bytes of a 1-bit row as two 64-bit lanes (plain SSE2 on x86-64). Every shift below
// is followed by a per-byte mask, so the pixel order inside the lanes does not matter.
using Lanes = std::uint64_t __attribute__((vector_size(16)));

constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kHigh7 = 0xFEFEFEFEFEFEFEFEULL;
constexpr std::uint64_t kTop = 0x8080808080808080ULL;
constexpr std::uint64_t kBottom = 0x0101010101010101ULL;

Lanes load16(const std::uint8_t* p) {
  Lanes v;
  std::memcpy(&v, p, 16);
  return v;
}

// Pixel x + dx of every pixel x of the sixteen bytes at p (p[-1] or p[16] is read).
template <int Dx>
Lanes neighbour(const std::uint8_t* p) {
  const Lanes v = load16(p);
  if constexpr (Dx > 0)
    return ((v << 1) & kHigh7) | ((load16(p + 1) >> 7) & kBottom);
  else
    return ((v >> 1) & kLow7) | ((load16(p - 1) << 7) & kTop);
}

// The rule over `blocks` 16-byte blocks of one row into `out` (not the row): cur is the row,
// ahead the row one step further in the scan.
template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
void lineWidthBlocks(const std::uint8_t* cur, const std::uint8_t* ahead, std::uint8_t* out,
                     int blocks) {
  for (std::size_t k = 0; k < 16 * static_cast<std::size_t>(blocks); k += 16) {
    Lanes r = load16(cur + k);
    if constexpr (Grow) {  // white stays white only when every consulted neighbour is white
      if constexpr (Side) r &= neighbour<Dx>(cur + k);
      if constexpr (UpDown) r &= load16(ahead + k);
      if constexpr (Diagonal) r &= neighbour<Dx>(ahead + k);
    } else {  // black stays black only when every consulted neighbour is black
      if constexpr (Side) r |= neighbour<Dx>(cur + k);
      if constexpr (UpDown) r |= load16(ahead + k);
      if constexpr (Diagonal) r |= neighbour<Dx>(ahead + k);
    }
    std::memcpy(out + k, &r, 16);
  }
}

using BlocksFn = void (*)(const std::uint8_t*, const std::uint8_t*, std::uint8_t*, int);

template <bool Grow, int Dx>
BlocksFn blocksFor(bool side, bool upDown, bool diagonal) {
  if (diagonal) return &lineWidthBlocks<Grow, Dx, true, true, true>;
  if (side && upDown) return &lineWidthBlocks<Grow, Dx, true, true, false>;
  if (side) return &lineWidthBlocks<Grow, Dx, true, false, false>;
  return &lineWidthBlocks<Grow, Dx, false, true, false>;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same rule 32 bytes at a time for processors with AVX2 (an odd last block of 16 bytes
// goes through the plain version).
using Lanes32 = std::uint64_t __attribute__((vector_size(32)));

template <bool Grow, int Dx, bool Side, bool UpDown, bool Diagonal>
__attribute__((target("avx2"))) void lineWidthBlocksWide(const std::uint8_t* cur,
                                                         const std::uint8_t* ahead,
                                                         std::uint8_t* out, int blocks) {
  const std::size_t n = 16 * static_cast<std::size_t>(blocks);
  std::size_t k = 0;
  for (; k + 32 <= n; k += 32) {
    Lanes32 v, vs, a, as;
    std::memcpy(&v, cur + k, 32);
    std::memcpy(&vs, cur + k + Dx, 32);
    std::memcpy(&a, ahead + k, 32);
    std::memcpy(&as, ahead + k + Dx, 32);
    const Lanes32 side = Dx > 0 ? ((v << 1) & kHigh7) | ((vs >> 7) & kBottom)
                                : ((v >> 1) & kLow7) | ((vs << 7) & kTop);
    const Lanes32 diag = Dx > 0 ? ((a << 1) & kHigh7) | ((as >> 7) & kBottom)
                                : ((a >> 1) & kLow7) | ((as << 7) & kTop);
    Lanes32 r = v;
    if constexpr (Grow) {
      if constexpr (Side) r &= side;
      if constexpr (UpDown) r &= a;
      if constexpr (Diagonal) r &= diag;
    } else {
      if constexpr (Side) r |= side;
      if constexpr (UpDown) r |= a;
      if constexpr (Diagonal) r |= diag;
    }
    std::memcpy(out + k, &r, 32);
  }
  if (k < n) lineWidthBlocks<Grow, Dx, Side, UpDown, Diagonal>(cur + k, ahead + k, out + k, 1);
}

template <bool Grow, int Dx>
BlocksFn wideBlocksFor(bool side, bool upDown, bool diagonal) {
  if (diagonal) return &lineWidthBlocksWide<Grow, Dx, true, true, true>;
  if (side && upDown) return &lineWidthBlocksWide<Grow, Dx, true, true, false>;
  if (side) return &lineWidthBlocksWide<Grow, Dx, true, false, false>;
  return &lineWidthBlocksWide<Grow, Dx, false, true, false>;
}

bool haveAvx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}
#endif

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
  const BlocksFn blocks =
      o.grow ? (dx < 0 ? blocksFor<true, -1>(sideways, upDown, diagonal)
                       : blocksFor<true, 1>(sideways, upDown, diagonal))
             : (dx < 0 ? blocksFor<false, -1>(sideways, upDown, diagonal)
                       : blocksFor<false, 1>(sideways, upDown, diagonal));
  // The long run of interior blocks of each row, 32 bytes at a time where the processor can.
  BlocksFn interior = blocks;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (haveAvx2())
    interior = o.grow ? (dx < 0 ? wideBlocksFor<true, -1>(sideways, upDown, diagonal)
                                : wideBlocksFor<true, 1>(sideways, upDown, diagonal))
                      : (dx < 0 ? wideBlocksFor<false, -1>(sideways, upDown, diagonal)
                                : wideBlocksFor<false, 1>(sideways, upDown, diagonal));
#endif

  const Tables& t = tables();
  const int rowBytes = picture.rowBytes;
  const int tailBits = picture.width & 7;
  const int b0 = a.left >> 3;
  const int b1 = a.right >> 3;
  const int count = b1 - b0 + 1;
  const int nBlocks = (count + 15) / 16;
  const std::uint8_t lm = t.tailMask[a.left & 7];
  const std::uint8_t rm = (a.right & 7) == 7 ? std::uint8_t{0xFF} : t.headMask[(a.right & 7) + 1];
  // Blocks that lie inside the area's bytes, read nothing outside the row and keep clear of
  // its last byte (which may hold padding bits) are read straight from the rows; the others
  // from small copies with neutral bytes outside the row.
  int firstDirect = 1, lastDirect = nBlocks - 2;
  while (firstDirect <= lastDirect && b0 + 16 * firstDirect < 1) ++firstDirect;
  while (lastDirect >= firstDirect && b0 + 16 * lastDirect + 16 > rowBytes - 1) --lastDirect;
  std::vector<std::uint8_t> outside;  // a neutral row for the neighbour row past the picture
  std::vector<std::uint8_t> out(16 * static_cast<std::size_t>(nBlocks));

  auto window = [&](std::uint8_t* w, const std::uint8_t* row, int start) {
    std::memset(w, neutral, 48);
    const int from = std::max(start - 16, 0);
    const int to = std::min(start + 32, rowBytes);
    if (!row || to <= from) return;
    std::memcpy(w + (from - (start - 16)), row + from, static_cast<std::size_t>(to - from));
    const int last = rowBytes - 1 - (start - 16);
    if (tailBits && last >= 0 && last < 48)
      w[last] = o.grow ? static_cast<std::uint8_t>(w[last] | t.tailMask[tailBits])
                       : static_cast<std::uint8_t>(w[last] & t.headMask[tailBits]);
  };

  const int yFirst = o.grow ? a.bottom : a.top;
  const int yLast = o.grow ? a.top : a.bottom;
  for (int y = yFirst;; y += dy) {
    std::uint8_t* row = picture.row(y);
    const bool aheadInside = y + dy >= 0 && y + dy < picture.height;
    const std::uint8_t* aheadRow = aheadInside ? picture.row(y + dy) : nullptr;
    if (!aheadRow && upDown && firstDirect <= lastDirect && outside.empty())
      outside.assign(static_cast<std::size_t>(rowBytes) + 16, neutral);
    const std::uint8_t* aheadDirect = aheadRow ? aheadRow : outside.data();

    // Every block is worked into `out`, the interior ones straight from the rows, the edge
    // ones from copies; then the row takes the result within the area.
    const bool anyDirect = firstDirect <= lastDirect;
    if (anyDirect) {
      const int start = b0 + 16 * firstDirect;
      interior(row + start, aheadDirect + start, out.data() + 16 * firstDirect,
               lastDirect - firstDirect + 1);
    }
    for (int k = 0; k < nBlocks; ++k) {
      if (anyDirect && k == firstDirect) k = lastDirect + 1;
      if (k >= nBlocks) break;
      const int start = b0 + 16 * k;
      std::uint8_t cw[48], aw[48];
      window(cw, row, start);
      window(aw, aheadRow, start);
      blocks(cw + 16, aw + 16, out.data() + 16 * k, 1);
    }
    auto merge = [&](int i, std::uint8_t m) {
      std::uint8_t& dst = row[b0 + i];
      dst = static_cast<std::uint8_t>((dst & ~m) | (out[static_cast<std::size_t>(i)] & m));
    };
    if (count == 1) {
      merge(0, static_cast<std::uint8_t>(lm & rm));
    } else {
      merge(0, lm);
      std::memcpy(row + b0 + 1, out.data() + 1, static_cast<std::size_t>(count - 2));
      merge(count - 1, rm);
    }
    if (y == yLast) break;
  }
  return true;
}

std::string lineWidthCommandLine(std::string_view rectText, const LineWidthOptions& o) {
  std::string line = "D";
  line += o.grow ? '+' : '-';
  if (o.alternate) line += '/';
  if (o.corners && o.horizontal && o.vertical) line += 'C';
  line += rectText;
  line += directionsPart(o.horizontal, o.vertical);
  return line;
}

}  // namespace quillaro
