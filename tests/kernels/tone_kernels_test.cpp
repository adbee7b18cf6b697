// The vector versions of the tone kernels against the per-pixel rules, at every level the
// processor supports, on odd widths, offsets and random content.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "kernels/simd_bytes.h"
#include "support/adjust_test_util.h"
#include "kernels/tone.h"

namespace quillaro {
namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, std::mt19937& rng) {
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

TEST(SimdLevels, ForcingIsHeldAtWhatTheProcessorSupports) {
  LevelGuard guard;
  EXPECT_EQ(forceSimdLevel(SimdLevel::Scalar), SimdLevel::Scalar);
  EXPECT_EQ(simdLevel(), SimdLevel::Scalar);
  EXPECT_EQ(forceSimdLevel(SimdLevel::Avx512), supportedSimdLevel());
  EXPECT_EQ(simdLevel(), supportedSimdLevel());
}

TEST(TableMapping, EveryLengthAndOffsetGivesTheTableValues) {
  LevelGuard guard;
  std::mt19937 rng(7);
  const std::vector<std::uint8_t> table = randomBytes(256, rng);
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (std::size_t n = 0; n <= 300; n += (n < 70 ? 1 : 37)) {
      for (std::size_t offset : {0, 3}) {
        std::vector<std::uint8_t> buf = randomBytes(n + offset + 8, rng);
        if (n >= 256)
          for (std::size_t i = 0; i < 256; ++i) buf[offset + i] = static_cast<std::uint8_t>(i);
        const std::vector<std::uint8_t> before = buf;
        mapBytesThrough(buf.data() + offset, n, table.data());
        for (std::size_t i = 0; i < buf.size(); ++i) {
          const bool inside = i >= offset && i < offset + n;
          ASSERT_EQ(buf[i], inside ? table[before[i]] : before[i])
              << levelName(level) << " n=" << n << " offset=" << offset << " i=" << i;
        }
      }
    }
  }
}

// A colour picture of random pixels with many exactly black, exactly white and nearly
// black or white ones, and random padding.
Bitmap colourPicture(int w, int h, std::mt19937& rng) {
  Bitmap b = randomPicture(w, h, 24, rng());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      switch (rng() % 6) {
        case 0: b.setRgb(x, y, Rgb{0, 0, 0}); break;
        case 1: b.setRgb(x, y, Rgb{255, 255, 255}); break;
        case 2: b.setRgb(x, y, Rgb{0, 0, static_cast<std::uint8_t>(rng() % 2)}); break;
        case 3: b.setRgb(x, y, Rgb{255, static_cast<std::uint8_t>(254 + rng() % 2), 255}); break;
        default: break;
      }
    }
  return b;
}

// Colour tone by its definition, pixel by pixel.
void toneByRule(Bitmap& b, const PixelRect& r, float k, int bright, bool black, bool white) {
  for (int y = r.top; y <= r.bottom; ++y)
    for (int x = r.left; x <= r.right; ++x) {
      const Rgb c = b.rgb(x, y);
      const int sum = c.red + c.green + c.blue;
      if ((sum == 0 && !black) || (sum == 765 && !white)) continue;
      b.setRgb(x, y, Rgb{static_cast<std::uint8_t>(toneValue(c.red, k, bright)),
                         static_cast<std::uint8_t>(toneValue(c.green, k, bright)),
                         static_cast<std::uint8_t>(toneValue(c.blue, k, bright))});
    }
}

TEST(ColourToneKernels, EqualThePerPixelRuleAtEveryLevel) {
  LevelGuard guard;
  std::mt19937 rng(11);
  struct Case {
    float k;
    int b;
    bool black, white;
  };
  const Case cases[] = {{-1.0f, 255, false, false}, {1.3f, -10, true, false},
                        {0.5f, 50, false, true}, {2.0f, 0, true, true}};
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int w = 1; w <= 140; w += (w < 40 ? 1 : 23)) {
      const Case& c = cases[static_cast<std::size_t>(w) % 4];
      const Bitmap source = colourPicture(w, 3, rng);
      const PixelRect rect{w > 2 ? 1 : 0, 1, w - 1, 2};
      Bitmap fast = source.clone();
      Bitmap slow = source.clone();
      ASSERT_TRUE(applyTone(fast, rect, makeToneMap(c.k, c.b, c.black, c.white)));
      toneByRule(slow, rect, c.k, c.b, c.black, c.white);
      ASSERT_EQ(std::memcmp(fast.data(), slow.data(), fast.byteCount()), 0)
          << levelName(level) << " width " << w;
    }
  }
}

