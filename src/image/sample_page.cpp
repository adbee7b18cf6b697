#include "image/sample_page.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/numeric.h"

namespace quillaro {

namespace {

// splitmix64: small, fast and the same everywhere (library distributions are not).
class Rng {
public:
  explicit Rng(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
  std::uint64_t s_;
};

struct Point {
  double x, y;
};

// Ink coverage (0..255) of the whole page, picture rows from the top.
class InkLayer {
public:
  InkLayer(int w, int h) : w_(w), h_(h), cov_(allocatePixels(static_cast<std::size_t>(w) * h)) {
    if (cov_) std::memset(cov_.get(), 0, static_cast<std::size_t>(w) * h);
  }
  bool ok() const { return cov_ != nullptr; }
  const std::uint8_t* row(int y) const { return cov_.get() + static_cast<std::size_t>(y) * w_; }

  // A soft-edged disc; coverage keeps the darkest stamp.
  void disc(double cx, double cy, double r) {
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - r - 1)));
    const int x1 = std::min(w_ - 1, static_cast<int>(std::ceil(cx + r + 1)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - r - 1)));
    const int y1 = std::min(h_ - 1, static_cast<int>(std::ceil(cy + r + 1)));
    const double outer = (r + 0.5) * (r + 0.5);
    for (int y = y0; y <= y1; ++y) {
      std::uint8_t* p = cov_.get() + static_cast<std::size_t>(y) * w_;
      const double dy = y + 0.5 - cy;
      for (int x = x0; x <= x1; ++x) {
        const double dx = x + 0.5 - cx;
        const double d2 = dx * dx + dy * dy;
        if (d2 >= outer) continue;
        const double a = std::min(1.0, r + 0.5 - std::sqrt(d2));
        const auto v = static_cast<std::uint8_t>(a * 255.0);
        if (v > p[x]) p[x] = v;
      }
    }
  }

private:
  int w_, h_;
  PixelArray cov_;
};

// The page turned by the skew angle around its centre.
struct Skew {
  double cx, cy, cs, sn;
  Point toImage(Point p) const {
    return {cx + (p.x - cx) * cs - (p.y - cy) * sn, cy + (p.x - cx) * sn + (p.y - cy) * cs};
  }
};

// Draws a Catmull-Rom curve through the points with a pen whose width breathes a little.
void drawCurve(InkLayer& ink, const Skew& skew, const std::vector<Point>& pts, double radius,
               Rng& rng) {
  if (pts.size() < 2) return;
  const double phase = rng.range(0, 6.28);
  double travelled = 0;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const Point p0 = pts[i == 0 ? 0 : i - 1], p1 = pts[i], p2 = pts[i + 1];
    const Point p3 = pts[std::min(pts.size() - 1, i + 2)];
    const double len = std::hypot(p2.x - p1.x, p2.y - p1.y);
    const double step = std::max(0.5, 0.35 * radius);
    const int n = std::max(1, static_cast<int>(std::ceil(len * 1.3 / step)));
    for (int k = 0; k < n; ++k) {
      const double t = static_cast<double>(k) / n, t2 = t * t, t3 = t2 * t;
      const double x = 0.5 * (2 * p1.x + (-p0.x + p2.x) * t + (2 * p0.x - 5 * p1.x + 4 * p2.x - p3.x) * t2 +
                              (-p0.x + 3 * p1.x - 3 * p2.x + p3.x) * t3);
      const double y = 0.5 * (2 * p1.y + (-p0.y + p2.y) * t + (2 * p0.y - 5 * p1.y + 4 * p2.y - p3.y) * t2 +
                              (-p0.y + 3 * p1.y - 3 * p2.y + p3.y) * t3);
      travelled += step;
      const double r = radius * (1.0 + 0.2 * std::sin(phase + travelled * 0.01));
      const Point q = skew.toImage({x, y});
      ink.disc(q.x, q.y, r);
    }
  }
}

