#include "kernels/density.h"
#include "support/adjust_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "image/bitmap.h"

namespace quillaro {
namespace {

bool isBlack(const Bitmap& bm, int x, int y) {
  return bm.bits == 1 ? !bm.isWhite(x, y) : bm.grey(x, y) == 0;
}

void paint(Bitmap& bm, int x0, int y0, int x1, int y1) {  // inclusive box, black
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      if (bm.bits == 1) bm.setWhite(x, y, false);
      else bm.setGrey(x, y, 0);
    }
}

// Black pixels of column x from the top, as a list of rows.
std::vector<int> blackRows(const Bitmap& bm, int x) {
  std::vector<int> rows;
  for (int y = 0; y < bm.height; ++y)
    if (isBlack(bm, x, y)) rows.push_back(y);
  return rows;
}

std::vector<int> range(int a, int b) {
  std::vector<int> v;
  while (a <= b) v.push_back(a++);
  return v;
}


PixelRect whole(const Bitmap& bm) { return PixelRect{0, 0, bm.width - 1, bm.height - 1}; }

DenseThinOptions dense(int w, bool plus, bool h = true, bool v = true) { return {w, plus, h, v}; }

// Lines of thickness 1..5 in both directions, blobs and single dots, on a white page.
Bitmap randomDrawing(int w, int h, std::mt19937& rng) {
  Bitmap bm = Bitmap::create(w, h, 1);
  std::uniform_int_distribution<int> px(0, w - 1), py(0, h - 1), thick(1, 5), len(1, 60), kind(0, 3);
  for (int i = 0; i < w * h / 150; ++i) {
    const int x = px(rng), y = py(rng), t = thick(rng), l = len(rng);
    switch (kind(rng)) {
      case 0: paint(bm, x, y, std::min(w - 1, x + l), std::min(h - 1, y + t - 1)); break;
      case 1: paint(bm, x, y, std::min(w - 1, x + t - 1), std::min(h - 1, y + l)); break;
      case 2: paint(bm, x, y, std::min(w - 1, x + t + 3), std::min(h - 1, y + t + 3)); break;
      default: paint(bm, x, y, x, y); break;
    }
  }
  return bm;
}

Bitmap toGrey(const Bitmap& bits) {
  Bitmap g = Bitmap::create(bits.width, bits.height, 8);
  for (int y = 0; y < bits.height; ++y)
    for (int x = 0; x < bits.width; ++x) g.setGrey(x, y, bits.isWhite(x, y) ? 200 : 0);
  return g;
}

TEST(DenseThinArea, KeepsMarginAndRoundsBothEnds) {
  EXPECT_EQ(denseThinAreaFor(0, 0, 100, 60, 4, 100, 60), (PixelRect{6, 6, 94, 54}));
  EXPECT_EQ(denseThinAreaFor(10.5, 20.5, 30, 10, 3, 1000, 1000), (PixelRect{10, 20, 40, 30}));  // halves to even
  EXPECT_TRUE(denseThinAreaFor(0, 0, 10, 10, 4, 10, 10).empty());
  EXPECT_EQ(denseThinLineWidth(2.5), 2);
  EXPECT_EQ(denseThinLineWidth(0), 2);
  EXPECT_EQ(denseThinLineWidth(99), 20);
}

TEST(DenseThinHorizontal, GreyIsNotBlackInEightBitPictures) {
  Bitmap bm = Bitmap::create(100, 40, 8);
  for (int x = 10; x < 90; ++x) {
    bm.setGrey(x, 10, 1);
    bm.setGrey(x, 11, 1);
  }
  ASSERT_TRUE(denseThin(bm, whole(bm), dense(4, false)));
  EXPECT_EQ(bm.grey(50, 12), 255);
  EXPECT_EQ(bm.grey(50, 10), 1);
}

// The rules read literally, pixel by pixel: columns scanned left to right and each from top
// to bottom, lines traced to the right (the vertical pass swaps the roles of x and y).
class ReferenceDenseThin {
public:
  ReferenceDenseThin(const Bitmap& bm, int w, bool plus)
      : width_(bm.width), height_(bm.height), w_(w), plus_(plus),
        black_(static_cast<std::size_t>(bm.width) * bm.height),
        added_(black_.size()), handled_(black_.size()) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) black_[index(x, y)] = isBlack(bm, x, y);
  }

  void run(const PixelRect& a, bool horizontal, bool vertical) {
    if (horizontal) pass(a, false);
    if (vertical) pass(a, true);
  }
  bool black(int x, int y) const { return black_[index(x, y)]; }

