// Pixel kernels of the copy: the whole-byte, small-angle (with its fast 1-bit variant) and
// general mappings, the two-originals turn, mirror and the fill ratio.
//
// The general mapping turns frame position (u, v) by the angle a. Written with a distance
// and an arc tangent it is d sin(t + a), d cos(t + a); since d sin t = u and d cos t = v for
// u, v >= 0, this is u cos a + v sin a and v cos a - u sin a, which is what is evaluated
// here, with the products of u kept per column and those of v per row.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "base/ports.h"
#include "kernels/copy_kernels.h"

namespace quillaro {
namespace {

// Nearest integer, ties to even, for |v| < 2^51: adding and taking away 1.5 x 2^52 leaves
// the value rounded in the current (nearest-even) mode.
inline double rneD(double v) {
  constexpr double k = 6755399441055744.0;
  return (v + k) - k;  // not folded: the build keeps strict floating-point rules
}
inline long long rne(double v) { return static_cast<long long>(rneD(v)); }

int threadCount(int wanted) {
  if (wanted > 0) return std::min(wanted, 16);
  const unsigned n = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(n == 0 ? 1u : n, 1u, 16u));
}

// Runs fn(row) for rows first .. last - 1 in blocks of 32 rows; with n threads, thread t
// takes the blocks t, t + n, t + 2n, ... so that each row is done by exactly one thread
// (every row writes its own page row: the result does not depend on the threads). The
// calling thread reports the percentage of (row - origin) / total after each of its blocks
// and lets events run; a stop request ends every thread at its next block.
template <class Fn>
bool runRows(int first, int last, int origin, int total, Fn&& fn, Progress* progress,
             int threads, const std::string& prefix) {
  if (last <= first) return true;
  constexpr int kBlock = 32;
  const int blocks = (last - first + kBlock - 1) / kBlock;
  const int n = blocks >= 4 ? std::min(threadCount(threads), blocks) : 1;
  std::atomic<bool> stop{false};
  auto work = [&](int t) {
    for (int b = t; b < blocks && !stop.load(std::memory_order_relaxed); b += n) {
      const int r0 = first + b * kBlock;
      const int r1 = std::min(last, r0 + kBlock);
      for (int r = r0; r < r1; ++r) fn(r);
      if (t == 0 && progress) {
        const int pct = total > 0 ? static_cast<int>(static_cast<double>(r1 - origin) / total * 100.0) : 100;
        if (prefix.empty()) progress->percent(pct);
        else progress->status(prefix + " " + std::to_string(pct) + " %");
        if (progress->pump()) stop.store(true);
      }
    }
  };
  if (n == 1) {
    work(0);
  } else {
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(n - 1));
    for (int t = 1; t < n; ++t) pool.emplace_back(work, t);
    work(0);
    for (auto& th : pool) th.join();
  }
  return !stop.load();
}

struct Source {
  const std::uint8_t* top;  // row 0 (top) of the picture
  std::ptrdiff_t step;      // bytes from a row to the one below it (negative)
  unsigned width, height;
  const std::uint8_t* row(long long y) const { return top + step * y; }
  bool inside(long long x, long long y) const {
    return static_cast<unsigned long long>(x) < width && static_cast<unsigned long long>(y) < height;
  }
};

Source sourceOf(const Bitmap& b) {
  return {b.data() + static_cast<std::ptrdiff_t>(b.height - 1) * b.stride, -static_cast<std::ptrdiff_t>(b.stride),
          static_cast<unsigned>(b.width), static_cast<unsigned>(b.height)};
}

