#include "adjust/mask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "app/numeric.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

// Random 1-bit picture; the row padding is filled too, so that writes into it show.
Bitmap randomBitmap(int width, int height, int bits, std::mt19937& rng) {
  Bitmap bm = Bitmap::create(width, height, bits);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t i = 0; i < bm.byteCount(); ++i) bm.data()[i] = static_cast<std::uint8_t>(byte(rng));
  return bm;
}

bool sameBytes(const Bitmap& a, const Bitmap& b) {
  return a.byteCount() == b.byteCount() && std::memcmp(a.data(), b.data(), a.byteCount()) == 0;
}

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

// ---------------------------------------------------------------------------------------

TEST(MaskPatternText, FiveFFiveFWhitensColumnsOneAndThreeAndFullRows) {
  const auto p = MaskPattern::fromText("5F5F");
  ASSERT_TRUE(p);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(p->cell(0, c), c == 1 || c == 3) << c;
    EXPECT_TRUE(p->cell(1, c));
    EXPECT_EQ(p->cell(2, c), c == 1 || c == 3);
    EXPECT_TRUE(p->cell(3, c));
  }
  EXPECT_EQ(p->count(), 12);
  EXPECT_EQ(p->rowByte(0), 0x55);
  EXPECT_EQ(p->rowByte(1), 0xFF);
  EXPECT_EQ(MaskPattern::fromText("FFFF")->count(), 16);
  EXPECT_TRUE(MaskPattern::fromText("FFFF")->whitensAll());
  EXPECT_EQ(MaskPattern::fromText("0000")->count(), 0);
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

TEST(MaskPatternText, LowerCaseIsReadAndWrittenUpper) {
  const auto p = MaskPattern::fromText("5a5e");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->text(), "5A5E");
}

TEST(MaskPatternText, WrongLengthOrDigitsLeavePatternUnchanged) {
  MaskPattern p(0x5A5A);
  for (const char* bad : {"", "5F5", "5F5F0", "5G5F", " 5F5", "5F5\n", "ＦＦ"}) {
    EXPECT_FALSE(MaskPattern::fromText(bad)) << bad;
    EXPECT_FALSE(p.assign(bad)) << bad;
    EXPECT_EQ(p.text(), "5A5A");
  }
  EXPECT_TRUE(p.assign("0a0a"));
  EXPECT_EQ(p.text(), "0A0A");
}

TEST(MaskPatternText, CaptionShowsCountOverSixteen) {
  EXPECT_EQ(MaskPattern(0x5A5A).caption(), "5A5A 8/16");
  EXPECT_EQ(MaskPattern(0x0A0A).caption(), "0A0A 4/16");
  EXPECT_EQ(MaskPattern(0xFFFF).caption(), "FFFF 16/16");
}

// ---------------------------------------------------------------------------------------

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
  EXPECT_EQ(MaskPattern::level(15).text(), "7FFF");
}

TEST(MaskLevels, OutOfRangeLevelsAreClamped) {
  EXPECT_EQ(MaskPattern::level(-4).count(), 0);
  EXPECT_EQ(MaskPattern::level(16).count(), 15);
  EXPECT_EQ(MaskPattern::level(1000).count(), 15);
}

// ---------------------------------------------------------------------------------------

TEST(MaskEditorCells, PointerPositionsMapToCells) {
  int r = -1, c = -1;
  ASSERT_TRUE(MaskEditor::cellAt(9, 1, r, c));
  EXPECT_EQ(r, 0);
  EXPECT_EQ(c, 1);
  ASSERT_TRUE(MaskEditor::cellAt(7.6, 31.4, r, c));  // 7.6 rounds to 8: column 1
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 3);
  EXPECT_FALSE(MaskEditor::cellAt(32, 0, r, c));
  EXPECT_FALSE(MaskEditor::cellAt(-1, 0, r, c));
}

