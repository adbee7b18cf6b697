// Line boxes, filling them at every depth, arrowheads and the inner lines of merged cells.
#include <gtest/gtest.h>

#include "kernels/cell_lines.h"
#include "kernels/lines.h"

namespace quillaro {
namespace {

TEST(LineBox, PlacementRoundingAndEdges) {
  struct Case {
    bool horizontal;
    double x, y, length, thickness, extension;
    PixelBox want;
  };
  // Picture 100 x 50.
  const Case cases[] = {
      {true, 10, 5, 30, 2, 3, {10, 5, 43, 7}},          // extension lengthens the line
      {true, 0.5, 2.5, 10, 1, 0, {0, 2, 10, 3}},        // ties go to even: 0.5 -> 0, 2.5 -> 2, 10.5 -> 10
      {true, 1.5, 3.5, 10, 1, 0, {2, 4, 12, 5}},        // 1.5 -> 2, 3.5 -> 4
      {true, 90, 0, 30, 1, 0, {90, 0, 100, 1}},         // cut at the right edge
      {true, 100, 0, 5, 1, 0, {}},                      // starts right of the picture
      {true, -1, 0, 5, 1, 0, {}},                       // starts left of it
      {true, 0, 48, 5, 2, 0, {}},                       // would reach the last row
      {true, 0, 47, 5, 2, 0, {0, 47, 5, 49}},
      {true, 0, 5, 5, 0, 0, {}},                        // no thickness, nothing
      {false, 10, 5, 30, 2, 3, {10, 5, 12, 38}},
      {false, 0, 40, 30, 1, 0, {0, 40, 1, 50}},         // cut at the bottom
      {false, 98, 0, 5, 2, 0, {}},                      // would reach the last column
      {false, 0, 50, 5, 1, 0, {}},
  };
  for (const Case& c : cases) {
    const PixelBox b = c.horizontal ? horizontalLineBox(c.x, c.y, c.length, c.thickness, c.extension, 100, 50)
                                    : verticalLineBox(c.x, c.y, c.length, c.thickness, c.extension, 100, 50);
    if (c.want.empty()) EXPECT_TRUE(b.empty()) << c.x << "," << c.y;
    else EXPECT_EQ(b, c.want) << c.x << "," << c.y;
  }
}

bool ink(const Bitmap& b, int x, int y) { return isInk(b, x, y, Rgb{10, 20, 30}); }

TEST(FillBox, EveryDepthInkOnlyInsideTheBoxAndThePicture) {
  for (int bits : {1, 8, 24}) {
    Bitmap b = Bitmap::create(21, 9, bits);
    // Runs past the right and bottom edges and through partial bytes of 1-bit rows.
    const PixelBox filled = fillBox(b, {3, 6, 40, 20}, Rgb{10, 20, 30});
    EXPECT_EQ(filled, (PixelBox{3, 6, 21, 9})) << bits;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 21; ++x) EXPECT_EQ(ink(b, x, y), x >= 3 && y >= 6) << bits << " " << x << "," << y;
    if (bits == 24) EXPECT_EQ(b.rgb(5, 7), (Rgb{10, 20, 30}));
    if (bits == 8) EXPECT_EQ(b.grey(5, 7), 0);
    // A clip box keeps the line inside a cell; a box outside everything does nothing.
    Bitmap c = Bitmap::create(16, 4, bits);
    EXPECT_EQ(fillBox(c, {0, 0, 16, 4}, Rgb{}, PixelBox{9, 1, 11, 2}), (PixelBox{9, 1, 11, 2}));
    EXPECT_TRUE(ink(c, 9, 1) && ink(c, 10, 1) && !ink(c, 8, 1) && !ink(c, 11, 1) && !ink(c, 9, 0));
    EXPECT_TRUE(fillBox(c, {-9, -9, -1, -1}, Rgb{}).empty());
  }
}

TEST(Arrowheads, TipsAtTheEndsOpeningInwardsAndCutAtTheEdges) {
  Bitmap b = Bitmap::create(200, 100, 1);
  const PixelBox line = fillBox(b, horizontalLineBox(20, 50, 100, 1, 0, 200, 100), Rgb{});
  drawArrowheads(b, line, true, 24, Rgb{});
  EXPECT_TRUE(!ink(b, 20, 49) && !ink(b, 119, 51));  // the tips are one dot wide
  EXPECT_TRUE(ink(b, 43, 42) && ink(b, 43, 58));     // 8 dots either side at the far end
  EXPECT_TRUE(ink(b, 96, 42) && ink(b, 96, 58));
  EXPECT_FALSE(ink(b, 70, 49));                      // nothing in between
  // A vertical line at the top left corner: the heads are cut, not written out of bounds.
  const PixelBox edge = fillBox(b, verticalLineBox(0, 0, 99, 2, 0, 200, 100), Rgb{});
  drawArrowheads(b, edge, false, 24, Rgb{});
  EXPECT_TRUE(ink(b, 8, 23));
}

TEST(InnerLines, BordersStayInnerLinesAndContentsAreFound) {
  Bitmap b = Bitmap::create(120, 80, 1);
  // A 2 x 2 table at 10, 10, size 100 x 60, lines 2 dots; a "letter" inside a cell.
  for (double y : {10.0, 40.0, 70.0}) fillBox(b, horizontalLineBox(10, y, 100, 2, 2, 120, 80), Rgb{});
  for (double x : {10.0, 60.0, 110.0}) fillBox(b, verticalLineBox(x, 10, 60, 2, 2, 120, 80), Rgb{});
  fillBox(b, {20, 20, 25, 30}, Rgb{});
  const auto lines = innerLineBoxes(b, {10, 10, 110, 70}, Rgb{});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (PixelBox{12, 40, 110, 42}));  // between the left border and the right edge
  EXPECT_EQ(lines[1], (PixelBox{60, 12, 62, 70}));
  EXPECT_TRUE(innerLineBoxes(b, {20, 20, 25, 30}, Rgb{}).empty());  // all ink: no inner line
  EXPECT_TRUE(innerLineBoxes(b, {500, 500, 600, 600}, Rgb{}).empty());
}

}  // namespace
}  // namespace quillaro