// Moves one pixel from the picture to the page row.
template <int Bits>
inline void transfer(const Source& s, long long x, long long y, std::uint8_t* dest, int pc) {
  const std::uint8_t* sr = s.row(y);
  if constexpr (Bits == 1) {
    if (!((sr[x >> 3] << (x & 7)) & 0x80)) dest[pc >> 3] &= static_cast<std::uint8_t>(~(0x80u >> (pc & 7)));
  } else if constexpr (Bits == 8) {
    dest[pc] = sr[x];
  } else {
    const std::uint8_t* p = sr + 3 * x;
    if (p[0] + p[1] + p[2] < 765) {
      std::uint8_t* d = dest + 3 * static_cast<std::ptrdiff_t>(pc);
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }
}

// The 8 picture pixels starting at x of a 1-bit row (0 <= x < width - 8).
inline std::uint8_t eightPixels(const std::uint8_t* sr, long long x) {
  const int k = static_cast<int>(x & 7);
  const std::uint8_t* p = sr + (x >> 3);
  if (k == 0) return p[0];
  return static_cast<std::uint8_t>(((p[0] << 8) | p[1]) >> (8 - k));
}

// Frame columns [i0, i1] that land inside the page row.
void clipColumns(const FrameMapping& f, int pageWidth, int& i0, int& i1) {
  i0 = std::max(i0, -f.destLeft);
  i1 = std::min(i1, pageWidth - 1 - f.destLeft);
}

template <int Bits>
bool wholeByte(const Bitmap& pic, Bitmap& page, const FrameMapping& f, Progress* pr, int threads) {
  const Source s = sourceOf(pic);
  int j0 = std::max(0, -f.destTop), j1 = std::min(f.height - 1, page.height - 1 - f.destTop);
  auto row = [&](int j) {
    const long long y = static_cast<long long>(f.zoneTop) + j;
    if (static_cast<unsigned long long>(y) >= s.height) return;
    std::uint8_t* dest = page.row(f.destTop + j);
    const std::uint8_t* sr = s.row(y);
    if constexpr (Bits == 1) {
      for (int i = 0; i <= f.width - 2; i += 8) {
        const long long x = static_cast<long long>(f.zoneLeft) + i;
        if (x < 0 || x >= static_cast<long long>(s.width) - 8) continue;
        const int d = f.destLeft + i;
        if (d < 0) continue;
        const int db = d / 8;
        if (db >= page.rowBytes) break;
        dest[db] = sr[x / 8];
      }
    } else {
      int i0 = 0, i1 = f.width - 1;
      clipColumns(f, page.width, i0, i1);
      for (int i = i0; i <= i1; ++i) {
        const long long x = static_cast<long long>(f.zoneLeft) + i;
        if (static_cast<unsigned long long>(x) >= s.width) continue;
        transfer<Bits>(s, x, y, dest, f.destLeft + i);
      }
    }
  };
  return runRows(j0, j1 + 1, 0, f.height, row, pr, threads, "");
}

template <int Bits>
bool smallAngle(const Bitmap& pic, Bitmap& page, const FrameMapping& f, Progress* pr, int threads) {
  const Source s = sourceOf(pic);
  const double invSx = 1.0 / f.sx, invSy = 1.0 / f.sy;
  const double zl = f.zoneLeft, zt = f.zoneTop;
  int j0 = std::max(1, -f.destTop), j1 = std::min(f.height - 1, page.height - 1 - f.destTop);
  auto row = [&](int j) {
    std::uint8_t* dest = page.row(f.destTop + j);
    const double aj = f.a * j;
    int i0 = Bits == 1 ? 0 : 1, i1 = f.width - 1;
    clipColumns(f, page.width, i0, i1);
    for (int i = i0; i <= i1; ++i) {
      const long long x = rne((aj + i) * invSx + zl);
      const long long y = rne((j - f.a * i) * invSy + zt);
      if (!s.inside(x, y)) continue;
      transfer<Bits>(s, x, y, dest, f.destLeft + i);
    }
  };
  return runRows(j0, j1 + 1, 0, f.height, row, pr, threads, "");
}

bool fastSmallAngle(const Bitmap& pic, Bitmap& page, const FrameMapping& f, Progress* pr, int threads) {
  const Source s = sourceOf(pic);
  const double invSx = 1.0 / f.sx, invSy = 1.0 / f.sy;
  const double zl = f.zoneLeft, zt = f.zoneTop;
  const long long xLimit = static_cast<long long>(s.width) - 8;
  int j0 = std::max(1, -f.destTop), j1 = std::min(f.height - 1, page.height - 1 - f.destTop);
  auto row = [&](int j) {
    std::uint8_t* dest = page.row(f.destTop + j);
    const double aj = f.a * j;
    for (int i = 0; i <= f.width - 2; i += 8) {
      const int d = f.destLeft + i;
      if (d < 0) continue;
      const int db = d / 8;
      if (db >= page.rowBytes) break;
      const long long x = rne((aj + i) * invSx + zl);
      const long long y = rne((j - f.a * i) * invSy + zt);
      if (x < 0 || x >= xLimit || static_cast<unsigned long long>(y) >= s.height) continue;
      dest[db] = eightPixels(s.row(y), x);
    }
  };
  return runRows(j0, j1 + 1, 0, f.height, row, pr, threads, "");
}

template <int Bits>
bool general(const Bitmap& pic, Bitmap& page, const FrameMapping& f, Progress* pr, int threads) {
  const Source s = sourceOf(pic);
  const double ca = std::cos(f.a), sa = std::sin(f.a);
  const double zl = f.zoneLeft, zt = f.zoneTop;
  int i0 = 1, i1 = f.width - 1;
  clipColumns(f, page.width, i0, i1);
  if (i1 < i0) return true;
  // Products of u = round(i / sx) with cos a and sin a, per frame column.
  std::vector<double> uc(static_cast<std::size_t>(i1 - i0 + 1)), us(uc.size());
  for (int i = i0; i <= i1; ++i) {
    const double u = rneD(i / f.sx);
    uc[static_cast<std::size_t>(i - i0)] = u * ca;
    us[static_cast<std::size_t>(i - i0)] = u * sa;
  }
  int j0 = std::max(1, -f.destTop), j1 = std::min(f.height - 1, page.height - 1 - f.destTop);
  auto row = [&](int j) {
    std::uint8_t* dest = page.row(f.destTop + j);
    const double v = rneD(j / f.sy);
    const double vs = v * sa, vc = v * ca;
    const double* pc = uc.data();
    const double* ps = us.data();
    for (int i = i0; i <= i1; ++i, ++pc, ++ps) {
      const long long x = rne(*pc + vs + zl);
      const long long y = rne(vc - *ps + zt);
      if (!s.inside(x, y)) continue;
      transfer<Bits>(s, x, y, dest, f.destLeft + i);
    }
  };
  return runRows(j0, j1 + 1, 0, f.height, row, pr, threads, "");
}

template <int Bits>
bool twoOriginals(const Bitmap& pic, Bitmap& page, const TwoOriginalsMapping& t, Progress* pr,
                  int threads) {
  const Source s = sourceOf(pic);
  const bool small = std::fabs(t.a) <= 0.05 && (Bits == 1 || Bits == 24);
  const double invSx = 1.0 / t.sx, invSy = 1.0 / t.sy;
  const double ca = std::cos(t.a), sa = std::sin(t.a);
  const double zl = t.zoneLeft, zt = t.zoneTop;
  auto column = [&](int i) {
    const int prow = twoOriginalsRow(t, i);
    if (prow < 0 || prow >= page.height) return;
    std::uint8_t* dest = page.row(prow);
    for (int j = 0; j < t.height; ++j) {
      const int pc = twoOriginalsColumn(t, j);
      if (pc < 0 || pc >= page.width) continue;
      long long x, y;
      if (small) {
        x = rne((t.a * j + i) * invSx + zl);
        y = rne((j - t.a * i) * invSy + zt);
      } else {
        x = rne((i * ca + j * sa) * invSx + zl);
        y = rne((j * ca - i * sa) * invSy + zt);
      }
      if (!s.inside(x, y)) continue;
      transfer<Bits>(s, x, y, dest, pc);
    }
  };
  return runRows(0, t.width, 0, t.width, column, pr, threads, "A5");
}

}  // namespace

