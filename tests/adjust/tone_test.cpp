#include "adjust/tone.h"
#include "adjust/simd_levels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quillaro {
namespace {

TEST(ToneValue, RoundsHalvesToEven) {
  EXPECT_EQ(toneValue(255, 0.5f, 0), 128);  // 127.5
  EXPECT_EQ(toneValue(253, 0.5f, 0), 126);  // 126.5
  EXPECT_EQ(toneValue(1, 1.0f, 50), 51);
}

TEST(ToneValue, UsesSinglePrecisionContrast) {
  // 0.1f is slightly above 0.1: 5 x 0.1f is above one half, 5 x 0.1 (double) is the tie.
  EXPECT_EQ(toneValue(5, 0.1f, 0), 1);
}

TEST(ToneValue, ClampsWithoutWrapping) {
  EXPECT_EQ(toneValue(200, 2.0f, 0), 255);
  EXPECT_EQ(toneValue(10, 1.0f, -50), 0);
  EXPECT_EQ(toneValue(0, 1.0f, 2500), 255);
  EXPECT_EQ(toneValue(255, 1.0f, -2500), 0);
  EXPECT_EQ(toneValue(1, 1e30f, 0), 255);
  EXPECT_EQ(toneValue(1, -1e30f, 0), 0);
  EXPECT_EQ(toneValue(100, std::numeric_limits<float>::quiet_NaN(), 0), 0);
}

TEST(ToneMap, TablesEqualThePerValueMap) {
  const float ks[] = {1.0f, 0.5f, 1.3f, 2.0f, 0.1f};
  const int bs[] = {0, -10, 50, 127};
  for (float k : ks)
    for (int b : bs) {
      const ToneMap t = makeToneMap(k, b, true, true);
      for (int p = 0; p < 256; ++p) {
        ASSERT_EQ(t.channel[p], toneValue(p, k, b)) << k << " " << b << " " << p;
        ASSERT_EQ(t.grey[p], t.channel[p]);
      }
    }
  EXPECT_TRUE(makeToneMap(1.0f, 0, true, true).identity);
  EXPECT_FALSE(makeToneMap(1.0f, 1, false, false).identity);
  EXPECT_TRUE(toneIsOff(1.0f, 0));
  EXPECT_FALSE(toneIsOff(1.2f, 0));
}

TEST(ToneMap, ProtectsBlackAndWhiteUnlessAsked) {
  const ToneMap kept = makeToneMap(0.5f, 50, false, false);
  EXPECT_EQ(kept.grey[0], 0);
  EXPECT_EQ(kept.grey[255], 255);
  EXPECT_EQ(kept.grey[1], 50);  // 50.5 -> 50
  const ToneMap corrected = makeToneMap(0.5f, 50, true, true);
  EXPECT_EQ(corrected.grey[0], 50);
  EXPECT_EQ(corrected.grey[255], 178);  // 177.5 -> 178
}

Bitmap greyPicture(int w, int h, std::uint8_t v) {
  Bitmap b = Bitmap::create(w, h, 8);
  b.fill(v);
  return b;
}

TEST(ToneApply, ChangesOnlyTheRectangle) {
  Bitmap b = greyPicture(10, 6, 1);
  b.setGrey(2, 1, 0);
  ASSERT_TRUE(applyTone(b, PixelRect{2, 1, 4, 2}, makeToneMap(1.0f, 50, false, false)));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 2;
      const int want = (x == 2 && y == 1) ? 0 : (inside ? 51 : 1);
      EXPECT_EQ(b.grey(x, y), want) << x << "," << y;
    }
}

