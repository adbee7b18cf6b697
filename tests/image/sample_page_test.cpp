#include "image/sample_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "image/bmp_file.h"
#include "image/bmp_test_util.h"

namespace quillaro {
namespace {

bool sameBytes(const Bitmap& a, const Bitmap& b) {
  return a.byteCount() == b.byteCount() && std::memcmp(a.data(), b.data(), a.byteCount()) == 0;
}

SamplePageOptions small(int bits, std::uint64_t seed) {
  SamplePageOptions o;
  o.width = 640;
  o.height = 480;
  o.bits = bits;
  o.seed = seed;
  return o;
}

TEST(SamplePage, SameSeedSameBytesOtherSeedOtherBytes) {
  for (int bits : {1, 8, 24}) {
    Bitmap a = makeSamplePage(small(bits, 5));
    Bitmap b = makeSamplePage(small(bits, 5));
    Bitmap c = makeSamplePage(small(bits, 6));
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(sameBytes(a, b)) << bits;
    EXPECT_FALSE(sameBytes(a, c)) << bits;
  }
  SamplePageOptions sq = small(8, 5);
  sq.grid = SampleGrid::Squared;
  EXPECT_FALSE(sameBytes(makeSamplePage(sq), makeSamplePage(small(8, 5))));
}

TEST(SamplePage, SizesDepthsAndContent) {
  SamplePageOptions o;
  o.bits = 1;
  Bitmap a4 = makeSamplePage(o);
  EXPECT_EQ(a4.width, 4961);
  EXPECT_EQ(a4.height, 7016);
  EXPECT_EQ(a4.stride, 624);
  EXPECT_EQ(samplePixelsPerMetre(o), 23622);
  o.dpi = 1200;
  EXPECT_EQ(samplePixelsPerMetre(o), 47244);

  // Paper is light, ink and rulings are dark: a grey page has both.
  Bitmap g = makeSamplePage(small(8, 3));
  int dark = 0, light = 0;
  for (int y = 0; y < g.height; ++y) {
    for (int x = 0; x < g.width; ++x) {
      if (g.grey(x, y) < 140) ++dark;
      else if (g.grey(x, y) > 200) ++light;
    }
  }
  EXPECT_GT(dark, 1000);
  EXPECT_GT(light, g.width * g.height / 2);

  // The 1-bit page is the grey page by threshold 140.
  Bitmap bw = makeSamplePage(small(1, 3));
  for (int y = 0; y < g.height; y += 7) {
    for (int x = 0; x < g.width; ++x) {
      ASSERT_EQ(bw.isWhite(x, y), g.grey(x, y) >= 140) << x << "," << y;
    }
  }

  SamplePageOptions bad = small(16, 1);
  EXPECT_TRUE(makeSamplePage(bad).empty());
}

#ifdef QUILLARO_SAMPLESCAN
int run(const std::string& args) {
  return std::system((std::string(QUILLARO_SAMPLESCAN) + " " + args + " >/dev/null 2>&1").c_str());
}

TEST(SampleScanTool, WritesAReadablePage) {
  testing::TempDir dir;
  const std::string out = dir.at("s.bmp");
  ASSERT_EQ(run("'" + out + "' --bits 8 --width 300 --height 200 --seed 9 --grid squared --dpi 1200"), 0);
  ReadResult r = readBitmap(out, {}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.image.bitmap.width, 300);
  EXPECT_EQ(r.image.bitmap.height, 200);
  EXPECT_EQ(r.image.bitmap.bits, 8);
  EXPECT_EQ(r.image.xPixelsPerMetre, 47244);

  SamplePageOptions o;
  o.width = 300;
  o.height = 200;
  o.bits = 8;
  o.seed = 9;
  o.dpi = 1200;
  o.grid = SampleGrid::Squared;
  EXPECT_TRUE(sameBytes(r.image.bitmap, makeSamplePage(o)));
}

TEST(SampleScanTool, HelpAndBadArguments) {
  EXPECT_EQ(run("--help"), 0);
  EXPECT_NE(run(""), 0);
  EXPECT_NE(run("x.bmp --bits 16"), 0);
  EXPECT_NE(run("x.bmp --dpi 300"), 0);
  EXPECT_NE(run("x.bmp --grid dots"), 0);
  EXPECT_NE(run("x.bmp --width"), 0);
  EXPECT_NE(run("x.bmp --width -5"), 0);
  testing::TempDir dir;
  EXPECT_NE(run("'" + dir.at("missing/x.bmp") + "' --width 200 --height 200"), 0);
}
#endif

}  // namespace
}  // namespace quillaro
