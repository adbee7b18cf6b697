// The copy kernels against a deliberately slow reference that evaluates each mapping
// literally (arc tangent, sine and cosine, rounding half to even), pixel for pixel, over
// many random zones, scales and angles. A difference is accepted only where the exact
// value of a coordinate lies within 1e-9 of a rounding tie.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "ops/copy_engine.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

long long rne(double v) { return std::llrint(v); }

Bitmap noisePicture(int w, int h, int bits, std::uint32_t seed) {
  Bitmap b = Bitmap::create(w, h, bits);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < b.rowBytes; ++i) b.row(y)[i] = static_cast<std::uint8_t>(rng());
  if (bits == 24)  // some pure white pixels, which are never copied
    for (int y = 0; y < h; y += 3)
      for (int x = 0; x < w; x += 5) b.setRgb(x, y, {255, 255, 255});
  return b;
}

// Reference transfer of one pixel.
void refTransfer(const Bitmap& pic, long long x, long long y, Bitmap& page, int pc, int pr) {
  if (x < 0 || y < 0 || x >= pic.width || y >= pic.height) return;
  if (pc < 0 || pr < 0 || pc >= page.width || pr >= page.height) return;
  const int px = static_cast<int>(x), py = static_cast<int>(y);
  if (pic.bits == 1) {
    if (!pic.isWhite(px, py)) page.setWhite(pc, pr, false);
  } else if (pic.bits == 8) {
    page.setGrey(pc, pr, pic.grey(px, py));
  } else if (const Rgb c = pic.rgb(px, py); c.red + c.green + c.blue < 765) {
    page.setRgb(pc, pr, c);
  }
}

void refSmallAngle(const Bitmap& pic, Bitmap& page, const FrameMapping& f) {
  for (int j = 1; j < f.height; ++j)
    for (int i = pic.bits == 1 ? 0 : 1; i < f.width; ++i) {
      const long long x = rne((f.a * j + i) / f.sx + f.zoneLeft);
      const long long y = rne((j - f.a * i) / f.sy + f.zoneTop);
      refTransfer(pic, x, y, page, f.destLeft + i, f.destTop + j);
    }
}

void refGeneral(const Bitmap& pic, Bitmap& page, const FrameMapping& f) {
  for (int j = 1; j < f.height; ++j)
    for (int i = 1; i < f.width; ++i) {
      const double u = static_cast<double>(rne(i / f.sx)), v = static_cast<double>(rne(j / f.sy));
      long long x = f.zoneLeft, y = f.zoneTop;
      if (u != 0 || v != 0) {
        const double d = std::sqrt(u * u + v * v);
        const double t = std::fabs(u) < std::fabs(v) ? std::atan(u / v) : 1.5707963267949 - std::atan(v / u);
        x = rne(d * std::sin(t + f.a) + f.zoneLeft);
        y = rne(d * std::cos(t + f.a) + f.zoneTop);
      }
      refTransfer(pic, x, y, page, f.destLeft + i, f.destTop + j);
    }
}

void refFast(const Bitmap& pic, Bitmap& page, const FrameMapping& f) {
  for (int j = 1; j < f.height; ++j)
    for (int i = 0; i <= f.width - 2; i += 8) {
      const long long x = rne((f.a * j + i) / f.sx + f.zoneLeft);
      const long long y = rne((j - f.a * i) / f.sy + f.zoneTop);
      const int pr = f.destTop + j, d = f.destLeft + i;
      if (x < 0 || x >= pic.width - 8 || y < 0 || y >= pic.height) continue;
      if (pr < 0 || pr >= page.height || d < 0 || d / 8 >= page.rowBytes) continue;
      const std::uint8_t* s = pic.row(static_cast<int>(y));
      const int k = static_cast<int>(x % 8), b = static_cast<int>(x / 8);
      const std::uint8_t v = k == 0 ? s[b] : static_cast<std::uint8_t>((s[b] * 256 + s[b + 1]) / (1 << (8 - k)));
      page.row(pr)[d / 8] = v;
    }
}