TEST(MaskEditorPaint, LeftDownTogglesAndDragPaintsTheSameState) {
  MaskPattern p;
  MaskEditor e;
  EXPECT_TRUE(e.leftDown(p, 1, 1));  // cell (0, 0) becomes whitened
  EXPECT_TRUE(p.cell(0, 0));
  EXPECT_FALSE(e.leftDrag(p, 5, 6));  // same cell: nothing
  EXPECT_TRUE(p.cell(0, 0));
  EXPECT_TRUE(e.leftDrag(p, 12, 1));  // (0, 1)
  EXPECT_TRUE(e.leftDrag(p, 12, 12));  // (1, 1)
  EXPECT_FALSE(e.leftDrag(p, 40, 12));  // outside the area
  EXPECT_EQ(p.text(), "C400");
  e.leftUp();
  EXPECT_FALSE(e.leftDrag(p, 20, 20));  // no button held

  // Starting on a whitened cell paints "kept".
  EXPECT_TRUE(e.leftDown(p, 12, 12));
  EXPECT_FALSE(p.cell(1, 1));
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
  EXPECT_EQ(e.rightDrag(p, 10, 2), 6);   // 8 units up
  EXPECT_EQ(e.rightDrag(p, 3, 10), 5);   // -7 / 8 truncates to 0
  EXPECT_EQ(e.rightDrag(p, 2, 10), 4);   // -8 / 8
  EXPECT_EQ(e.rightDrag(p, -500, 10), 0);
  EXPECT_EQ(p.count(), 0);
  EXPECT_EQ(e.rightDrag(p, 900, -900), 15);  // never 16
  EXPECT_EQ(p.text(), "7FFF");
  e.rightUp();
  EXPECT_EQ(e.rightDrag(p, 10, 10), -1);
}

// ---------------------------------------------------------------------------------------

TEST(MaskQuickButtons, PatternsAndActions) {
  EXPECT_EQ(quickMaskPattern(0)->text(), "5F5F");
  EXPECT_EQ(quickMaskPattern(1)->text(), "5B5E");
  EXPECT_EQ(quickMaskPattern(2)->text(), "5A5A");
  EXPECT_EQ(quickMaskPattern(3)->text(), "0A0A");
  EXPECT_EQ(quickMaskPattern(5)->text(), "FFFF");
  EXPECT_FALSE(quickMaskPattern(4));
  EXPECT_FALSE(quickMaskPattern(6));

  auto step = quickMaskClick(2, true, false);
  EXPECT_EQ(step.action, QuickMaskAction::ApplyOnce);
  EXPECT_EQ(step.pattern.text(), "5A5A");
  EXPECT_EQ(quickMaskClick(5, true, true).action, QuickMaskAction::ApplyOnce);
  step = quickMaskClick(3, false, true);
  EXPECT_EQ(step.action, QuickMaskAction::SetCurrent);
  EXPECT_EQ(step.pattern.text(), "0A0A");
  EXPECT_EQ(quickMaskClick(5, false, true).action, QuickMaskAction::RedrawCopy);
  EXPECT_EQ(quickMaskClick(5, false, false).action, QuickMaskAction::None);
  EXPECT_EQ(quickMaskClick(4, false, false).action, QuickMaskAction::MaskWithCurrent);
  EXPECT_EQ(quickMaskClick(4, true, true).action, QuickMaskAction::MaskWithCurrent);
  EXPECT_EQ(quickMaskClick(-1, true, true).action, QuickMaskAction::None);
}

// ---------------------------------------------------------------------------------------

TEST(MaskAreaNormalisation, RoundsRaisesAndCuts) {
  MaskArea a = maskAreaFor(2.5, 3.5, 10, 4, 100, 100);
  EXPECT_EQ(a.left, 2);       // 2.5 -> 2 (ties to even)
  EXPECT_EQ(a.right, 12);     // 11.5 -> 12
  EXPECT_EQ(a.top, 4);        // 3.5 -> 4
  EXPECT_EQ(a.bottom, 7);     // 4 + nearest(3) rows after the first
  EXPECT_EQ(a.anchorTop, 4);

  a = maskAreaFor(-5, -3, 20, 10, 12, 5);
  EXPECT_EQ(a.left, 0);
  EXPECT_EQ(a.right, 11);  // cut at the width
  EXPECT_EQ(a.top, 0);
  EXPECT_EQ(a.bottom, 4);
  EXPECT_EQ(a.anchorTop, -3);

  EXPECT_TRUE(maskAreaFor(5, 5, 0, 10, 100, 100).empty());
  EXPECT_TRUE(maskAreaFor(5, 5, 10, 0, 100, 100).empty());
  EXPECT_TRUE(maskAreaFor(200, 5, 10, 10, 100, 100).empty());
  EXPECT_TRUE(maskAreaFor(std::nan(""), 1e300, -1e300, 5, 100, 100).empty());
}

