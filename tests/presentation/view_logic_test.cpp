#include "base/fields.h"
#include "presentation/view_logic.h"

#include <gtest/gtest.h>

#include <array>

#include "model/param_store.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

TEST(CopiesNounTest, RussianNounForms) {
  for (int n : {1, 21, 101}) EXPECT_STREQ(copiesNoun(n), "копию") << n;
  for (int n : {2, 4, 22, 104}) EXPECT_STREQ(copiesNoun(n), "копии") << n;
  for (int n : {0, 5, 11, 12, 14, 19, 100, 111, 112}) EXPECT_STREQ(copiesNoun(n), "копий") << n;
}

TEST(PointerReadoutTest, TenthsOfMillimetresWithHalvesUp) {
  EXPECT_EQ(pointerMmText(0, 23.622, 1), "0");
  EXPECT_EQ(pointerMmText(23.622, 23.622, 1), "1");
  // 1.25 mm exactly (10 dots per mm): floor(12.5 + 0.5) = 13 tenths, halves go up.
  EXPECT_EQ(pointerMmText(12.5, 10, 1), "1.3");
  EXPECT_EQ(pointerMmText(-12.5, 10, 1), "-1.2");
  EXPECT_EQ(pointerMmText(4961, 23.622, 1), "210");
  EXPECT_EQ(pointerMmText(100, 47.244, 2), "2.1");
  EXPECT_EQ(pointerMmText(-10, 23.622, 1), "-0.4");
}

TEST(PointerReadoutTest, ValueUnderThePointerByDepth) {
  Bitmap grey = Bitmap::create(4, 3, 8);
  grey.setGrey(1, 2, 17);
  EXPECT_EQ(pointerValueText(grey, 1, 2).value_or(""), "Яркость =17");
  Bitmap colour = Bitmap::create(4, 3, 24);
  colour.setRgb(3, 0, Rgb{10, 20, 30});
  EXPECT_EQ(pointerValueText(colour, 3, 0).value_or(""), "RGB 10 20 30");
  Bitmap bw = Bitmap::create(4, 3, 1);
  EXPECT_FALSE(pointerValueText(bw, 1, 1).has_value());
  EXPECT_FALSE(pointerValueText(grey, 4, 0).has_value());
  EXPECT_FALSE(pointerValueText(Bitmap{}, 0, 0).has_value());
}

TEST(DotsLabelTest, MillimetresCutToTwoDecimals) {
  EXPECT_EQ(dotsMmText(1000, 23.622, 5), "1000 точек, 42.33 мм");
  EXPECT_EQ(dotsMmText(0, 23.622, 3), "0 точек, 0 мм");
}

TEST(MagnifierTest, OpensAfterFourTicksOfRest) {
  Magnifier m;
  auto ticksToOpen = [&m](int x, int y) {
    for (int n = 1; n <= 12; ++n)
      if (m.tick(x, y)) return n;
    return 0;
  };
  EXPECT_EQ(ticksToOpen(500, 500), 4);  // a small move from (0, 0) counts as rest
  EXPECT_FALSE(m.tick(500, 500));       // already shown
  m.hide();
  EXPECT_EQ(ticksToOpen(500, 500), 0);  // not again until a move
  EXPECT_EQ(ticksToOpen(520, 500), 4);
}

TEST(MagnifierTest, SlowMovesKeepTheCountLowAndAJumpWaitsForTheNextMove) {
  Magnifier m;
  for (int i = 1; i <= 10; ++i) {
    EXPECT_FALSE(m.tick(i * 100, 0));
    EXPECT_EQ(m.counter(), 1);
  }
  EXPECT_FALSE(m.tick(5000, 0));  // far jump
  EXPECT_EQ(m.counter(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(m.tick(5000, 0));
}

TEST(ViewMappingTest, FitsAndConvertsBothWays) {
  ViewMapping m = fitPicture(2000, 1000, 500, 500, FitMode::Window);
  EXPECT_DOUBLE_EQ(m.scale, 0.25);
  EXPECT_DOUBLE_EQ(m.offsetY, 125);
  EXPECT_DOUBLE_EQ(m.toPictureX(m.toViewX(1234)), 1234);
  EXPECT_DOUBLE_EQ(m.toPictureY(m.toViewY(77)), 77);
  ViewMapping w = fitPicture(1000, 4000, 500, 500, FitMode::Width, 99999);
  EXPECT_DOUBLE_EQ(w.scale, 0.5);
  EXPECT_DOUBLE_EQ(w.offsetY, -3000 * 0.5);  // scrolled to the end, not past it
  EXPECT_DOUBLE_EQ(fitPicture(0, 0, 500, 500, FitMode::Window).scale, 1.0);
}

TEST(RectanglesTest, CopyZoneUsesTheFrameAndTheAxisScales) {
  ParamStore p;
  p.setTn(20, "10");
  p.setTn(21, "5");
  p.setTn(18, "");
  p.setTn(19, "");
  p.setTn(60, "200");
  PixRect r = copyZoneRect(p, 10.0);
  EXPECT_EQ((std::array{r.x, r.y, r.w, r.h}), (std::array{100.0, 50.0, 1010.0, 2890.0}));
  p.setTn(61, "0");  // a zero scale is taken as 100 %
  EXPECT_DOUBLE_EQ(copyZoneRect(p, 10.0).h, 2890);
}

TEST(RectanglesTest, DrawingRectangleRoundTripsThroughMillimetres) {
  ParamStore p;
  setDrawingRect(p, PixRect{236.22, 472.44, 23.622, 47.244}, 23.622, 1);
  EXPECT_EQ(p.tn(24) + " " + p.tn(25) + " " + p.tn(27), "10 20 2");
  PixRect r = drawingRect(p, 23.622);
  EXPECT_NEAR(r.x, 236.22, 1e-9);
  setCopyZoneOrigin(p, -23.622, 11.811, 23.622, 1);
  EXPECT_EQ(p.tn(20), "-1");
  EXPECT_EQ(p.tn(21), "0.5");
}

TEST(ArrowStepTest, TenthsAndWholeMillimetres) {
  EXPECT_EQ(stepField("10", -10, 1), "9");
  EXPECT_EQ(stepField("0,5", -1, 1), "0.4");
  EXPECT_EQ(stepField("", 1, 1), "0.1");
  EXPECT_EQ(stepField("abc", -1, 1), "-0.1");
}

}  // namespace
}  // namespace quillaro