TEST(GreyToneKernels, EightBitsAndDarkRelWhiteEqualTheRuleAtEveryLevel) {
  LevelGuard guard;
  std::mt19937 rng(12);
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int w : {1, 31, 33, 64, 65, 129}) {
      const Bitmap source = randomPicture(w, 4, 8, rng());
      const PixelRect rect{w / 3, 0, w - 1, 3};
      Bitmap tone = source.clone(), dark = source.clone();
      ASSERT_TRUE(applyTone(tone, rect, makeToneMap(0.7f, 20, false, true)));
      ASSERT_TRUE(darkRelWhite(dark, rect, 1.5f));
      const ToneMap map = makeToneMap(0.7f, 20, false, true);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < w; ++x) {
          const bool inside = x >= rect.left;
          const std::uint8_t v = source.grey(x, y);
          ASSERT_EQ(tone.grey(x, y), inside ? map.grey[v] : v) << levelName(level) << " " << x;
          ASSERT_EQ(dark.grey(x, y), inside ? darkRelWhiteValue(v, 1.5f) : v)
              << levelName(level) << " " << x;
        }
    }
  }
}

// A row of random colours in which many pixels sit exactly on a half (blue + 6 green +
// 3 red ending in 5) or exactly on the threshold (the sum equal to 10 t).
std::vector<std::uint8_t> awkwardRow(int width, int threshold, std::mt19937& rng) {
  std::vector<std::uint8_t> row = randomBytes(3 * static_cast<std::size_t>(width), rng);
  for (int x = 0; x < width; ++x) {
    std::uint8_t* p = &row[3 * static_cast<std::size_t>(x)];
    const int kind = static_cast<int>(rng() % 3);
    if (kind == 2) continue;
    const int target = kind == 0 ? 10 * static_cast<int>(rng() % 255) + 5 : 10 * threshold;
    // Choose green and red, then blue to hit the target when it can.
    for (int tries = 0; tries < 20; ++tries) {
      const int g = static_cast<int>(rng() % 256), r = static_cast<int>(rng() % 256);
      const int b = target - 6 * g - 3 * r;
      if (b >= 0 && b <= 255) {
        p[0] = static_cast<std::uint8_t>(b);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(r);
        break;
      }
    }
  }
  return row;
}

TEST(ColourRowKernels, GreyAndBitRowsEqualThePerPixelRuleAtEveryLevel) {
  LevelGuard guard;
  std::mt19937 rng(13);
  const ToneMap maps[] = {identityToneMap(), makeToneMap(-1.0f, 255, true, true)};
  for (SimdLevel level : levelsHere()) {
    forceSimdLevel(level);
    for (int w = 1; w <= 300; w += (w < 70 ? 1 : 41)) {
      const int t = w % 5 == 0 ? (w % 2 ? 0 : 256) : (w % 2 ? 140 : 1 + w % 255);
      const std::vector<std::uint8_t> row = awkwardRow(w, t, rng);
      const std::size_t bytes = (static_cast<std::size_t>(w) + 7) / 8;
      for (GreyReduction mode : {GreyReduction::Green, GreyReduction::Weighted}) {
        const ToneMap& map = maps[static_cast<std::size_t>(w) % 2];
        std::vector<std::uint8_t> out(static_cast<std::size_t>(w) + 16, 0xA5), bits(bytes + 8, 0x5A);
        greyRowFrom24(row.data(), w, out.data(), mode, map);
        bitRowFrom24(row.data(), w, bits.data(), mode, t);
        for (int x = 0; x < w; ++x) {
          const std::uint8_t* p = &row[3 * static_cast<std::size_t>(x)];
          ASSERT_EQ(out[static_cast<std::size_t>(x)], map.grey[greyOf(p[0], p[1], p[2], mode)])
              << levelName(level) << " width " << w << " pixel " << x;
          ASSERT_EQ(!bitIsWhite(bits.data(), x), isBlackAt(p[0], p[1], p[2], mode, t))
              << levelName(level) << " width " << w << " t " << t << " pixel " << x;
        }
        for (int x = w; x < static_cast<int>(8 * bytes); ++x) ASSERT_TRUE(bitIsWhite(bits.data(), x)) << w;
        for (std::size_t i = static_cast<std::size_t>(w); i < out.size(); ++i) ASSERT_EQ(out[i], 0xA5) << w;
        for (std::size_t i = bytes; i < bits.size(); ++i) ASSERT_EQ(bits[i], 0x5A) << w;
      }
    }
  }
}

}  // namespace
}  // namespace quillaro
