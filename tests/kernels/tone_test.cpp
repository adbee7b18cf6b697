#include "kernels/tone.h"
#include "kernels/to1bit.h"
#include "support/adjust_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quillaro {
namespace {

TEST(ToneValue, RoundsHalvesToEvenInSinglePrecisionAndClamps) {
  EXPECT_EQ(toneValue(255, 0.5f, 0), 128);  // 127.5
  EXPECT_EQ(toneValue(253, 0.5f, 0), 126);  // 126.5
  // 0.1f is slightly above 0.1: 5 x 0.1f is above one half, 5 x 0.1 (double) is the tie.
  EXPECT_EQ(toneValue(5, 0.1f, 0), 1);
  EXPECT_EQ(toneValue(0, 1.0f, 2500), 255);
  EXPECT_EQ(toneValue(255, 1.0f, -2500), 0);
  EXPECT_EQ(toneValue(1, 1e30f, 0), 255);
  EXPECT_EQ(toneValue(1, -1e30f, 0), 0);
  EXPECT_EQ(toneValue(100, std::numeric_limits<float>::quiet_NaN(), 0), 0);
}

TEST(ToneMap, TablesFollowTheValueAndProtectBlackAndWhiteUnlessAsked) {
  for (float k : {0.5f, 1.3f, 0.1f}) {
    const ToneMap t = makeToneMap(k, -10, true, true);
    for (int p = 0; p < 256; ++p) ASSERT_EQ(t.grey[p], toneValue(p, k, -10)) << k << " " << p;
  }
  const ToneMap kept = makeToneMap(0.5f, 50, false, false);
  EXPECT_EQ(kept.grey[0], 0);
  EXPECT_EQ(kept.grey[255], 255);
  const ToneMap corrected = makeToneMap(0.5f, 50, true, true);
  EXPECT_EQ(corrected.grey[0], 50);
  EXPECT_EQ(corrected.grey[255], 178);  // 177.5 -> 178
  EXPECT_TRUE(makeToneMap(1.0f, 0, true, true).identity);
}

TEST(ToneApply, ClipsRectanglesToThePictureAndRefusesOtherDepths) {
  Bitmap b = Bitmap::create(5, 5, 8);
  b.fill(100);
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
  Bitmap one = Bitmap::create(16, 4, 1);
  one.fill(0x5A);
  EXPECT_FALSE(applyTone(one, t));
  EXPECT_EQ(one.data()[0], 0x5A);
  Bitmap none;
  EXPECT_FALSE(applyTone(none, t));
}

TEST(DarkRelWhite, WorkedValuesAndWhiteStaysWhite) {
  EXPECT_EQ(darkRelWhiteValue(200, 2.0f), 145);
  EXPECT_EQ(darkRelWhiteValue(100, 2.0f), 0);
  EXPECT_EQ(darkRelWhiteValue(0, 0.5f), 128);  // no protection of black
  EXPECT_EQ(darkRelWhiteOffset(1.5f), -128);   // -127.5 to even
  for (float kw : {0.0f, 1.3f, 3.5f, 100.0f, -1.0f}) EXPECT_EQ(darkRelWhiteValue(255, kw), 255) << kw;
}

TEST(GreyReduction, WorkedPixelsAndThresholdBoundary) {
  EXPECT_EQ(greyOf(10, 200, 100, GreyReduction::Weighted), 151);
  EXPECT_EQ(greyOf(10, 200, 100, GreyReduction::Green), 200);
  EXPECT_EQ(greyOf(5, 0, 0, GreyReduction::Weighted), 0);   // 0.5 to even
  EXPECT_EQ(greyOf(15, 0, 0, GreyReduction::Weighted), 2);  // 1.5 to even
  const std::uint8_t row[] = {0, 139, 0, 0, 140, 0};
  std::uint8_t out = 0;
  bitRowFrom24(row, 2, &out, GreyReduction::Green, 140);
  EXPECT_FALSE(bitIsWhite(&out, 0));
  EXPECT_TRUE(bitIsWhite(&out, 1));
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
  EXPECT_EQ(brightnessMenuCaption("0", "1"), "Яркость 0, контрастность * 1,  <K>");
  EXPECT_FALSE(brightnessMenuEnabled(8, "0", "1"));
  EXPECT_TRUE(brightnessMenuEnabled(24, "-3", "1"));
  EXPECT_FALSE(brightnessMenuEnabled(1, "-3", "1.2"));
  EXPECT_FALSE(contrastMenuEnabled(1));
}

TEST(ToOneBit, EqualsThePerPixelRuleWithWhitePadding) {
  for (int w : {1, 2, 7, 8, 9, 15, 16, 17, 31, 40, 101}) {
    Bitmap g = randomPicture(w, 3, 8, 100 + w);
    g.setGrey(0, 0, 140);
    for (int t : {-5, 0, 1, 140, 255, 256}) {
      const Bitmap b = to1bit(g, t);
      ASSERT_EQ(b.width, w);
      ASSERT_EQ(b.bits, 1);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(b.isWhite(x, y), g.grey(x, y) >= t) << w << " " << t << " " << x;
      for (int s = 0; s < 3; ++s) {
        const std::uint8_t* row = b.fileRow(s);
        for (int x = w; x < 8 * b.stride; ++x) ASSERT_TRUE(bitIsWhite(row, x)) << "padding bit " << x;
      }
    }
  }
}

TEST(ToOneBit, BadInputGivesNothingAndKeepsTheSource) {
  EXPECT_TRUE(to1bit(Bitmap{}, 140).empty());
  Bitmap colour = Bitmap::create(10, 10, 24);
  colour.fill(7);
  EXPECT_TRUE(to1bit(colour, 140).empty());
  EXPECT_EQ(colour.bits, 24);
  EXPECT_EQ(colour.data()[0], 7);
  EXPECT_TRUE(to1bit(Bitmap::create(10, 10, 1), 140).empty());
  std::uint8_t out = 0x55;
  bitRowFrom8(nullptr, 8, &out, 140);
  bitRowFrom8(&out, 0, &out, 140);
  EXPECT_EQ(out, 0x55);
}

}  // namespace
}  // namespace quillaro