// One handwritten line: words of cursive letters along a baseline.
void writeLine(InkLayer& ink, const Skew& skew, Rng& rng, double left, double right,
               double baseline, double xHeight, const double* pens, int penCount) {
  double x = left + rng.range(0, 4 * xHeight);
  const double end = right - rng.range(0, (right - left) * 0.4);
  const double slant = rng.range(0.15, 0.35);
  while (x < end) {
    const double radius = pens[rng.below(penCount)];
    const int letters = 2 + rng.below(8);
    std::vector<Point> pts;
    auto add = [&](double px, double py) { pts.push_back({px + (baseline - py) * slant, py}); };
    add(x, baseline);
    for (int l = 0; l < letters && x < end; ++l) {
      const double w = xHeight * rng.range(0.5, 0.9);
      const double jitter = xHeight * 0.08;
      switch (rng.below(4)) {
        case 0:  // small loop
          add(x + 0.6 * w, baseline - xHeight + rng.range(-jitter, jitter));
          add(x + 0.1 * w, baseline - 0.5 * xHeight);
          add(x + 0.5 * w, baseline + rng.range(-jitter, jitter));
          break;
        case 1:  // ascender
          add(x + 0.5 * w, baseline - 2.0 * xHeight + rng.range(-jitter, jitter));
          add(x + 0.3 * w, baseline - 1.6 * xHeight);
          add(x + 0.4 * w, baseline);
          break;
        case 2:  // descender
          add(x + 0.4 * w, baseline - xHeight);
          add(x + 0.5 * w, baseline + 1.0 * xHeight + rng.range(-jitter, jitter));
          add(x + 0.2 * w, baseline + 0.6 * xHeight);
          add(x + 0.7 * w, baseline - 0.2 * xHeight);
          break;
        default:  // hump
          add(x + 0.3 * w, baseline - xHeight);
          add(x + 0.5 * w, baseline);
          add(x + 0.8 * w, baseline - xHeight + rng.range(-jitter, jitter));
          add(x + w, baseline);
          break;
      }
      x += w;
    }
    drawCurve(ink, skew, pts, radius, rng);
    x += xHeight * rng.range(1.0, 2.0);
  }
}

struct Colour {
  float b, g, r;
};

}  // namespace

std::int32_t samplePixelsPerMetre(const SamplePageOptions& options) {
  return options.dpi == 1200 ? kPixelsPerMetre1200 : kPixelsPerMetre600;
}

