#include "image/sample_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "image/bmp_file.h"
#include "support/picture_compare.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using testing::sameBytes;

SamplePageOptions small(int bits, std::uint64_t seed) {
  SamplePageOptions o;
  o.width = 640;
  o.height = 480;
  o.bits = bits;
  o.seed = seed;
  return o;
}

TEST(SamplePage, SeedsSizesAndContent) {
  for (int bits : {1, 8, 24}) {
    EXPECT_TRUE(sameBytes(makeSamplePage(small(bits, 5)), makeSamplePage(small(bits, 5)))) << bits;
    EXPECT_FALSE(sameBytes(makeSamplePage(small(bits, 5)), makeSamplePage(small(bits, 6)))) << bits;
  }
  SamplePageOptions o;
  o.bits = 1;
  Bitmap a4 = makeSamplePage(o);
  EXPECT_EQ(a4.width, 4961);
  EXPECT_EQ(a4.height, 7016);
  o.dpi = 1200;
  EXPECT_EQ(samplePixelsPerMetre(o), 47244);
  EXPECT_TRUE(makeSamplePage(small(16, 1)).empty());

  // Paper is light, ink and rulings are dark; the 1-bit page is the grey page by 140.
  Bitmap g = makeSamplePage(small(8, 3));
  Bitmap bw = makeSamplePage(small(1, 3));
  int dark = 0, light = 0;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      dark += g.grey(x, y) < 140;
      light += g.grey(x, y) > 200;
      ASSERT_EQ(bw.isWhite(x, y), g.grey(x, y) >= 140) << x << "," << y;
    }
  EXPECT_GT(dark, 1000);
  EXPECT_GT(light, g.width * g.height / 2);
}

#ifdef QUILLARO_SAMPLESCAN
int run(const std::string& args) {
  return std::system((std::string(QUILLARO_SAMPLESCAN) + " " + args + " >/dev/null 2>&1").c_str());
}

TEST(SampleScanTool, WritesTheSamePageAndRefusesBadArguments) {
  testing::TempDir dir;
  const std::string out = dir.at("s.bmp");
  ASSERT_EQ(run("'" + out + "' --bits 8 --width 300 --height 200 --seed 9 --grid squared --dpi 1200"), 0);
  ReadResult r = readBitmap(out, {}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.image.xPixelsPerMetre, 47244);
  SamplePageOptions o;
  o.width = 300;
  o.height = 200;
  o.bits = 8;
  o.seed = 9;
  o.dpi = 1200;
  o.grid = SampleGrid::Squared;
  EXPECT_TRUE(sameBytes(r.image.bitmap, makeSamplePage(o)));
  EXPECT_EQ(run("--help"), 0);
  for (const char* bad : {"", "x.bmp --bits 16", "x.bmp --dpi 300", "x.bmp --grid dots", "x.bmp --width -5"})
    EXPECT_NE(run(bad), 0) << bad;
  EXPECT_NE(run("'" + dir.at("missing/x.bmp") + "' --width 200 --height 200"), 0);
}
#endif

}  // namespace
}  // namespace quillaro
