#include "adjust/turns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "adjust/simd_levels.h"
#include "app/ports.h"

namespace quillaro {
namespace {

// Every byte random, the padding bits and bytes included, so that garbage there would
// show up in pixels if a turn let it through.
Bitmap randomPicture(int w, int h, int bits, unsigned seed) {
  Bitmap b = Bitmap::create(w, h, bits);
  std::mt19937 rng(seed);
  for (std::size_t i = 0; i < b.byteCount(); ++i) b.data()[i] = static_cast<std::uint8_t>(rng());
  return b;
}

void copyPixel(const Bitmap& s, int sx, int sy, Bitmap& d, int dx, int dy) {
  switch (s.bits) {
    case 1: d.setWhite(dx, dy, s.isWhite(sx, sy)); break;
    case 8: d.setGrey(dx, dy, s.grey(sx, sy)); break;
    default: d.setRgb(dx, dy, s.rgb(sx, sy)); break;
  }
}

enum class Turn { Over, Right, Left };

// The turns pixel by pixel, straight from their definitions in picture coordinates.
Bitmap slowTurn(const Bitmap& s, Turn turn) {
  const int w = s.width, h = s.height;
  Bitmap d = turn == Turn::Over ? Bitmap::create(w, h, s.bits) : Bitmap::create(h, w, s.bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (turn == Turn::Over) copyPixel(s, x, y, d, w - 1 - x, h - 1 - y);
      else if (turn == Turn::Right) copyPixel(s, x, y, d, h - 1 - y, x);
      else copyPixel(s, x, y, d, y, w - 1 - x);
    }
  return d;
}

::testing::AssertionResult samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height || a.bits != b.bits)
    return ::testing::AssertionFailure() << "geometry " << a.width << "x" << a.height << "x"
                                         << a.bits << " vs " << b.width << "x" << b.height;
  for (int y = 0; y < a.height; ++y) {
    if (a.bits == 1) {
      for (int x = 0; x < a.width; ++x)
        if (a.isWhite(x, y) != b.isWhite(x, y))
          return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    } else if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.rowBytes)) != 0) {
      return ::testing::AssertionFailure() << "row " << y;
    }
  }
  return ::testing::AssertionSuccess();
}

// A 1-bit result keeps the bits after the last pixel at 1 and padding bytes at 255.
::testing::AssertionResult whitePadding(const Bitmap& b) {
  if (b.bits != 1) return ::testing::AssertionSuccess();
  for (int s = 0; s < b.height; ++s) {
    const std::uint8_t* row = b.fileRow(s);
    for (int x = b.width; x < 8 * b.rowBytes; ++x)
      if (!bitIsWhite(row, x)) return ::testing::AssertionFailure() << "bit " << x << " row " << s;
    for (int i = b.rowBytes; i < b.stride; ++i)
      if (row[i] != 0xFF) return ::testing::AssertionFailure() << "byte " << i << " row " << s;
  }
  return ::testing::AssertionSuccess();
}

struct Size {
  int w, h;
};

std::vector<Size> sizesFor(int bits) {
  std::vector<Size> sizes = {{101, 37}, {8, 8}, {9, 17}, {1, 1}, {1, 9}, {150, 71}, {64, 33}, {300, 41}, {37, 290}, {136, 20}};
  if (bits == 1)
    for (int w = 1; w <= 17; ++w) sizes.push_back({w, 3 + w % 11});
  return sizes;
}

class TurnsAtDepth : public ::testing::TestWithParam<int> {};

TEST_P(TurnsAtDepth, FastTurnsEqualThePixelByPixelTurns) {
  const int bits = GetParam();
  unsigned seed = 1;
  for (const Size& sz : sizesFor(bits)) {
    SCOPED_TRACE(::testing::Message() << sz.w << "x" << sz.h << "x" << bits);
    const Bitmap src = randomPicture(sz.w, sz.h, bits, seed++);
    const Bitmap right = turnRight(src);
    EXPECT_TRUE(samePixels(right, slowTurn(src, Turn::Right)));
    EXPECT_TRUE(whitePadding(right));
    const Bitmap left = turnLeft(src);
    EXPECT_TRUE(samePixels(left, slowTurn(src, Turn::Left)));
    EXPECT_TRUE(whitePadding(left));
    Bitmap over = src.clone();
    ASSERT_TRUE(turnOver(over));
    EXPECT_TRUE(samePixels(over, slowTurn(src, Turn::Over)));
    EXPECT_TRUE(whitePadding(over));
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, TurnsAtDepth, ::testing::Values(1, 8, 24));

// Sizes around the vector blocks (16 columns by 8, 16, 32 or 64 rows) and the 256-pixel
// tiles, with remainders on every side, at every level this processor supports.
TEST(QuarterTurnKernels, EveryLevelEqualsThePixelByPixelTurn) {
  LevelGuard guard;
  const Size sizes[] = {{16, 64}, {17, 65}, {65, 17}, {64, 64}, {130, 71}, {47, 129},
                        {15, 33}, {200, 9},  {33, 31}, {300, 270}, {8, 8}, {9, 100}};
  unsigned seed = 500;
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int bits : {1, 8, 24})
      for (const Size& sz : sizes) {
        SCOPED_TRACE(::testing::Message() << levelName(level) << " " << sz.w << "x" << sz.h
                                          << "x" << bits);
        const Bitmap src = randomPicture(sz.w, sz.h, bits, seed++);
        EXPECT_TRUE(samePixels(turnRight(src), slowTurn(src, Turn::Right)));
        Bitmap reused = randomPicture(sz.h, sz.w, bits, seed++);
        ASSERT_TRUE(turnLeftInto(src, reused));
        EXPECT_TRUE(samePixels(reused, slowTurn(src, Turn::Left)));
        EXPECT_TRUE(whitePadding(reused));
      }
  }
}

