#include "kernels/mask.h"
#include "support/adjust_test_util.h"
#include "support/picture_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "base/numeric.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

using testing::sameBytes;

// Pixel by pixel, straight from the rules: a whitened cell of the picture-anchored pattern
// turns the pixel white; with a background the pixel ends white only where it is white.
void referenceMask1(Bitmap& bm, double x, double y, double w, double h, MaskPattern p,
                    const Bitmap* bg) {
  const long long x0 = std::max<long long>(0, nearest(x));
  const long long x1 = nearest(x + w - 1);
  const long long y0 = nearest(y);
  const long long rows = nearest(h - 1) + 1;
  for (long long r = y0; r < y0 + rows; ++r) {
    if (r < 0 || r >= bm.height) continue;
    for (long long c = x0; c <= x1 && c < bm.width; ++c) {
      const int ri = static_cast<int>(r), ci = static_cast<int>(c);
      bool white = bm.isWhite(ci, ri) || p.cell(ri % 4, ci % 4);
      if (bg) white = white && bg->isWhite(ci, ri);
      bm.setWhite(ci, ri, white);
    }
  }
}

TEST(MaskPatternText, FiveFFiveFWhitensColumnsOneAndThreeAndFullRows) {
  const auto p = MaskPattern::fromText("5F5F");
  ASSERT_TRUE(p);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(p->cell(2, c), c == 1 || c == 3) << c;
    EXPECT_TRUE(p->cell(3, c));
  }
  EXPECT_EQ(p->rowByte(0), 0x55);
  EXPECT_EQ(p->rowByte(1), 0xFF);
  EXPECT_TRUE(MaskPattern::fromText("FFFF")->whitensAll());
}

TEST(MaskPatternText, EveryValueRoundTrips) {
  for (unsigned v = 0; v <= 0xFFFF; ++v) {
    const MaskPattern p(static_cast<std::uint16_t>(v));
    const auto back = MaskPattern::fromText(p.text());
    ASSERT_TRUE(back) << v;
    ASSERT_EQ(back->cells(), v);
    int cells = 0;
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) cells += p.cell(r, c);
    ASSERT_EQ(p.count(), cells);
  }
}

TEST(MaskPatternText, WrongLengthOrDigitsLeavePatternUnchanged) {
  MaskPattern p(0x5A5A);
  for (const char* bad : {"", "5F5", "5F5F0", "5G5F", " 5F5", "5F5\n", "ＦＦ"}) {
    EXPECT_FALSE(MaskPattern::fromText(bad)) << bad;
    EXPECT_FALSE(p.assign(bad)) << bad;
    EXPECT_EQ(p.text(), "5A5A");
  }
  EXPECT_TRUE(p.assign("0a0a"));
  EXPECT_EQ(p.caption(), "0A0A 4/16");
}

TEST(MaskLevels, LevelHasExactlyThatManyCellsAndGrowsByOne) {
  for (int n = 0; n < 16; ++n) {
    const MaskPattern p = MaskPattern::level(n);
    EXPECT_EQ(p.count(), n) << n;
    if (n > 0) {
      const MaskPattern prev = MaskPattern::level(n - 1);
      EXPECT_EQ(prev.cells() & ~p.cells(), 0) << "level " << n << " drops a cell";
    }
  }
  EXPECT_EQ(MaskPattern::level(8).text(), "5A5A");
  EXPECT_EQ(MaskPattern::level(1000).count(), 15);
}

TEST(MaskEditorPaint, LeftDownTogglesAndDragPaintsTheSameState) {
  MaskPattern p;
  MaskEditor e;
  EXPECT_TRUE(e.leftDown(p, 1, 1));  // cell (0, 0) becomes whitened
  EXPECT_FALSE(e.leftDrag(p, 5, 6));  // same cell: nothing
  EXPECT_TRUE(e.leftDrag(p, 12, 1));  // (0, 1)
  EXPECT_TRUE(e.leftDrag(p, 12, 12));  // (1, 1)
  EXPECT_FALSE(e.leftDrag(p, 40, 12));  // outside the area
  EXPECT_EQ(p.text(), "C400");
  e.leftUp();
  EXPECT_FALSE(e.leftDrag(p, 20, 20));  // no button held

  // Starting on a whitened cell paints "kept".
  EXPECT_TRUE(e.leftDown(p, 12, 12));
  EXPECT_TRUE(e.leftDrag(p, 1, 1));
  EXPECT_FALSE(e.leftDrag(p, 20, 20));  // (2, 2) is kept already
  EXPECT_EQ(p.text(), "4000");
}

