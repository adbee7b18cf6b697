#include "ops/colour_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "automation/composition.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "model/workspace.h"
#include "ops/open.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

Bitmap scan(int bits, std::uint64_t seed = 3) {
  SamplePageOptions o;
  o.width = 1200;
  o.height = 1600;
  o.bits = bits;
  o.seed = seed;
  return makeSamplePage(o);
}

// A grey original scanned in colour: the grey page in three channels with a faint tint.
Bitmap greyIn24(std::uint64_t seed = 3) {
  const Bitmap g = scan(8, seed);
  Bitmap b = Bitmap::create(g.width, g.height, 24);
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      const int v = g.grey(x, y);
      b.setRgb(x, y, {static_cast<std::uint8_t>(std::min(255, v + 6)), static_cast<std::uint8_t>(v),
                      static_cast<std::uint8_t>(std::max(0, v - 10))});
    }
  return b;
}

// A square of ink covering a share of the page's area.
void paint(Bitmap& b, Rgb ink, double share) {
  const int side = std::min(b.width, static_cast<int>(std::sqrt(share * b.width * b.height)));
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) b.setRgb(x, y, ink);
}

TEST(ColourScan, GreyScansStayGreyAndRealColourIsFound) {
  EXPECT_TRUE(hasRealColour(scan(24))) << "the generated colour scan has coloured ink";
  Bitmap grey = greyIn24();
  EXPECT_FALSE(hasRealColour(grey)) << "a grey scan in 24 bits";
  // Tinted paper and fringes: a spread just under the threshold everywhere.
  Bitmap tinted = grey.clone();
  paint(tinted, {150, 150 + kColourSpread - 1, 150}, 1.0);
  EXPECT_FALSE(hasRealColour(tinted));
  struct Case { Rgb ink; double share; bool colour; };
  for (const Case c : {Case{{20, 40, 200}, 0.01, true}, Case{{200, 30, 30}, 0.004, true},
                       Case{{200, 30, 30}, 0.001, false}, Case{{90, 90, 90}, 0.5, false}}) {
    Bitmap b = grey.clone();
    paint(b, c.ink, c.share);
    EXPECT_EQ(hasRealColour(b), c.colour) << c.share;
  }
  EXPECT_FALSE(hasRealColour(scan(8)));
}

TEST(ColourScan, OpeningWithAutoColourKeepsOnlyColourPagesInColour) {
  testing::TempDir dir;
  ASSERT_TRUE(writeBitmap(dir.at("grey.bmp"), greyIn24(), kPixelsPerMetre600));
  ASSERT_TRUE(writeBitmap(dir.at("colour.bmp"), scan(24, 5), kPixelsPerMetre600));
  EXPECT_TRUE(fileHasRealColour(dir.at("colour.bmp")));
  EXPECT_FALSE(fileHasRealColour(dir.at("grey.bmp")));
  EXPECT_FALSE(fileHasRealColour(dir.at("missing.bmp")));

  Workspace ws;
  connectWorkspace(ws);
  ws.params.setChb(check::kAutoColour, true);
  ws.params.setChb(check::kOpenAs1Bit, false);
  ASSERT_TRUE(openPicture(ws, dir.at("colour.bmp")));
  EXPECT_EQ(ws.image.bitmap.bits, 24);
  EXPECT_TRUE(ws.params.chb(check::kKeepColour));
  ASSERT_TRUE(openPicture(ws, dir.at("grey.bmp")));
  EXPECT_EQ(ws.image.bitmap.bits, 8);
  EXPECT_FALSE(ws.params.chb(check::kKeepColour));
}

}  // namespace
}  // namespace quillaro