CopyPath choosePath(const FrameMapping& f, int bits, const PathChoice& c) {
  const double a = std::fabs(f.a);
  if (c.byBytes && !c.paste && f.sx == 1.0 && f.sy == 1.0 && a < 0.0005) return CopyPath::WholeByte;
  if (a <= 0.05) {
    const double rx = std::max(f.sx, 1.0 / f.sx), ry = std::max(f.sy, 1.0 / f.sy);
    if (bits == 1 && c.fast && a < 0.05 && rx <= 1.05 && ry <= 1.2) return CopyPath::Fast;
    return CopyPath::SmallAngle;
  }
  return CopyPath::General;
}

bool drawFrame(const Bitmap& pic, Bitmap& page, const FrameMapping& f, CopyPath path,
               Progress* progress, int threads) {
  if (pic.empty() || page.empty() || pic.bits != page.bits) return true;
  if (f.width <= 0 || f.height <= 0) return true;
  switch (path) {
    case CopyPath::WholeByte:
      if (pic.bits == 1) return wholeByte<1>(pic, page, f, progress, threads);
      if (pic.bits == 8) return wholeByte<8>(pic, page, f, progress, threads);
      return wholeByte<24>(pic, page, f, progress, threads);
    case CopyPath::Fast:
      if (pic.bits == 1) return fastSmallAngle(pic, page, f, progress, threads);
      [[fallthrough]];
    case CopyPath::SmallAngle:
      if (pic.bits == 1) return smallAngle<1>(pic, page, f, progress, threads);
      if (pic.bits == 8) return smallAngle<8>(pic, page, f, progress, threads);
      return smallAngle<24>(pic, page, f, progress, threads);
    case CopyPath::General:
      if (pic.bits == 1) return general<1>(pic, page, f, progress, threads);
      if (pic.bits == 8) return general<8>(pic, page, f, progress, threads);
      return general<24>(pic, page, f, progress, threads);
  }
  return true;
}