// ---------------------------------------------------------------------------------------

TEST(MaskOneBit, EraseFromColumnThreeKeepsFirstThreeBits) {
  Bitmap bm = Bitmap::create(16, 4, 1);
  bm.fill(0);
  ASSERT_TRUE(maskRectangle(bm, maskAreaFor(3, 0, 10, 4, 16, 4), kErasePattern));
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(bm.row(y)[0], 0x1F) << y;  // bits 0..2 still black
    EXPECT_EQ(bm.row(y)[1], 0xF8) << y;  // columns 8..12 white, 13..15 black
  }
}

TEST(MaskOneBit, PatternIsAnchoredToThePicture) {
  Bitmap bm = Bitmap::create(8, 8, 1);
  bm.fill(0);
  const MaskPattern p(0x8421);  // a diagonal
  ASSERT_TRUE(maskRectangle(bm, maskAreaFor(1, 1, 6, 6, 8, 8), p));
  for (int y = 1; y <= 6; ++y)
    for (int x = 1; x <= 6; ++x) EXPECT_EQ(bm.isWhite(x, y), x % 4 == y % 4) << x << "," << y;
  EXPECT_FALSE(bm.isWhite(0, 0));  // outside the rectangle
  EXPECT_FALSE(bm.isWhite(7, 7));
}

TEST(MaskOneBit, FastMaskMatchesPixelReferenceOnRandomRectangles) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> size(1, 90);
  std::uniform_real_distribution<double> pos(-40, 130), len(-3, 140);
  std::uniform_int_distribution<int> cells(0, 0xFFFF);
  for (int round = 0; round < 600; ++round) {
    const int w = size(rng), h = size(rng) % 20 + 1;
    Bitmap bm = randomBitmap(w, h, 1, rng);
    Bitmap ref = bm.clone();
    double x = std::round(pos(rng) * 2) / 2, y = std::round(pos(rng) / 4);
    double rw = std::round(len(rng) * 2) / 2, rh = std::round(len(rng) / 5);
    if (round % 5 == 0) {  // inside one byte
      x = 8 * (round % 7) + round % 3;
      rw = 1 + round % 4;
    }
    const MaskPattern p = round % 11 == 0 ? kErasePattern : MaskPattern(static_cast<std::uint16_t>(cells(rng)));
    ASSERT_TRUE(maskRectangle(bm, maskAreaFor(x, y, rw, rh, w, h), p));
    referenceMask1(ref, x, y, rw, rh, p, nullptr);
    ASSERT_TRUE(sameBytes(bm, ref)) << "round " << round << " " << w << "x" << h << " rect " << x
                                    << "," << y << "," << rw << "," << rh << " " << p.text();
  }
}

TEST(MaskOneBit, RestoredBackgroundMatchesReference) {
  std::mt19937 rng(777);
  std::uniform_int_distribution<int> size(1, 70);
  std::uniform_real_distribution<double> pos(-20, 80), len(1, 90);
  for (int round = 0; round < 300; ++round) {
    const int w = size(rng), h = size(rng) % 12 + 1;
    Bitmap bm = randomBitmap(w, h, 1, rng);
    Bitmap bg = randomBitmap(w, h, 1, rng);
    Bitmap ref = bm.clone();
    const double x = std::floor(pos(rng)), y = std::floor(pos(rng) / 6);
    const double rw = std::floor(len(rng)), rh = std::floor(len(rng) / 6);
    const MaskPattern p = round % 2 ? kErasePattern : MaskPattern(0x5A5A);
    MaskOptions o;
    o.background = &bg;
    ASSERT_TRUE(maskRectangle(bm, maskAreaFor(x, y, rw, rh, w, h), p, o));
    referenceMask1(ref, x, y, rw, rh, p, &bg);
    ASSERT_TRUE(sameBytes(bm, ref)) << round;
  }
}

TEST(MaskOneBit, MismatchedBackgroundFallsBackToWhite) {
  Bitmap bm = Bitmap::create(16, 4, 1);
  bm.fill(0);
  Bitmap small = Bitmap::create(8, 4, 1);
  small.fill(0);
  MaskOptions o;
  o.background = &small;
  ASSERT_TRUE(maskRectangle(bm, maskAreaFor(0, 0, 16, 4, 16, 4), kErasePattern, o));
  for (int y = 0; y < 4; ++y) EXPECT_EQ(bm.row(y)[0] & bm.row(y)[1], 0xFF);
}

