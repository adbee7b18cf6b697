#include "adjust/density_ops.h"

#include <gtest/gtest.h>

#include "app/undo.h"
#include "app/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

struct DensityOps : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;

  DensityOps() {
    ws.shared.dotsPerMm = 1.0;  // the drawing rectangle in pixels
    p.setChb(30, true);
    p.setChb(6, true);
    p.setChb(7, true);
    p.setTz(0, "");
    installDensityOperations(ws);
  }
  // A white picture with one horizontal line two dots thick at rows 50-51.
  void picture(int bits) {
    Bitmap b = Bitmap::create(120, 100, bits);
    for (int x = 20; x < 100; ++x)
      for (int y = 50; y < 52; ++y) {
        if (bits == 1) b.setWhite(x, y, false);
        else if (bits == 8) b.setGrey(x, y, 0);
        else b.setRgb(x, y, Rgb{});
      }
    ws.image.bitmap = std::move(b);
    ws.image.loaded = true;
    ws.shared.bitDepth = bits;
  }
  void rect(const char* l, const char* t, const char* w, const char* h) {
    p.setTn(24, l);
    p.setTn(25, t);
    p.setTn(26, w);
    p.setTn(27, h);
  }
  int blackInColumn(int x) const {
    int n = 0;
    for (int y = 0; y < ws.image.bitmap.height; ++y) n += ws.image.bitmap.isWhite(x, y) ? 0 : 1;
    return n;
  }
};

TEST_F(DensityOps, DenseThinWidensTheLineRecordsAndUndoes) {
  picture(1);
  rect("10", "30", "100", "40");
  p.setTn(10, "4");
  ASSERT_TRUE(denseThinOp(ws, false));
  EXPECT_EQ(blackInColumn(60), 4);
  EXPECT_EQ(blackInColumn(5), 0);  // outside the rectangle
  EXPECT_EQ(p.tz(0), "DenseThin, 10, 30, 100, 40\r\n");
  EXPECT_EQ(ws.image.modified, 1);
  undoRestore(ws);
  EXPECT_EQ(blackInColumn(60), 2);
}

TEST_F(DensityOps, PlusAddsOneDotAndWritesItsKeys) {
  picture(1);
  rect("10", "30", "100", "40");
  p.setTn(10, "6");
  ASSERT_TRUE(denseThinOp(ws, true));
  EXPECT_EQ(blackInColumn(60), 3);
  EXPECT_EQ(p.tz(0), "DenseThin, 10, 30, 100, 40, W=6, Plus=1\r\n");
}

TEST_F(DensityOps, LineWidthGrowsAndShrinksOneDot) {
  picture(1);
  rect("10", "30", "100", "40");
  ASSERT_TRUE(lineWidthOp(ws, true, false));
  EXPECT_EQ(blackInColumn(60), 3);
  ASSERT_TRUE(lineWidthOp(ws, false, false));
  ASSERT_TRUE(lineWidthOp(ws, false, false));
  EXPECT_EQ(blackInColumn(60), 1);
  EXPECT_EQ(p.tz(0), "D+, 10, 30, 100, 40\r\nD-, 10, 30, 100, 40\r\nD-, 10, 30, 100, 40\r\n");
}

TEST_F(DensityOps, NothingHappensWhereTheOperationDoesNotApply) {
  picture(24);
  rect("10", "30", "100", "40");
  EXPECT_FALSE(denseThinOp(ws, false));
  EXPECT_FALSE(lineWidthOp(ws, true, false));
  picture(8);
  EXPECT_FALSE(lineWidthOp(ws, true, false));  // 1-bit only
  picture(1);
  rect("500", "500", "10", "10");  // wholly outside
  EXPECT_FALSE(denseThinOp(ws, false));
  rect("10", "30", "100", "40");
  p.setChb(6, false);
  p.setChb(7, false);
  EXPECT_FALSE(denseThinOp(ws, false));  // no direction chosen
  ws.image.loaded = false;
  EXPECT_FALSE(lineWidthOp(ws, true, false));
  EXPECT_EQ(p.tz(0), "");
  EXPECT_EQ(ws.image.modified, 0);
}

}  // namespace
}  // namespace quillaro