TEST(MaskEditorLevel, RightDragChangesLevelBySteps) {
  MaskPattern p = MaskPattern::level(5);
  MaskEditor e;
  EXPECT_EQ(e.rightDrag(p, 0, 0), -1);  // no right press yet
  e.rightDown(p, 10, 10);
  EXPECT_EQ(e.rightDrag(p, 26, 10), 7);  // 16 units right
  EXPECT_EQ(p, MaskPattern::level(7));
  EXPECT_EQ(e.rightDrag(p, 25, 10), 6);  // 15 / 8 truncates to 1
  EXPECT_EQ(e.rightDrag(p, 3, 10), 5);   // -7 / 8 truncates to 0
  EXPECT_EQ(e.rightDrag(p, -500, 10), 0);
  EXPECT_EQ(e.rightDrag(p, 900, -900), 15);  // never 16
  EXPECT_EQ(p.text(), "7FFF");
  e.rightUp();
  EXPECT_EQ(e.rightDrag(p, 10, 10), -1);
}

TEST(MaskQuickButtons, ClickActions) {
  EXPECT_EQ(quickMaskClick(2, true, false).action, QuickMaskAction::ApplyOnce);
  const auto step = quickMaskClick(3, false, true);
  EXPECT_EQ(step.action, QuickMaskAction::SetCurrent);
  EXPECT_EQ(step.pattern.text(), "0A0A");
  EXPECT_EQ(quickMaskClick(5, false, true).action, QuickMaskAction::RedrawCopy);
  EXPECT_EQ(quickMaskClick(5, false, false).action, QuickMaskAction::None);
  EXPECT_EQ(quickMaskClick(4, true, true).action, QuickMaskAction::MaskWithCurrent);
  EXPECT_EQ(quickMaskClick(-1, true, true).action, QuickMaskAction::None);
}

TEST(MaskAreaNormalisation, RoundsRaisesAndCuts) {
  MaskArea a = maskAreaFor(2.5, 3.5, 10, 4, 100, 100);
  EXPECT_EQ(a.left, 2);       // 2.5 -> 2 (ties to even)
  EXPECT_EQ(a.right, 12);     // 11.5 -> 12
  EXPECT_EQ(a.top, 4);        // 3.5 -> 4
  EXPECT_EQ(a.bottom, 7);     // 4 + nearest(3) rows after the first
  a = maskAreaFor(-5, -3, 20, 10, 12, 5);
  EXPECT_EQ(a.left, 0);
  EXPECT_EQ(a.right, 11);  // cut at the width
  EXPECT_EQ(a.top, 0);
  EXPECT_EQ(a.anchorTop, -3);
  EXPECT_TRUE(maskAreaFor(5, 5, 0, 10, 100, 100).empty());
  EXPECT_TRUE(maskAreaFor(200, 5, 10, 10, 100, 100).empty());
  EXPECT_TRUE(maskAreaFor(std::nan(""), 1e300, -1e300, 5, 100, 100).empty());
}

TEST(MaskOneBit, MatchesPixelReferenceOnRandomRectanglesWithAndWithoutBackground) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> size(1, 90);
  std::uniform_real_distribution<double> pos(-40, 130), len(-3, 140);
  std::uniform_int_distribution<int> cells(0, 0xFFFF);
  for (int round = 0; round < 800; ++round) {
    const int w = size(rng), h = size(rng) % 20 + 1;
    Bitmap bm = randomPicture(w, h, 1, rng());
    const Bitmap bg = randomPicture(w, h, 1, rng());
    Bitmap ref = bm.clone();
    double x = std::round(pos(rng) * 2) / 2, y = std::round(pos(rng) / 4);
    double rw = std::round(len(rng) * 2) / 2, rh = std::round(len(rng) / 5);
    if (round % 5 == 0) {  // inside one byte
      x = 8 * (round % 7) + round % 3;
      rw = 1 + round % 4;
    }
    const MaskPattern p = round % 7 == 0 ? kErasePattern : MaskPattern(static_cast<std::uint16_t>(cells(rng)));
    MaskOptions o;
    if (round % 3 == 0) o.background = &bg;
    ASSERT_TRUE(maskRectangle(bm, maskAreaFor(x, y, rw, rh, w, h), p, o));
    referenceMask1(ref, x, y, rw, rh, p, o.background);
    ASSERT_TRUE(sameBytes(bm, ref)) << "round " << round << " " << w << "x" << h << " rect " << x
                                    << "," << y << "," << rw << "," << rh << " " << p.text();
  }
}