TEST(MaskOneBit, RowPaddingIsNeverWritten) {
  Bitmap bm = Bitmap::create(13, 3, 1);  // 2 row bytes, stride 4
  bm.fill(0);
  ASSERT_TRUE(maskRectangle(bm, maskAreaFor(0, 0, 1000, 1000, 13, 3), kErasePattern));
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(bm.row(y)[0], 0xFF);
    EXPECT_EQ(bm.row(y)[1], 0xF8);  // pixels 13..15 are outside the picture
    EXPECT_EQ(bm.row(y)[2], 0);
    EXPECT_EQ(bm.row(y)[3], 0);
  }
}

// ---------------------------------------------------------------------------------------

TEST(MaskEightBit, PatternRowsCountFromTheRectangleTop) {
  const MaskPattern p(0x8000);  // only cell (0, 0)
  Bitmap grey = Bitmap::create(8, 8, 8);
  grey.fill(0);
  Bitmap bits = Bitmap::create(8, 8, 1);
  bits.fill(0);
  ASSERT_TRUE(maskRectangle(grey, maskAreaFor(0, 1, 8, 7, 8, 8), p));
  ASSERT_TRUE(maskRectangle(bits, maskAreaFor(0, 1, 8, 7, 8, 8), p));
  for (int y = 1; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(grey.grey(x, y) == 255, x % 4 == 0 && (y - 1) % 4 == 0) << x << "," << y;
      EXPECT_EQ(bits.isWhite(x, y), x % 4 == 0 && y % 4 == 0) << x << "," << y;
    }
}

TEST(MaskEightBit, ColumnsStayAnchoredToThePicture) {
  Bitmap grey = Bitmap::create(9, 1, 8);
  grey.fill(0);
  ASSERT_TRUE(maskRectangle(grey, maskAreaFor(1, 0, 8, 1, 9, 1), MaskPattern(0x8000)));
  for (int x = 0; x < 9; ++x) EXPECT_EQ(grey.grey(x, 0), (x == 4 || x == 8) ? 255 : 0) << x;
}

TEST(MaskEightBit, GreyPixelsNeedMasksOnGrey) {
  Bitmap grey = Bitmap::create(4, 4, 8);
  grey.fill(100);
  grey.setGrey(1, 0, 0);
  grey.setGrey(2, 0, 0);
  const MaskArea all = maskAreaFor(0, 0, 4, 4, 4, 4);
  ASSERT_TRUE(maskRectangle(grey, all, MaskPattern(0x6000)));
  EXPECT_EQ(grey.grey(0, 0), 100);
  EXPECT_EQ(grey.grey(1, 0), 255);
  EXPECT_EQ(grey.grey(2, 0), 255);
  EXPECT_EQ(grey.grey(3, 0), 100);

  MaskOptions o;
  o.onGrey = true;
  ASSERT_TRUE(maskRectangle(grey, all, MaskPattern(0xC000), o));
  EXPECT_EQ(grey.grey(0, 0), 255);
  EXPECT_EQ(grey.grey(1, 0), 255);
  EXPECT_EQ(grey.grey(3, 0), 100);  // kept cell
  EXPECT_EQ(grey.grey(0, 1), 100);
}

TEST(MaskEightBit, EraseWhitensEveryPixelOfTheRectangle) {
  Bitmap grey = Bitmap::create(10, 5, 8);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) grey.setGrey(x, y, static_cast<std::uint8_t>(25 * x));
  ASSERT_TRUE(maskRectangle(grey, maskAreaFor(2, 1, 5, 3, 10, 5), kErasePattern));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x <= 6 && y >= 1 && y <= 3;
      EXPECT_EQ(grey.grey(x, y), inside ? 255 : 25 * x) << x << "," << y;
    }
}

// ---------------------------------------------------------------------------------------

TEST(MaskColour, OnlyEraseActs) {
  std::mt19937 rng(5);
  Bitmap rgb = randomBitmap(7, 5, 24, rng);
  Bitmap before = rgb.clone();
  const MaskArea all = maskAreaFor(0, 0, 7, 5, 7, 5);
  ASSERT_TRUE(maskRectangle(rgb, all, MaskPattern(0x5A5A)));
  EXPECT_TRUE(sameBytes(rgb, before));
  ASSERT_TRUE(maskRectangle(rgb, maskAreaFor(1, 1, 3, 2, 7, 5), kErasePattern));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 2;
      const Rgb c = rgb.rgb(x, y);
      if (inside) EXPECT_EQ(c, (Rgb{255, 255, 255}));
      else EXPECT_EQ(c, before.rgb(x, y));
    }
}

