// The adjustment operations on a workspace: what they change, record and refuse.
#include <gtest/gtest.h>

#include "support/recording_view.h"
#include "ops/picture_commands.h"
#include "automation/composition.h"
#include "ops/density_ops.h"
#include "ops/tone_ops.h"
#include "model/param_store.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/open.h"
#include "support/scripted_prompts.h"
#include "support/status_log.h"

namespace quillaro {
namespace {

struct AdjustOps : ::testing::Test {
  testing::ScriptedPrompts prompts;
  testing::StatusLog status;
  Workspace ws{&prompts, &status};
  ParamStore& p = ws.params;
  testing::RecordingView view;

  AdjustOps() {
    ws.shared.dotsPerMm = 1.0;  // the drawing rectangle in pixels
    p.setChb(30, true);
    p.setChb(6, true);
    p.setChb(7, true);
    p.setTz(0, "");
    connectWorkspace(ws);
    ws.view = &view;
  }
  void picture(int bits, std::uint8_t fill) {
    ws.image.bitmap = Bitmap::create(120, 100, bits);
    ws.image.bitmap.fill(fill);
    ws.image.loaded = true;
    ws.shared.bitDepth = bits;
  }
  // A white picture with one horizontal black line two dots thick at rows 50-51.
  void lined(int bits) {
    picture(bits, 255);
    for (int x = 20; x < 100; ++x)
      for (int y = 50; y < 52; ++y) {
        if (bits == 1) ws.image.bitmap.setWhite(x, y, false);
        else if (bits == 8) ws.image.bitmap.setGrey(x, y, 0);
        else ws.image.bitmap.setRgb(x, y, Rgb{});
      }
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

// The recorded lines and the depths refused are checked in recorded_lines_test.
TEST_F(AdjustOps, BrightnessContrastChangesTheRectangle) {
  picture(8, 100);
  ws.image.bitmap.setGrey(12, 31, 0);
  ws.image.bitmap.setGrey(13, 31, 255);
  rect("12", "30.5", "80", "40");
  p.setHeld(Held::Brightness, "-10");
  p.setTn(56, "1.3");
  p.setChb(57, true);
  p.setChb(58, true);
  brightnessContrastOp(ws);
  const Bitmap& b = ws.image.bitmap;
  EXPECT_EQ(b.grey(12, 30), 120);  // nearest(30.5) = 30: row 30 is inside
  EXPECT_EQ(b.grey(12, 31), 0);     // 0 x 1.3 - 10 clamped
  EXPECT_EQ(b.grey(13, 31), 255);
  EXPECT_EQ(b.grey(11, 30), 100);
  EXPECT_EQ(b.grey(92, 69), 100);
  EXPECT_EQ(ws.image.modified, 1);
  EXPECT_EQ(view.count("edit"), 1);
}

TEST_F(AdjustOps, BrightnessContrastOnColourProtectsBySumAndSkipsAnAreaOutside) {
  picture(24, 255);
  ws.image.bitmap.setRgb(1, 1, Rgb{254, 255, 255});
  rect("0", "0", "10", "10");
  p.setHeld(Held::Brightness, "0");
  p.setTn(56, "0.5");
  EXPECT_TRUE(brightnessContrastOp(ws));
  EXPECT_EQ(ws.image.bitmap.rgb(0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(ws.image.bitmap.rgb(1, 1), (Rgb{127, 128, 128}));
  p.setTz(0, "");
  picture(8, 100);
  rect("500", "500", "10", "10");  // outside the picture
  EXPECT_FALSE(brightnessContrastOp(ws));
  EXPECT_EQ(p.tz(0), "");
}

TEST_F(AdjustOps, DarkRelWhiteClipsToThePictureAndKeepsWhite) {
  picture(8, 200);
  ws.image.bitmap.setGrey(1, 0, 255);
  rect("-3", "0", "13", "5");
  p.setTn(57, "2");
  darkRelWhiteOp(ws);
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 145);
  EXPECT_EQ(ws.image.bitmap.grey(1, 0), 255);
  EXPECT_EQ(ws.image.bitmap.grey(10, 4), 200);
}

TEST_F(AdjustOps, ConvertToOneBitConvertsThePageImageAndResets) {
  picture(8, 140);
  ws.image.bitmap.setGrey(0, 0, 139);
  ws.image.modified = 1;
  ws.page = Bitmap::create(200, 300, 8);
  p.setHeld(Held::Threshold, "140");
  ASSERT_TRUE(convertPictureTo1bit(ws));
  const Bitmap& b = ws.image.bitmap;
  ASSERT_EQ(b.bits, 1);
  EXPECT_FALSE(b.isWhite(0, 0));
  EXPECT_EQ(ws.shared.bitDepth, 1);
  EXPECT_EQ(ws.page.bits, 1);
  EXPECT_EQ(ws.image.modified, 0);
  EXPECT_EQ(status.texts.front(), "Преобразование 0 MB");
  EXPECT_EQ(openState(ws).sizeX, " X = 120 :  120");
  picture(24, 140);
  EXPECT_FALSE(convertPictureTo1bit(ws));
  picture(8, 140);
  ws.image.busy = true;
  EXPECT_FALSE(convertPictureTo1bit(ws)) << "waits for an opening";
  EXPECT_EQ(ws.image.bitmap.bits, 8);
}

TEST_F(AdjustOps, DenseThinWidensTheLineRecordsAndUndoes) {
  lined(1);
  rect("10", "30", "100", "40");
  p.setTn(10, "4");
  ASSERT_TRUE(denseThinOp(ws, false));
  EXPECT_EQ(blackInColumn(60), 4);
  EXPECT_EQ(blackInColumn(5), 0);  // outside the rectangle
  EXPECT_EQ(p.tz(0), "DenseThin, 10, 30, 100, 40\r\n");
  EXPECT_EQ(ws.image.modified, 1);
  undoRestore(ws);
  EXPECT_EQ(blackInColumn(60), 2);
  p.setTn(10, "6");
  ASSERT_TRUE(denseThinOp(ws, true));
  EXPECT_EQ(blackInColumn(60), 3);
  EXPECT_EQ(p.tz(0), "DenseThin, 10, 30, 100, 40, W=6, Plus=1\r\n") << "the undo took its line back";
}

// Masking saves the rectangle first, so that undo brings the dots and the program back.
TEST_F(AdjustOps, MaskAndEraseAreUndone) {
  picture(1, 0);
  rect("10", "30", "40", "20");
  auto whiteDots = [&] {
    int n = 0;
    for (int y = 30; y < 50; ++y)
      for (int x = 10; x < 50; ++x) n += ws.image.bitmap.isWhite(x, y) ? 1 : 0;
    return n;
  };
  for (const char* pattern : {"5A5A", "FFFF"}) {
    p.setTz(0, "");
    ASSERT_TRUE(maskSelection(ws, pattern));
    EXPECT_GT(whiteDots(), 0) << pattern;
    EXPECT_FALSE(p.tz(0).empty());
    ASSERT_TRUE(undoRestore(ws)) << pattern;
    EXPECT_EQ(whiteDots(), 0) << pattern;
    EXPECT_TRUE(p.tz(0).empty()) << "the undo took its line back";
  }
}

TEST_F(AdjustOps, LineWidthGrowsAndShrinksOneDot) {
  lined(1);
  rect("10", "30", "100", "40");
  ASSERT_TRUE(lineWidthOp(ws, true, false));
  EXPECT_EQ(blackInColumn(60), 3);
  ASSERT_TRUE(lineWidthOp(ws, false, false));
  ASSERT_TRUE(lineWidthOp(ws, false, false));
  EXPECT_EQ(blackInColumn(60), 1);
  EXPECT_EQ(p.tz(0), "D+, 10, 30, 100, 40\r\nD-, 10, 30, 100, 40\r\nD-, 10, 30, 100, 40\r\n");
}

TEST_F(AdjustOps, NothingHappensWhereTheOperationDoesNotApply) {
  lined(1);
  rect("500", "500", "10", "10");  // wholly outside
  EXPECT_FALSE(denseThinOp(ws, false));
  rect("10", "30", "100", "40");
  p.setChb(6, false);
  p.setChb(7, false);
  EXPECT_FALSE(denseThinOp(ws, false));  // no direction chosen
  EXPECT_EQ(p.tz(0), "");
  EXPECT_EQ(ws.image.modified, 0);
}

}  // namespace
}  // namespace quillaro