Bitmap makeSamplePage(const SamplePageOptions& options) {
  const double dpm = options.dpi == 1200 ? kDotsPerMm1200 : kDotsPerMm600;
  const int w = options.width > 0 ? options.width : static_cast<int>(mmToDots(210, dpm));
  const int h = options.height > 0 ? options.height : static_cast<int>(mmToDots(297, dpm));
  Bitmap page;
  if (options.bits != 1 && options.bits != 8 && options.bits != 24) return page;
  if (!page.allocate(w, h, options.bits)) return page;
  InkLayer ink(w, h);
  if (!ink.ok()) return Bitmap{};

  Rng rng(options.seed);
  const double angle = rng.range(0.3, 1.0) * (rng.below(2) ? 1 : -1) * 3.14159265358979 / 180.0;
  const Skew skew{w / 2.0, h / 2.0, std::cos(angle), std::sin(angle)};

  // Layout in page millimetres.
  const bool squared = options.grid == SampleGrid::Squared;
  const double spacing = (squared ? 5.0 : 8.0) * dpm;  // ruling pitch
  const double writePitch = squared ? 2 * spacing : spacing;
  const double top = 20.0 * dpm, bottom = h - 12.0 * dpm;
  const double marginX = 25.0 * dpm, rightEdge = w - 8.0 * dpm;
  const double xHeight = (squared ? 3.6 : 2.8) * dpm;
  const double scale = dpm / kDotsPerMm600;
  const double pens[] = {0.9 * scale, 1.5 * scale, 2.3 * scale, 3.4 * scale};

  for (double base = top + writePitch; base < bottom; base += writePitch) {
    if (rng.below(10) == 0) continue;  // an empty line now and then
    writeLine(ink, skew, rng, marginX + 2.0 * dpm, rightEdge, base, xHeight, pens, 4);
  }
  // Dust: a few dark specks.
  const int specks = static_cast<int>(40.0 * w * h / (4961.0 * 7016.0)) + 3;
  for (int i = 0; i < specks; ++i) ink.disc(rng.range(0, w), rng.range(0, h), rng.range(0.5, 2.5) * scale);

  // Rulings and ink, composed row by row over the paper. A ruling touches only the few
  // pixels of a row near it, found from the row's page coordinates, which change linearly.
  const Colour ruling{170, 110, 90};
  const Colour margin{80, 70, 200};
  const Colour inkColour{130, 40, 35};
  const double band = (squared ? 0.07 : 0.11) * dpm + 0.5;  // half line width + antialias
  const int lastRuling = static_cast<int>(std::floor((bottom - top) / spacing));
  std::vector<float> line(static_cast<std::size_t>(w) * 3);
  const std::uint64_t noiseSeed = rng.next();
  auto blend = [&line](int x, const Colour& c, float a) {
    float* o = &line[3 * static_cast<std::size_t>(x)];
    o[0] += (c.b - o[0]) * a;
    o[1] += (c.g - o[1]) * a;
    o[2] += (c.r - o[2]) * a;
  };
  // Blends colour c along the pixels x where |p0 + x * dp - at| < band.
  auto stroke = [&](double p0, double dp, double at, const Colour& c, double v0, double dv,
                    bool limitV) {
    int xa = 0, xb = w - 1;
    if (std::fabs(dp) > 1e-9) {
      double lo = (at - band - p0) / dp, hi = (at + band - p0) / dp;
      if (lo > hi) std::swap(lo, hi);
      xa = std::max(0, static_cast<int>(std::floor(lo)));
      xb = std::min(w - 1, static_cast<int>(std::ceil(hi)));
    } else if (std::fabs(p0 - at) >= band) {
      return;
    }
    for (int x = xa; x <= xb; ++x) {
      if (limitV) {
        const double v = v0 + x * dv;
        if (v < top - band || v > top + lastRuling * spacing + band) continue;
      }
      const double a = band - std::fabs(p0 + x * dp - at);
      if (a > 0) blend(x, c, static_cast<float>(std::min(1.0, a)));
    }
  };

  for (int y = 0; y < h; ++y) {
    // Page coordinates of the row's first pixel (inverse of the skew) and their steps.
    const double dy = y + 0.5 - skew.cy;
    const double u0 = skew.cx + (0.5 - skew.cx) * skew.cs + dy * skew.sn;
    const double v0 = skew.cy - (0.5 - skew.cx) * skew.sn + dy * skew.cs;
    const double du = skew.cs, dv = -skew.sn;
    const float shadeRow = 238.0f - 16.0f * static_cast<float>(y) / h;
    const float shadeStep = -12.0f / w;
    std::uint32_t noise = static_cast<std::uint32_t>((noiseSeed ^ (static_cast<std::uint64_t>(y) * 0x9E3779B97F4A7C15ull)) >> 32) | 1u;
    for (int x = 0; x < w; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const float n = static_cast<float>(noise & 15) + static_cast<float>((noise >> 8) & 15) - 15.0f;
      const float shade = shadeRow + shadeStep * static_cast<float>(x) + 0.5f * n;
      float* o = &line[3 * static_cast<std::size_t>(x)];
      o[0] = shade - 12.0f;
      o[1] = shade - 3.0f;
      o[2] = shade;
    }
    // Horizontal rulings crossing this row.
    const double vEnd = v0 + (w - 1) * dv;
    const int kLo = std::max(0, static_cast<int>(std::ceil((std::min(v0, vEnd) - band - top) / spacing)));
    const int kHi = std::min(lastRuling, static_cast<int>(std::floor((std::max(v0, vEnd) + band - top) / spacing)));
    for (int k = kLo; k <= kHi; ++k) stroke(v0, dv, top + k * spacing, ruling, v0, dv, false);
    if (squared) {
      const double uEnd = u0 + (w - 1) * du;
      const int jLo = static_cast<int>(std::ceil((std::min(u0, uEnd) - band - marginX) / spacing));
      const int jHi = static_cast<int>(std::floor((std::max(u0, uEnd) + band - marginX) / spacing));
      for (int j = jLo; j <= jHi; ++j) stroke(u0, du, marginX + j * spacing, ruling, v0, dv, true);
    } else {
      stroke(u0, du, marginX, margin, v0, dv, false);
    }
    const std::uint8_t* cov = ink.row(y);
    for (int x = 0; x < w; ++x) {
      if (cov[x]) blend(x, inkColour, cov[x] * (1.0f / 255.0f));
    }
    std::uint8_t* out = page.row(y);
    auto byte = [](float f) { return static_cast<std::uint8_t>(std::clamp(f + 0.5f, 0.0f, 255.0f)); };
    if (options.bits == 24) {
      const std::size_t n = line.size();
      const float* src = line.data();
      for (std::size_t i = 0; i < n; ++i) out[i] = byte(src[i]);
      std::memset(out + n, 0, static_cast<std::size_t>(page.stride) - n);
    } else {
      std::memset(out, options.bits == 1 ? 0xFF : 0, static_cast<std::size_t>(page.stride));
      for (int x = 0; x < w; ++x) {
        const float* p = &line[3 * static_cast<std::size_t>(x)];
        const std::uint8_t grey = byte(0.1f * p[0] + 0.6f * p[1] + 0.3f * p[2]);
        if (options.bits == 8) out[x] = grey;
        else if (grey < 140) setBitWhite(out, x, false);
      }
    }
  }
  return page;
}

}  // namespace quillaro