// ---------------------------------------------------------------------------------------

TEST(MaskBadInput, EmptyOrForeignPicturesAreRefused) {
  Bitmap empty;
  EXPECT_FALSE(maskRectangle(empty, maskAreaFor(0, 0, 5, 5, 5, 5), kErasePattern));
  Bitmap odd = Bitmap::create(8, 2, 1);
  odd.bits = 4;
  odd.fill(0);
  EXPECT_FALSE(maskRectangle(odd, maskAreaFor(0, 0, 8, 2, 8, 2), kErasePattern));
  EXPECT_EQ(odd.data()[0], 0);
  Bitmap grey = Bitmap::create(8, 2, 8);
  EXPECT_FALSE(applyUnevenMask(grey, maskAreaFor(0, 0, 8, 2, 8, 2), buildUnevenMaskTable(0, 15, 1, 16, false)));
}

TEST(MaskBadInput, AreasOutsideThePictureChangeNothing) {
  std::mt19937 rng(9);
  Bitmap bm = randomBitmap(20, 6, 1, rng);
  Bitmap before = bm.clone();
  MaskArea far;
  far.left = -100;
  far.right = -1;
  far.top = 0;
  far.bottom = 5;
  EXPECT_TRUE(maskRectangle(bm, far, kErasePattern));
  MaskArea huge;
  huge.left = std::numeric_limits<int>::min();
  huge.right = std::numeric_limits<int>::max();
  huge.top = 6;
  huge.bottom = std::numeric_limits<int>::max();
  EXPECT_TRUE(maskRectangle(bm, huge, kErasePattern));
  EXPECT_TRUE(sameBytes(bm, before));
}

TEST(MaskBadInput, BackgroundStateIsUsedOnlyWhenItFits) {
  Bitmap pic = Bitmap::create(30, 10, 1);
  Bitmap copy = Bitmap::create(30, 10, 1);
  Bitmap other = Bitmap::create(31, 10, 1);
  Bitmap grey = Bitmap::create(30, 10, 8);
  RestoreBackground state;
  state.copy = &copy;
  EXPECT_EQ(state.usableFor(pic), nullptr);  // off
  state.on = true;
  EXPECT_EQ(state.usableFor(pic), &copy);
  EXPECT_EQ(state.usableFor(grey), nullptr);
  state.copy = &other;
  EXPECT_EQ(state.usableFor(pic), nullptr);
  state.copy = nullptr;
  EXPECT_EQ(state.usableFor(pic), nullptr);
}

// ---------------------------------------------------------------------------------------

TEST(MaskCommandLine, MaskAndEraseLines) {
  EXPECT_EQ(maskCommandLine(", 10, 20, 100, 50", MaskPattern(0x5A5A), 1, false),
            "Mask, 10, 20, 100, 50, 5A5A");
  EXPECT_EQ(maskCommandLine(", 10, 20, 100, 50", kErasePattern, 8, true),
            "Erase, 10, 20, 100, 50, OnGray=1");
  EXPECT_EQ(maskCommandLine(", 1, 2, 3, 4", kErasePattern, 1, true), "Erase, 1, 2, 3, 4");
  EXPECT_EQ(maskCommandLine(", 1, 2, 3, 4", MaskPattern(0x0A0A), 8, true),
            "Mask, 1, 2, 3, 4, 0A0A, OnGray=1");
  EXPECT_EQ(maskCommandLine(", 1, 2, 3, 4", MaskPattern(0x0A0A), 24, true), "Mask, 1, 2, 3, 4, 0A0A");
}

// ---------------------------------------------------------------------------------------

TEST(UnevenMaskTable, RisingLevelsMakeOneBandPerLevel) {
  const auto t = buildUnevenMaskTable(0, 15, 160, 8, false);
  ASSERT_EQ(t.bands.size(), 16u);
  for (int k = 0; k < 16; ++k) {
    const UnevenBand& b = t.bands[static_cast<std::size_t>(k)];
    EXPECT_EQ(b.startByte, 10 * k);
    EXPECT_EQ(b.endByte, 10 * k + 10);
    EXPECT_EQ(b.level, k);
    EXPECT_TRUE(b.hasPattern);
    EXPECT_EQ(b.previewGrey, 16 * k);
    const MaskPattern p = MaskPattern::level(k);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(b.rowBytes[static_cast<std::size_t>(r)], p.rowByte(r));
  }
}

