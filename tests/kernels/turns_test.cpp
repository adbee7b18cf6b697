#include "kernels/turns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "support/adjust_test_util.h"
#include "support/picture_compare.h"
#include "base/ports.h"

namespace quillaro {
namespace {

using testing::samePixels;

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

// Sizes around the vector blocks (16 columns by 8 to 64 rows, 64-byte rows, 256-pixel tiles,
// 512 x 512-pixel 1-bit blocks) with every 1-bit padding, at every level this processor
// supports; the left turn goes into a reused buffer of random bytes.
TEST(TurnKernels, EveryLevelAndDepthEqualsThePixelByPixelTurns) {
  LevelGuard guard;
  std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 9}, {8, 8}, {16, 64}, {17, 65}, {65, 17}, {47, 129},
                                            {200, 9}, {300, 270}, {513, 3}, {1031, 4}};
  for (int w = 2; w <= 9; ++w) sizes.push_back({w, 3 + w});
  for (int w = 520; w < 528; ++w) sizes.push_back({w, 3 + w % 2});
  // 1 bit: whole blocks of 512 x 512 pixels and the ones cut by each edge.
  sizes.insert(sizes.end(), {{512, 1024}, {1024, 5}, {1030, 1100}});
  unsigned seed = 500;
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int bits : {1, 8, 24})
      for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(::testing::Message() << levelName(level) << " " << w << "x" << h << "x" << bits);
        const Bitmap src = randomPicture(w, h, bits, seed++);
        Bitmap reused = randomPicture(h, w, bits, seed++);
        ASSERT_TRUE(turnRightInto(src, reused));
        EXPECT_TRUE(samePixels(reused, slowTurn(src, Turn::Right)));
        EXPECT_TRUE(whitePadding(reused));
        ASSERT_TRUE(turnLeftInto(src, reused));
        EXPECT_TRUE(samePixels(reused, slowTurn(src, Turn::Left)));
        EXPECT_TRUE(whitePadding(reused));
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

TEST(Turns, ReportsProgressAndFinishes) {
  for (int bits : {1, 8, 24}) {
    const Bitmap src = randomPicture(70, 130, bits, 9);
    CountingProgress p;
    const Bitmap right = turnRight(src, &p);
    EXPECT_TRUE(samePixels(right, slowTurn(src, Turn::Right)));
    Bitmap over = src.clone();
    ASSERT_TRUE(turnOver(over, &p));
    EXPECT_TRUE(samePixels(over, slowTurn(src, Turn::Over)));
    ASSERT_GE(p.values.size(), 4u);
    EXPECT_GT(p.pumps, 2);
    EXPECT_EQ(p.values.back(), 100);
    for (int v : p.values) EXPECT_TRUE(v >= 0 && v <= 100) << v;
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
  const Bitmap src = randomPicture(45, 23, 8, 77);
  Bitmap wrong = randomPicture(45, 23, 8, 79);
  const Bitmap before = wrong.clone();
  EXPECT_FALSE(turnRightInto(src, wrong)) << "a buffer of the wrong size";
  EXPECT_EQ(std::memcmp(wrong.data(), before.data(), wrong.byteCount()), 0);
  EXPECT_FALSE(turnLeftInto(wrong, wrong));
}

}  // namespace
}  // namespace quillaro