private:
  std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  // m along the line, n across it.
  std::size_t at(bool v, int m, int n) const { return v ? index(n, m) : index(m, n); }
  bool raw(bool v, int m, int n) const { return black_[at(v, m, n)]; }
  bool px(bool v, int m, int n) const { return raw(v, m, n) && !(plus_ && added_[at(v, m, n)]); }

  void pass(const PixelRect& a, bool v) {
    std::fill(handled_.begin(), handled_.end(), false);
    const int mLo = v ? a.top : a.left, mHi = v ? a.bottom : a.right;
    const int nLo = v ? a.left : a.top, nHi = v ? a.right : a.bottom;
    for (int m = mLo; m <= mHi; ++m)
      for (int n = nLo; n <= nHi; ++n)
        if (px(v, m, n) && !px(v, m, n - 1) && !handled_[at(v, m, n)]) trace(v, m, n, mHi, nLo, nHi);
  }

  void trace(bool v, int m0, int n0, int mHi, int nLo, int nHi) {
    std::vector<std::pair<int, int>> runs;  // upper, lower
    int from = n0, to = n0;
    for (int m = m0; m <= mHi; ++m) {
      int top = -1, lower = -1;
      for (int n = from; n <= to && top < 0; ++n)
        if (px(v, m, n)) top = n;
      if (top < 0 || top > nHi) break;
      for (int n = top + 1; n < top + w_ && lower < 0; ++n)
        if (!px(v, m, n)) lower = n;
      if (lower < 0) break;
      runs.emplace_back(top - 1, lower);
      handled_[at(v, m, top)] = true;
      from = top;
      to = lower;
    }
    const int len = static_cast<int>(runs.size());
    if (len == 0) return;
    if (plus_) {
      for (int i = 0; i < len; ++i) {
        const int n = runs[static_cast<std::size_t>(i)].second;
        if (n >= nLo && n <= nHi) black_[at(v, m0 + i, n)] = added_[at(v, m0 + i, n)] = true;
      }
      return;
    }
    if (len <= w_ - 2) return;
    const int mEnd = m0 + len - 1;
    const int up = raw(v, m0 - 1, runs.front().first) + raw(v, mEnd + 1, runs.back().first);
    const int low = raw(v, m0 - 1, runs.front().second) + raw(v, mEnd + 1, runs.back().second);
    for (int i = 0; i < len; ++i) {
      const auto [upper, lower] = runs[static_cast<std::size_t>(i)];
      const int a = std::max(up > low ? lower - w_ : upper + 1, nLo);
      const int b = std::min(up > low ? lower - 1 : upper + w_, nHi);
      for (int n = a; n <= b; ++n) black_[at(v, m0 + i, n)] = true;
      if (up > low && a <= b) handled_[at(v, m0 + i, a)] = true;
    }
  }

  int width_, height_, w_;
  bool plus_;
  std::vector<bool> black_, added_, handled_;
};

TEST(DenseThinRandom, MatchesPixelReferenceAtBothDepths) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 60; ++round) {
    std::uniform_int_distribution<int> size(30, 260);
    const int w = size(rng), h = size(rng);
    Bitmap bits = randomDrawing(w, h, rng);
    Bitmap grey = toGrey(bits);
    Bitmap before = bits.clone();
    std::uniform_int_distribution<int> cx(-10, w + 10), cy(-10, h + 10), lw(2, 9);
    PixelRect area{cx(rng), cy(rng), cx(rng), cy(rng)};
    if (round % 4 == 0) area = whole(bits);
    const DenseThinOptions o = dense(lw(rng), round % 2 == 1, round % 3 != 1, round % 3 != 2);
    ASSERT_TRUE(denseThin(bits, area, o));
    ASSERT_TRUE(denseThin(grey, area, o));

    const int margin = o.lineWidth + 2;
    const PixelRect clipped{std::max(area.left, margin), std::max(area.top, margin),
                            std::min(area.right, w - margin), std::min(area.bottom, h - margin)};
    ReferenceDenseThin ref(before, o.lineWidth, o.plus);
    if (!clipped.empty()) ref.run(clipped, o.horizontal, o.vertical);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(isBlack(bits, x, y), ref.black(x, y)) << "round " << round << " at " << x << "," << y;
        ASSERT_EQ(grey.grey(x, y), ref.black(x, y) ? 0 : 200) << "round " << round << " at " << x << "," << y;
      }
    // Row padding of the 1-bit picture is left as it was.
    for (int y = 0; y < h; ++y)
      for (int b = bits.rowBytes; b < bits.stride; ++b) ASSERT_EQ(bits.row(y)[b], before.row(y)[b]);
  }
}