TEST(MaskEightBit, RowsFromTheRectangleTopColumnsFromThePicture) {
  Bitmap grey = Bitmap::create(9, 8, 8);
  grey.fill(0);
  ASSERT_TRUE(maskRectangle(grey, maskAreaFor(1, 1, 8, 7, 9, 8), MaskPattern(0x8000)));  // cell (0, 0)
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(grey.grey(x, y) == 255, y >= 1 && x % 4 == 0 && x > 0 && (y - 1) % 4 == 0) << x << "," << y;
  ASSERT_TRUE(maskRectangle(grey, maskAreaFor(2, 1, 5, 3, 9, 8), kErasePattern));
  EXPECT_EQ(grey.grey(6, 3), 255);
  EXPECT_EQ(grey.grey(7, 3), 0);
}

TEST(MaskEightBit, GreyPixelsNeedMasksOnGrey) {
  Bitmap grey = Bitmap::create(4, 4, 8);
  grey.fill(100);
  grey.setGrey(1, 0, 0);
  const MaskArea all = maskAreaFor(0, 0, 4, 4, 4, 4);
  ASSERT_TRUE(maskRectangle(grey, all, MaskPattern(0x6000)));
  EXPECT_EQ(grey.grey(1, 0), 255);
  EXPECT_EQ(grey.grey(2, 0), 100);
  MaskOptions o;
  o.onGrey = true;
  ASSERT_TRUE(maskRectangle(grey, all, MaskPattern(0x6000), o));
  EXPECT_EQ(grey.grey(2, 0), 255);
  EXPECT_EQ(grey.grey(3, 0), 100);  // kept cell
}

TEST(MaskColour, OnlyEraseActs) {
  std::mt19937 rng(5);
  Bitmap rgb = randomPicture(7, 5, 24, rng());
  const Bitmap before = rgb.clone();
  ASSERT_TRUE(maskRectangle(rgb, maskAreaFor(0, 0, 7, 5, 7, 5), MaskPattern(0x5A5A)));
  EXPECT_TRUE(sameBytes(rgb, before));
  ASSERT_TRUE(maskRectangle(rgb, maskAreaFor(1, 1, 3, 2, 7, 5), kErasePattern));
  EXPECT_EQ(rgb.rgb(3, 2), (Rgb{255, 255, 255}));
  EXPECT_EQ(rgb.rgb(4, 2), before.rgb(4, 2));
  EXPECT_EQ(rgb.rgb(3, 3), before.rgb(3, 3));
}

TEST(MaskBadInput, RefusedPicturesAndAreasOutsideChangeNothing) {
  Bitmap empty;
  EXPECT_FALSE(maskRectangle(empty, maskAreaFor(0, 0, 5, 5, 5, 5), kErasePattern));
  Bitmap odd = Bitmap::create(8, 2, 1);
  odd.bits = 4;
  odd.fill(0);
  EXPECT_FALSE(maskRectangle(odd, maskAreaFor(0, 0, 8, 2, 8, 2), kErasePattern));
  EXPECT_EQ(odd.data()[0], 0);
  Bitmap grey = Bitmap::create(8, 2, 8);
  EXPECT_FALSE(applyUnevenMask(grey, maskAreaFor(0, 0, 8, 2, 8, 2), buildUnevenMaskTable(0, 15, 1, 16, false)));
  std::mt19937 rng(9);
  Bitmap bm = randomPicture(20, 6, 1, rng());
  const Bitmap before = bm.clone();
  EXPECT_TRUE(maskRectangle(bm, MaskArea{-100, 0, -1, 5}, kErasePattern));
  EXPECT_TRUE(maskRectangle(bm, MaskArea{INT_MIN, 6, INT_MAX, INT_MAX}, kErasePattern));
  EXPECT_TRUE(sameBytes(bm, before));
  Bitmap small = Bitmap::create(8, 6, 1);  // a background that does not fit is not used
  MaskOptions o;
  o.background = &small;
  small.fill(0);
  ASSERT_TRUE(maskRectangle(bm, maskAreaFor(0, 0, 16, 6, 20, 6), kErasePattern, o));
  EXPECT_EQ(bm.row(0)[1], 0xFF);
  const Bitmap fits = Bitmap::create(8, 6, 1);
  RestoreBackground state;
  state.copy = &small;
  EXPECT_EQ(state.usableFor(fits), nullptr);  // off
  state.on = true;
  EXPECT_EQ(state.usableFor(fits), &small);
  EXPECT_EQ(state.usableFor(bm), nullptr);
  EXPECT_EQ(state.usableFor(grey), nullptr);
}