int twoOriginalsRow(const TwoOriginalsMapping& s, int i) {
  const int k = s.back ? s.width - 1 - i : i;
  return s.upper ? s.rowBase - k : s.rowBase + s.width - k;
}

int twoOriginalsColumn(const TwoOriginalsMapping& s, int j) {
  return s.pageColumn0 + (s.back ? s.height - 1 - j : j);
}

bool drawTwoOriginals(const Bitmap& pic, Bitmap& page, const TwoOriginalsMapping& s,
                      Progress* progress, int threads) {
  if (pic.empty() || page.empty() || pic.bits != page.bits) return true;
  if (s.width <= 0 || s.height <= 0) return true;
  if (pic.bits == 1) return twoOriginals<1>(pic, page, s, progress, threads);
  if (pic.bits == 8) return twoOriginals<8>(pic, page, s, progress, threads);
  return twoOriginals<24>(pic, page, s, progress, threads);
}

void mirrorRows(Bitmap& page) {
  if (page.empty()) return;
  std::vector<std::uint8_t> tmp(static_cast<std::size_t>(page.stride));
  for (int r = 0, q = page.height - 1; r < q; ++r, --q) {
    std::uint8_t* a = page.fileRow(r);
    std::uint8_t* b = page.fileRow(q);
    std::copy(a, a + page.stride, tmp.data());
    std::copy(b, b + page.stride, a);
    std::copy(tmp.begin(), tmp.end(), b);
  }
}

double fillRatio(const Bitmap& picture, int dpi) {
  if (picture.empty() || picture.bits != 1) return 0;
  long long black = 0;
  const std::uint8_t* p = picture.data();
  const std::size_t n = picture.byteCount();
  for (std::size_t k = 0; k < n; ++k)
    if (p[k] < 255) black += 8 - __builtin_popcount(p[k]);
  const double dots = dpi >= 1200 ? 139225504.0 : 34806376.0;
  return static_cast<double>(black) / dots * 100.0;
}

}  // namespace quillaro