void refWholeByte(const Bitmap& pic, Bitmap& page, const FrameMapping& f) {
  for (int j = 0; j < f.height; ++j) {
    const int y = f.zoneTop + j, pr = f.destTop + j;
    if (y < 0 || y >= pic.height || pr < 0 || pr >= page.height) continue;
    if (pic.bits == 1) {
      for (int i = 0; i <= f.width - 2; i += 8) {
        const int x = f.zoneLeft + i, d = f.destLeft + i;
        if (x < 0 || x >= pic.width - 8 || d < 0 || d / 8 >= page.rowBytes) continue;
        page.row(pr)[d / 8] = pic.row(y)[x / 8];
      }
    } else {
      for (int i = 0; i < f.width; ++i) refTransfer(pic, f.zoneLeft + i, y, page, f.destLeft + i, pr);
    }
  }
}

bool nearTie(long double v) { return std::fabs(v - std::floor(v) - 0.5L) < 1e-9L; }

// Whether frame position (i, j) has a coordinate within 1e-9 of a tie under the path.
bool tieAt(const FrameMapping& f, CopyPath path, int i, int j) {
  const long double a = f.a, sx = f.sx, sy = f.sy;
  if (path == CopyPath::General) {
    const long double iu = i / sx, jv = j / sy;
    if (nearTie(iu) || nearTie(jv)) return true;
    const long double u = std::llrint(static_cast<double>(iu)), v = std::llrint(static_cast<double>(jv));
    return nearTie(u * std::cos(a) + v * std::sin(a) + f.zoneLeft) ||
           nearTie(v * std::cos(a) - u * std::sin(a) + f.zoneTop);
  }
  return nearTie((a * j + i) / sx + f.zoneLeft) || nearTie((j - a * i) / sy + f.zoneTop);
}

// Compares the pages; every differing pixel must sit on a tie. Returns the count of ties.
int expectSame(const Bitmap& got, const Bitmap& want, const FrameMapping& f, CopyPath path) {
  int ties = 0;
  const int bpp = got.bits == 24 ? 3 : 1;
  for (int r = 0; r < got.height; ++r) {
    const std::uint8_t* g = got.row(r);
    const std::uint8_t* w = want.row(r);
    for (int k = 0; k < got.rowBytes; ++k) {
      if (g[k] == w[k]) continue;
      const int j = r - f.destTop;
      bool ok = false;
      if (got.bits == 1 && path == CopyPath::Fast) {
        for (int i = 0; i < f.width && !ok; i += 8) ok = f.destLeft + i >= 0 && (f.destLeft + i) / 8 == k && tieAt(f, path, i, j);
      } else if (got.bits == 1) {
        for (int b = 0; b < 8 && !ok; ++b) ok = tieAt(f, path, k * 8 + b - f.destLeft, j);
      } else {
        ok = tieAt(f, path, k / bpp - f.destLeft, j);
      }
      if (!ok) {
        ADD_FAILURE() << "row " << r << " byte " << k << " got " << int(g[k]) << " want " << int(w[k]) << " sx "
                      << f.sx << " sy " << f.sy << " a " << f.a << " zone " << f.zoneLeft << "," << f.zoneTop;
        return ties;
      }
      ++ties;
    }
  }
  return ties;
}

FrameMapping randomFrame(std::mt19937& rng, double a, bool unitScale) {
  std::uniform_int_distribution<int> pos(-40, 60), size(20, 180), zone(-60, 200);
  std::uniform_real_distribution<double> scale(0.45, 2.2);
  FrameMapping f;
  f.destLeft = pos(rng), f.destTop = pos(rng), f.width = size(rng), f.height = size(rng);
  f.zoneLeft = zone(rng), f.zoneTop = zone(rng);
  f.sx = unitScale ? 1.0 : scale(rng);
  f.sy = unitScale ? 1.0 : (rng() % 4 == 0 ? f.sx : scale(rng));
  f.a = a;
  return f;
}

