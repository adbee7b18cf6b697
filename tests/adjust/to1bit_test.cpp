#include "adjust/to1bit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace quillaro {
namespace {

Bitmap randomGrey(int w, int h, unsigned seed) {
  Bitmap b = Bitmap::create(w, h, 8);
  std::mt19937 rng(seed);
  for (std::size_t i = 0; i < b.byteCount(); ++i) b.data()[i] = static_cast<std::uint8_t>(rng());
  return b;
}

TEST(ToOneBit, ThresholdBoundary) {
  Bitmap g = Bitmap::create(100, 100, 8);
  g.setGrey(0, 0, 139);
  g.setGrey(1, 0, 140);
  g.setGrey(2, 0, 0);
  const Bitmap b = to1bit(g, 140);
  ASSERT_EQ(b.bits, 1);
  EXPECT_FALSE(b.isWhite(0, 0));
  EXPECT_TRUE(b.isWhite(1, 0));
  EXPECT_FALSE(b.isWhite(2, 0));
  EXPECT_TRUE(b.isWhite(3, 0));
}

TEST(ToOneBit, ZeroIsAllWhiteAndAboveWhiteAllBlack) {
  Bitmap g = randomGrey(101, 7, 1);
  g.setGrey(0, 0, 0);
  g.setGrey(1, 0, 255);
  const Bitmap white = to1bit(g, 0);
  const Bitmap black = to1bit(g, 256);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 101; ++x) {
      ASSERT_TRUE(white.isWhite(x, y));
      ASSERT_FALSE(black.isWhite(x, y));
    }
  const Bitmap negative = to1bit(g, -5);
  EXPECT_EQ(std::memcmp(negative.data(), white.data(), white.byteCount()), 0);
}

TEST(ToOneBit, OddWidthGeometryAndPaddingBits) {
  const Bitmap g = randomGrey(101, 5, 2);
  for (int t : {0, 128, 256}) {
    const Bitmap b = to1bit(g, t);
    ASSERT_EQ(b.width, 101);
    ASSERT_EQ(b.height, 5);
    EXPECT_EQ(b.rowBytes, 13);
    EXPECT_EQ(b.stride, 16);
    for (int s = 0; s < 5; ++s) {
      const std::uint8_t* row = b.fileRow(s);
      EXPECT_EQ(row[12] & 0x07, 0x07) << "bits after the last pixel, t=" << t;
      EXPECT_EQ(row[13], 0xFF);
      EXPECT_EQ(row[14], 0xFF);
      EXPECT_EQ(row[15], 0xFF);
    }
  }
}

TEST(ToOneBit, EqualsThePerPixelRuleAtEveryWidth) {
  for (int w = 1; w <= 40; ++w) {
    const Bitmap g = randomGrey(w, 3, 100 + w);
    for (int t : {1, 77, 140, 255}) {
      const Bitmap b = to1bit(g, t);
      ASSERT_FALSE(b.empty());
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(b.isWhite(x, y), g.grey(x, y) >= t) << w << " " << t << " " << x;
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