TEST(UnevenMaskTable, BandsRoundToEvenAndClamp) {
  auto t = buildUnevenMaskTable(3, 0, 10, 8, false);  // 4 bands of 2.5 bytes
  ASSERT_EQ(t.bands.size(), 4u);
  EXPECT_EQ(t.bands[1].startByte, 2);
  EXPECT_EQ(t.bands[2].startByte, 5);
  EXPECT_EQ(t.bands[1].level, 2);
  t = buildUnevenMaskTable(12, 14, 100, 8, true);  // both above the count 8: both 8
  ASSERT_EQ(t.bands.size(), 1u);
  EXPECT_EQ(t.bands[0].level, 8);
  t = buildUnevenMaskTable(0, 15, 160, 8, true);  // levels 9..15 take no pattern
  ASSERT_EQ(t.bands.size(), 10u);
  EXPECT_FALSE(t.bands.back().hasPattern);
  EXPECT_EQ(t.bands.back().startByte, 90);
  t = buildUnevenMaskTable(-1000, 1000, 600, 16, false);  // brought into -32..50
  EXPECT_LE(t.bands.size(), static_cast<std::size_t>(kMaxUnevenBands));
  EXPECT_EQ(t.bands.back().endByte, 600);
  EXPECT_TRUE(buildUnevenMaskTable(0, 15, 0, 8, false).bands.empty());
  int covered = 0;
  for (const auto& b : buildUnevenMaskTable(0, 15, 4, 8, false).bands) {
    EXPECT_LT(b.startByte, b.endByte) << "narrow rows drop empty bands";
    covered += b.endByte - b.startByte;
  }
  EXPECT_EQ(covered, 4);
  EXPECT_FALSE(buildUnevenMaskTable(std::nan(""), 3, 8, 8, false).bands.empty());
}

TEST(UnevenMaskApply, MatchesPixelRuleOnRandomAreas) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> size(1, 900), lvl(-40, 60), coin(0, 1);
  for (int round = 0; round < 200; ++round) {
    const int w = size(rng), h = size(rng) % 9 + 1;
    Bitmap bm = randomPicture(w, h, 1, rng());
    Bitmap ref = bm.clone();
    const auto table = buildUnevenMaskTable(lvl(rng), lvl(rng), bm.rowBytes, lvl(rng) & 15, coin(rng));
    std::uniform_int_distribution<int> cx(-20, w + 20), cy(-3, h + 3);
    MaskArea area;
    area.left = cx(rng);
    area.right = cx(rng);
    area.top = cy(rng);
    area.bottom = cy(rng);
    ASSERT_TRUE(applyUnevenMask(bm, area, table));
    for (const auto& band : table.bands) {
      if (!band.hasPattern) continue;
      const MaskPattern p = MaskPattern::level(band.level);
      for (int y = std::max(area.top, 0); y <= std::min(area.bottom, h - 1); ++y)
        for (int x = std::max({area.left, 0, 8 * band.startByte});
             x <= std::min({area.right, w - 1, 8 * band.endByte - 1}); ++x)
          if (p.cell(y % 4, x % 4)) ref.setWhite(x, y, true);
    }
    ASSERT_TRUE(sameBytes(bm, ref)) << "round " << round;
  }
}

}  // namespace
}  // namespace quillaro