void runPath(CopyPath path, int bits, int cases, std::uint32_t seed) {
  std::mt19937 rng(seed);
  const Bitmap pic = noisePicture(257, 233, bits, seed);
  std::uniform_real_distribution<double> smallA(-0.05, 0.05), anyA(-0.5, 0.5), fastScale(0.96, 1.04);
  int ties = 0;
  for (int n = 0; n < cases; ++n) {
    double a;
    if (path == CopyPath::General) {
      const double pick[] = {0.0501, -0.0501, 0.5, -0.5, 0.3};
      a = n < 5 ? pick[n] : anyA(rng);
    } else if (path == CopyPath::WholeByte) {
      a = 0;
    } else {
      const double pick[] = {0.05, -0.05, 0.0, 0.0499};
      a = n < 4 ? pick[n] : smallA(rng);
      if (path == CopyPath::Fast && std::fabs(a) >= 0.05) a = 0.0499;
    }
    FrameMapping f = randomFrame(rng, a, path == CopyPath::WholeByte);
    if (path == CopyPath::Fast) f.sx = fastScale(rng), f.sy = fastScale(rng);
    Bitmap want = Bitmap::create(211, 197, bits), got = Bitmap::create(211, 197, bits), got1 = Bitmap::create(211, 197, bits);
    switch (path) {
      case CopyPath::WholeByte: refWholeByte(pic, want, f); break;
      case CopyPath::SmallAngle: refSmallAngle(pic, want, f); break;
      case CopyPath::Fast: refFast(pic, want, f); break;
      case CopyPath::General: refGeneral(pic, want, f); break;
    }
    drawFrame(pic, got, f, path, nullptr, 2);
    drawFrame(pic, got1, f, path, nullptr, 1);
    ties += expectSame(got, want, f, path);
    ASSERT_EQ(0, std::memcmp(got.data(), got1.data(), got.byteCount())) << "threads change the result";
    if (::testing::Test::HasFailure()) return;
  }
  ::testing::Test::RecordProperty("ties", ties);
}

TEST(CopyKernelReference, EveryPathAtEachDepth) {
  for (int bits : {1, 8, 24}) {
    runPath(CopyPath::WholeByte, bits, 40, 11u + bits);
    runPath(CopyPath::SmallAngle, bits, 60, 21u + bits);
    runPath(CopyPath::General, bits, 60, 41u + bits);
  }
  runPath(CopyPath::Fast, 1, 100, 31u);
}

TEST(CopyKernelReference, TwoOriginalsMatchLiteralFormulas) {
  std::mt19937 rng(77);
  for (int bits : {1, 8, 24}) {
    const Bitmap pic = noisePicture(241, 229, bits, 5u + bits);
    for (int n = 0; n < 24; ++n) {
      TwoOriginalsMapping s;
      s.pageColumn0 = static_cast<int>(rng() % 40) - 10;
      s.rowBase = static_cast<int>(rng() % 60);
      s.upper = n % 2 == 1;
      s.back = n % 4 >= 2;
      s.width = 20 + static_cast<int>(rng() % 120);
      s.height = 20 + static_cast<int>(rng() % 120);
      if (s.upper) s.rowBase += s.width;
      s.zoneLeft = static_cast<int>(rng() % 120) - 20;
      s.zoneTop = static_cast<int>(rng() % 120) - 20;
      s.sx = 0.6 + (rng() % 100) / 80.0;
      s.sy = 0.6 + (rng() % 100) / 80.0;
      const double angles[] = {0.05, 0.0501, -0.3, 0.0};
      s.a = angles[n % 4];
      Bitmap want = Bitmap::create(230, 260, bits), got = Bitmap::create(230, 260, bits);
      const bool small = std::fabs(s.a) <= 0.05 && (bits == 1 || bits == 24);
      for (int i = 0; i < s.width; ++i)
        for (int j = 0; j < s.height; ++j) {
          long long x, y;
          if (small) {
            x = rne((s.a * j + i) / s.sx + s.zoneLeft);
            y = rne((j - s.a * i) / s.sy + s.zoneTop);
          } else if (i == 0 && j == 0) {
            x = s.zoneLeft;
            y = s.zoneTop;
          } else {
            const double u = i, v = j, d = std::sqrt(u * u + v * v);
            const double t = std::fabs(u) < std::fabs(v) ? std::atan(u / v) : 1.5707963267949 - std::atan(v / u);
            x = rne(d * std::sin(t + s.a) / s.sx + s.zoneLeft);
            y = rne(d * std::cos(t + s.a) / s.sy + s.zoneTop);
          }
          const int k = s.back ? s.width - 1 - i : i;
          const int row = s.upper ? s.rowBase - k : s.rowBase + s.width - k;
          const int col = s.pageColumn0 + (s.back ? s.height - 1 - j : j);
          refTransfer(pic, x, y, want, col, row);
        }
      drawTwoOriginals(pic, got, s, nullptr, 2);
      int diff = 0;
      for (std::size_t b = 0; b < got.byteCount(); ++b) diff += got.data()[b] != want.data()[b];
      // Ties are rare enough here that any difference counts.
      EXPECT_EQ(0, diff) << "bits " << bits << " case " << n;
    }
  }
}

}  // namespace
}  // namespace quillaro