TEST(ToneApply, ColourProtectionUsesTheChannelSum) {
  Bitmap b = Bitmap::create(4, 1, 24);
  b.setRgb(0, 0, Rgb{255, 255, 255});
  b.setRgb(1, 0, Rgb{254, 255, 255});  // red 254: not white
  b.setRgb(2, 0, Rgb{0, 0, 0});
  b.setRgb(3, 0, Rgb{0, 0, 1});
  Bitmap c = b.clone();
  ASSERT_TRUE(applyTone(c, makeToneMap(1.0f, 50, false, true)));
  EXPECT_EQ(c.rgb(0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(c.rgb(2, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(c.rgb(3, 0), (Rgb{50, 50, 51}));
  Bitmap d = Bitmap::create(1, 1, 24);
  ASSERT_TRUE(applyTone(d, makeToneMap(0.5f, 0, false, true)));
  EXPECT_EQ(d.rgb(0, 0), (Rgb{128, 128, 128}));
}

TEST(ToneApply, ClipsRectanglesToThePicture) {
  Bitmap b = greyPicture(5, 5, 100);
  const ToneMap t = makeToneMap(1.0f, 10, false, false);
  ASSERT_TRUE(applyTone(b, PixelRect{-3, -3, 1, 0}, t));
  EXPECT_EQ(b.grey(1, 0), 110);
  EXPECT_EQ(b.grey(2, 0), 100);
  EXPECT_EQ(b.grey(0, 1), 100);
  Bitmap before = b.clone();
  EXPECT_FALSE(applyTone(b, PixelRect{5, 0, 9, 4}, t));
  EXPECT_FALSE(applyTone(b, PixelRect{-9, -9, -1, -1}, t));
  EXPECT_FALSE(applyTone(b, PixelRect{3, 3, 2, 2}, t));  // inverted
  EXPECT_EQ(std::memcmp(b.data(), before.data(), b.byteCount()), 0);
  EXPECT_TRUE(applyTone(b, PixelRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, t));
  EXPECT_EQ(b.grey(4, 4), 110);
}

TEST(ToneApply, LeavesOtherDepthsAlone) {
  Bitmap one = Bitmap::create(16, 4, 1);
  one.fill(0x5A);
  EXPECT_FALSE(applyTone(one, makeToneMap(0.5f, 10, true, true)));
  for (std::size_t i = 0; i < one.byteCount(); ++i) ASSERT_EQ(one.data()[i], 0x5A);
  Bitmap none;
  EXPECT_FALSE(applyTone(none, makeToneMap(0.5f, 10, true, true)));
}

TEST(DarkRelWhite, WorkedValues) {
  EXPECT_EQ(darkRelWhiteOffset(2.0f), -255);
  EXPECT_EQ(darkRelWhiteValue(255, 2.0f), 255);
  EXPECT_EQ(darkRelWhiteValue(200, 2.0f), 145);
  EXPECT_EQ(darkRelWhiteValue(100, 2.0f), 0);
  EXPECT_EQ(darkRelWhiteValue(0, 0.5f), 128);  // no protection of black
  EXPECT_EQ(darkRelWhiteOffset(1.5f), -128);   // -127.5 to even
  EXPECT_EQ(darkRelWhiteValue(200, 1.5f), 172);
}

// The rectangle and the 8-bit-only rule are checked through the operation (tone_ops_test).
TEST(DarkRelWhite, WhiteStaysWhiteForEveryFactor) {
  for (float kw : {0.0f, 0.5f, 1.1f, 1.3f, 1.5f, 2.5f, 3.5f, 100.0f, -1.0f})
    EXPECT_EQ(darkRelWhiteValue(255, kw), 255) << kw;
  Bitmap b = greyPicture(6, 3, 200);
  EXPECT_FALSE(darkRelWhite(b, PixelRect{6, 0, 8, 2}, 2.0f));  // wholly outside
}

TEST(GreyReduction, WorkedPixel) {
  EXPECT_EQ(greyOf(10, 200, 100, GreyReduction::Weighted), 151);
  EXPECT_EQ(greyOf(10, 200, 100, GreyReduction::Green), 200);
  EXPECT_EQ(greyOf(5, 0, 0, GreyReduction::Weighted), 0);   // 0.5 to even
  EXPECT_EQ(greyOf(15, 0, 0, GreyReduction::Weighted), 2);  // 1.5 to even
}

// Every colour, at every vector level this processor has, against the per-pixel rule.
TEST(GreyReduction, RowsEqualThePerPixelRuleForEveryColour) {
  LevelGuard guard;
  std::vector<std::uint8_t> row(3 * 256), out(256), bits(32);
  const ToneMap none = identityToneMap();
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int g = 0; g < 256; ++g)
      for (int r = 0; r < 256; ++r) {
        for (int b = 0; b < 256; ++b) {
          row[3 * b] = static_cast<std::uint8_t>(b);
          row[3 * b + 1] = static_cast<std::uint8_t>(g);
          row[3 * b + 2] = static_cast<std::uint8_t>(r);
        }
        greyRowFrom24(row.data(), 256, out.data(), GreyReduction::Weighted, none);
        for (int b = 0; b < 256; ++b)
          ASSERT_EQ(out[b], greyOf(b, g, r, GreyReduction::Weighted))
              << levelName(level) << " " << b << " " << g << " " << r;
        for (int t : {75, 140}) {
          bitRowFrom24(row.data(), 256, bits.data(), GreyReduction::Weighted, t);
          for (int b = 0; b < 256; ++b)
            ASSERT_EQ(!bitIsWhite(bits.data(), b), isBlackAt(b, g, r, GreyReduction::Weighted, t))
                << levelName(level) << " " << b << " " << g << " " << r << " t=" << t;
        }
      }
  }
}

TEST(GreyReduction, ToneAppliesToTheReducedGreyWithItsProtection) {
  const std::uint8_t row[] = {0, 0, 0, 0, 1, 0, 9, 255, 9, 255, 255, 255};
  std::uint8_t out[4];
  greyRowFrom24(row, 4, out, GreyReduction::Green, makeToneMap(1.0f, 50, false, false));
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 51);
  EXPECT_EQ(out[2], 255);
  EXPECT_EQ(out[3], 255);
}

TEST(ColourToOneBit, ThresholdBoundaryAndPadding) {
  std::vector<std::uint8_t> row(3 * 101, 255);
  row[3 * 0 + 1] = 139;
  row[3 * 1 + 1] = 140;
  row[3 * 100 + 1] = 0;
  std::uint8_t out[14];
  std::memset(out, 0xAA, sizeof out);
  bitRowFrom24(row.data(), 101, out, GreyReduction::Green, 140);
  EXPECT_FALSE(bitIsWhite(out, 0));
  EXPECT_TRUE(bitIsWhite(out, 1));
  EXPECT_FALSE(bitIsWhite(out, 100));
  EXPECT_EQ(out[12], 0xF7);  // pixel 100 black, the three bits after it 1
  EXPECT_EQ(out[13], 0xAA);  // nothing past the row bytes
  bitRowFrom24(row.data(), 101, out, GreyReduction::Weighted, 0);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[12], 0xFF);
  bitRowFrom24(row.data(), 101, out, GreyReduction::Weighted, 256);
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[12], 0x07);
}