// Turning over at every level: 1-bit rows long enough for whole 64-byte blocks with every
// padding (width mod 8), and 24-bit rows around the 16-pixel blocks; odd and even heights,
// so that the middle row is reversed alone.
TEST(TurnOverKernels, EveryLevelEqualsThePixelByPixelTurn) {
  LevelGuard guard;
  std::vector<std::pair<int, Size>> cases;
  for (int w : {512, 513, 519, 520, 521, 522, 523, 524, 525, 526, 527, 528, 1031, 1040, 1601})
    cases.push_back({1, {w, 3 + w % 2}});
  for (int w : {15, 16, 17, 31, 32, 33, 47, 100})
    for (int bits : {8, 24}) cases.push_back({bits, {w, 4 + w % 3}});
  unsigned seed = 900;
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (const auto& [bits, sz] : cases) {
      SCOPED_TRACE(::testing::Message() << levelName(level) << " " << sz.w << "x" << sz.h << "x" << bits);
      const Bitmap src = randomPicture(sz.w, sz.h, bits, seed++);
      Bitmap over = src.clone();
      ASSERT_TRUE(turnOver(over));
      EXPECT_TRUE(samePixels(over, slowTurn(src, Turn::Over)));
      EXPECT_TRUE(whitePadding(over));
    }
  }
}

TEST(Turns, OrientationOfAMarkedCorner) {
  Bitmap src = Bitmap::create(3, 2, 8);
  src.setGrey(0, 0, 1);  // top left
  const Bitmap right = turnRight(src);
  ASSERT_EQ(right.width, 2);
  ASSERT_EQ(right.height, 3);
  EXPECT_EQ(right.grey(1, 0), 1);  // top right after a clockwise turn
  const Bitmap left = turnLeft(src);
  EXPECT_EQ(left.grey(0, 2), 1);  // bottom left after a counter-clockwise turn
}

class CountingProgress : public Progress {
public:
  std::vector<int> values;
  int pumps = 0;
  void percent(int v) override { values.push_back(v); }
  void status(std::string_view) override {}
  bool pump() override {
    ++pumps;
    return true;  // a stop request must not leave a half-turned picture
  }
};

TEST(Turns, ReportsRisingProgressAndFinishes) {
  for (int bits : {1, 8, 24}) {
    const Bitmap src = randomPicture(70, 130, bits, 9);
    CountingProgress p;
    const Bitmap right = turnRight(src, &p);
    EXPECT_TRUE(samePixels(right, slowTurn(src, Turn::Right)));
    Bitmap over = src.clone();
    turnOver(over, &p);
    EXPECT_TRUE(samePixels(over, slowTurn(src, Turn::Over)));
    ASSERT_GE(p.values.size(), 4u);
    EXPECT_GT(p.pumps, 2);
    EXPECT_EQ(p.values.back(), 100);
    for (int v : p.values) {
      EXPECT_GE(v, 0);
      EXPECT_LE(v, 100);
    }
  }
}

TEST(Turns, IntoAReusedBufferWritesEveryByte) {
  for (int bits : {1, 8, 24}) {
    const Bitmap src = randomPicture(45, 23, bits, 77);
    Bitmap reused = randomPicture(23, 45, bits, 78);
    ASSERT_TRUE(turnLeftInto(src, reused));
    const Bitmap fresh = turnLeft(src);
    EXPECT_EQ(std::memcmp(reused.data(), fresh.data(), fresh.byteCount()), 0) << bits;
    ASSERT_TRUE(turnRightInto(src, reused));
    EXPECT_TRUE(samePixels(reused, slowTurn(src, Turn::Right)));
    Bitmap wrong = randomPicture(45, 23, bits, 79);
    const Bitmap before = wrong.clone();
    EXPECT_FALSE(turnRightInto(src, wrong));
    EXPECT_EQ(std::memcmp(wrong.data(), before.data(), wrong.byteCount()), 0);
    Bitmap square = randomPicture(20, 20, bits, 80);
    EXPECT_FALSE(turnLeftInto(square, square));
  }
}

TEST(Turns, BadInputChangesNothing) {
  Bitmap none;
  EXPECT_FALSE(turnOver(none));
  EXPECT_TRUE(turnRight(none).empty());
  EXPECT_TRUE(turnLeft(none).empty());
  Bitmap odd = Bitmap::create(10, 10, 8);
  odd.fill(3);
  odd.bits = 4;
  EXPECT_FALSE(turnOver(odd));
  EXPECT_TRUE(turnRight(odd).empty());
  EXPECT_TRUE(turnLeft(odd).empty());
  for (std::size_t i = 0; i < odd.byteCount(); ++i) ASSERT_EQ(odd.data()[i], 3);
}

}  // namespace
}  // namespace quillaro