TEST(UnevenMaskTable, BandStartsRoundToEven) {
  const auto t = buildUnevenMaskTable(3, 0, 10, 8, false);  // 4 bands of 2.5 bytes
  ASSERT_EQ(t.bands.size(), 4u);
  const int starts[] = {0, 2, 5, 8};
  const int levels[] = {3, 2, 1, 0};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(t.bands[static_cast<std::size_t>(k)].startByte, starts[k]);
    EXPECT_EQ(t.bands[static_cast<std::size_t>(k)].level, levels[k]);
  }
  EXPECT_EQ(t.bands.back().endByte, 10);
}

TEST(UnevenMaskTable, LimitsAndClamping) {
  auto t = buildUnevenMaskTable(-5, -1, 100, 8, false);  // both negative: both 0
  ASSERT_EQ(t.bands.size(), 1u);
  EXPECT_EQ(t.bands[0].level, 0);
  EXPECT_EQ(t.bands[0].endByte, 100);

  t = buildUnevenMaskTable(12, 14, 100, 8, true);  // both above the count 8: both 8
  ASSERT_EQ(t.bands.size(), 1u);
  EXPECT_EQ(t.bands[0].level, 8);
  EXPECT_TRUE(t.bands[0].hasPattern);

  t = buildUnevenMaskTable(0, 15, 160, 8, true);  // levels 9..15 take no pattern
  ASSERT_EQ(t.bands.size(), 10u);
  EXPECT_FALSE(t.bands.back().hasPattern);
  EXPECT_EQ(t.bands.back().startByte, 90);
  EXPECT_EQ(t.bands.back().endByte, 160);
  EXPECT_EQ(t.bands.back().rowBytes, (std::array<std::uint8_t, 4>{}));

  t = buildUnevenMaskTable(-1000, 1000, 600, 16, false);  // brought into -32..50
  EXPECT_LE(t.bands.size(), static_cast<std::size_t>(kMaxUnevenBands));
  EXPECT_EQ(t.bands.front().startByte, 0);
  EXPECT_EQ(t.bands.back().endByte, 600);
  for (std::size_t k = 1; k < t.bands.size(); ++k)
    EXPECT_EQ(t.bands[k].startByte, t.bands[k - 1].endByte);
  int patterned = 0;
  for (const auto& b : t.bands) patterned += b.hasPattern;
  EXPECT_EQ(patterned, 16);

  EXPECT_TRUE(buildUnevenMaskTable(0, 15, 0, 8, false).bands.empty());
  EXPECT_FALSE(buildUnevenMaskTable(std::nan(""), 3, 8, 8, false).bands.empty());
}

TEST(UnevenMaskTable, NarrowRowsDropEmptyBands) {
  const auto t = buildUnevenMaskTable(0, 15, 4, 8, false);
  ASSERT_FALSE(t.bands.empty());
  int covered = 0;
  for (const auto& b : t.bands) {
    EXPECT_LT(b.startByte, b.endByte);
    covered += b.endByte - b.startByte;
  }
  EXPECT_EQ(covered, 4);
}

TEST(UnevenMaskApply, MatchesPixelRuleOnRandomAreas) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> size(1, 900), lvl(-40, 60), coin(0, 1);
  for (int round = 0; round < 200; ++round) {
    const int w = size(rng), h = size(rng) % 9 + 1;
    Bitmap bm = randomBitmap(w, h, 1, rng);
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

TEST(UnevenMaskApply, BandsWithoutPatternStayUnmasked) {
  Bitmap bm = Bitmap::create(40, 6, 1);
  bm.fill(0);
  const auto t = buildUnevenMaskTable(16, 16, 5, 16, true);  // one band, level 16: no pattern
  ASSERT_TRUE(applyUnevenMask(bm, maskAreaFor(0, 0, 40, 6, 40, 6), t));
  for (int y = 0; y < 6; ++y)
    for (int b = 0; b < 5; ++b) EXPECT_EQ(bm.row(y)[b], 0);
}

}  // namespace
}  // namespace quillaro