TEST(Selection, CoversTheRoundedPixels) {
  EXPECT_EQ(selectionPixels(12, 30.5, 80, 40), (PixelRect{12, 30, 91, 69}));
  EXPECT_EQ(selectionPixels(1.5, 2.5, 1, 1), (PixelRect{2, 2, 2, 2}));
  const PixelRect huge = selectionPixels(-1e300, std::nan(""), 3e300, 1e300);
  EXPECT_EQ(huge.left, INT_MIN);
  EXPECT_EQ(huge.top, 0);
  EXPECT_EQ(huge.bottom, INT_MAX);
  EXPECT_EQ(clipToPicture(huge, 7, 5), (PixelRect{0, 0, 6, 4}));
}

TEST(ToneMenu, CaptionsAndEnabledState) {
  EXPECT_EQ(brightnessMenuCaption("-10", "1.3"), "Яркость -10, контрастность * 1.3,  <K>");
  EXPECT_EQ(brightnessMenuCaption("5", "1"), "Яркость +5, контрастность * 1,  <K>");
  EXPECT_EQ(brightnessMenuCaption("+5", "1"), "Яркость +5, контрастность * 1,  <K>");
  EXPECT_EQ(brightnessMenuCaption("0", "1"), "Яркость 0, контрастность * 1,  <K>");
  EXPECT_EQ(contrastMenuCaption("1.5"), "Контрастность * 1.5,  <*>");
  EXPECT_FALSE(brightnessMenuEnabled(8, "0", "1"));
  EXPECT_TRUE(brightnessMenuEnabled(8, "0", "1.2"));
  EXPECT_TRUE(brightnessMenuEnabled(24, "-3", "1"));
  EXPECT_FALSE(brightnessMenuEnabled(1, "-3", "1.2"));
  EXPECT_TRUE(contrastMenuEnabled(8));
  EXPECT_TRUE(contrastMenuEnabled(24));
  EXPECT_FALSE(contrastMenuEnabled(1));
}

}  // namespace
}  // namespace quillaro