TEST(DenseThinBadInput, ColourEmptyAndDegenerateAreas) {
  Bitmap rgb = Bitmap::create(100, 100, 24);
  rgb.fill(0);
  EXPECT_FALSE(denseThin(rgb, whole(rgb), dense(4, false)));
  EXPECT_EQ(rgb.data()[0], 0);
  Bitmap empty;
  EXPECT_FALSE(denseThin(empty, PixelRect{0, 0, 10, 10}, dense(4, false)));

  Bitmap bm = Bitmap::create(30, 30, 1);
  paint(bm, 0, 14, 29, 15);
  Bitmap before = bm.clone();
  EXPECT_TRUE(denseThin(bm, PixelRect{0, 0, 29, 29}, dense(100, false)));  // margin 22
  EXPECT_TRUE(denseThin(bm, PixelRect{25, 25, 3, 3}, dense(4, false)));
  EXPECT_TRUE(denseThin(bm, PixelRect{-1000000, -1000000, 1000000, 1000000}, dense(4, false, false, false)));
  EXPECT_EQ(std::memcmp(bm.data(), before.data(), bm.byteCount()), 0);
  EXPECT_TRUE(denseThin(bm, PixelRect{-1000000, -1000000, 1000000, 1000000}, dense(-5, false)));
  EXPECT_EQ(blackRows(bm, 15), range(14, 15));  // W = 2: already as thick
}

LineWidthOptions lw(bool grow, bool alt, bool h, bool v, bool corners) { return {grow, alt, h, v, corners}; }

// A plain per-pixel version of the rule, every pixel decided from the picture as it was.
void referenceLineWidth(Bitmap& bm, const PixelRect& r, const LineWidthOptions& o) {
  Bitmap old = bm.clone();
  const int dy = o.grow ? -1 : 1;
  const int dx = (o.grow != o.alternate) ? -1 : 1;
  auto other = [&](int x, int y, bool white) {
    return old.contains(x, y) && old.isWhite(x, y) != white;
  };
  for (int y = std::max(r.top, 0); y <= std::min(r.bottom, bm.height - 1); ++y)
    for (int x = std::max(r.left, 0); x <= std::min(r.right, bm.width - 1); ++x) {
      const bool white = old.isWhite(x, y);
      if (white != o.grow) continue;  // grow changes white pixels, shrink black ones
      bool flip = (o.vertical && other(x + dx, y, white)) || (o.horizontal && other(x, y + dy, white));
      if (o.corners && o.vertical && o.horizontal && other(x + dx, y + dy, white)) flip = true;
      if (flip) bm.setWhite(x, y, !white);
    }
}

// Rows long enough for whole 64-byte steps in both directions, at every vector level.
TEST(LineWidthRandom, EveryLevelMatchesPixelRule) {
  LevelGuard guard;
  std::mt19937 rng(777);
  std::uniform_int_distribution<int> size(1, 2100), byte(0, 255), coin(0, 1);
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int round = 0; round < 160; ++round) {
      const int w = size(rng), h = size(rng) % 6 + 1;
      Bitmap bm = Bitmap::create(w, h, 1);
      const bool sparse = coin(rng);
      for (std::size_t i = 0; i < bm.byteCount(); ++i)
        bm.data()[i] = static_cast<std::uint8_t>(sparse ? (byte(rng) | byte(rng)) : byte(rng));
      std::uniform_int_distribution<int> cx(-5, w + 5), cy(-2, h + 2);
      const PixelRect area = round % 3 ? PixelRect{cx(rng) / 8, cy(rng), w - cx(rng) / 8, cy(rng)}
                                       : PixelRect{0, 0, w - 1, h - 1};
      const LineWidthOptions o = lw(coin(rng), coin(rng), coin(rng), coin(rng), coin(rng));
      Bitmap ref = bm.clone();
      ASSERT_TRUE(changeLineWidth(bm, area, o));
      referenceLineWidth(ref, area, o);
      ASSERT_EQ(std::memcmp(bm.data(), ref.data(), bm.byteCount()), 0)
          << levelName(level) << " round " << round << " " << w << "x" << h;
    }
  }
}

TEST(LineWidthEdges, AreaAndBadInput) {
  PixelRect a = lineWidthAreaFor(0, -3, 50, 20.4, 40, 10);
  EXPECT_EQ(a, (PixelRect{1, 1, 39, 9})) << "left and top at least 1";
  EXPECT_EQ(lineWidthAreaFor(5.5, 2, 10, 3, 100, 100).right, 14);  // 14.5 -> 14
  Bitmap grey = Bitmap::create(20, 20, 8);
  grey.fill(0);
  EXPECT_FALSE(changeLineWidth(grey, whole(grey), lw(true, false, true, true, true)));
  EXPECT_EQ(grey.data()[0], 0);
  Bitmap empty;
  EXPECT_FALSE(changeLineWidth(empty, PixelRect{0, 0, 5, 5}, lw(true, false, true, true, true)));
}

}  // namespace
}  // namespace quillaro
