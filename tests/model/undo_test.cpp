#include "model/undo.h"

#include <gtest/gtest.h>

#include "model/workspace.h"
#include "support/picture_compare.h"

namespace quillaro {
namespace {

struct Undo : ::testing::Test {
  Workspace ws;
  void SetUp() override {
    ws.image.bitmap = Bitmap::create(64, 40, 1);
    ws.image.loaded = true;
    ws.shared.bitDepth = 1;
  }
  Bitmap& pic() { return ws.image.bitmap; }
  void blacken(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) pic().setWhite(x, y, false);
  }
  int blackCount() { return testing::blackCount(pic()); }
};

TEST_F(Undo, RestoresTheRectangleAndItsMargins) {
  ws.params.setTz(0, "before");
  undoSave(ws, 20, 10, 8, 5);  // block 19..29 x 9..16
  ws.params.setTz(0, "after");
  blacken(19, 9, 29, 16);
  blacken(18, 8, 18, 8);    // same byte column, the row above: outside the margin
  blacken(19, 17, 19, 17);  // below it
  ASSERT_TRUE(undoRestore(ws));
  EXPECT_EQ(blackCount(), 2);
  EXPECT_FALSE(pic().isWhite(18, 8));
  EXPECT_EQ(ws.params.tz(0), "before");
  EXPECT_EQ(ws.params.tzCursor(0), 6u);
}

TEST_F(Undo, SecondChangeOnlyAndRepeatedUndo) {
  blacken(0, 0, 63, 0);
  undoSave(ws, 0, 0, 64, 40);
  blacken(0, 5, 63, 5);
  undoSave(ws, 0, 0, 64, 40);
  blacken(0, 9, 63, 9);
  ASSERT_TRUE(undoRestore(ws));
  EXPECT_EQ(blackCount(), 128);
  blacken(0, 9, 63, 9);
  ASSERT_TRUE(undoRestore(ws));  // the same bytes again
  EXPECT_EQ(blackCount(), 128);
}

TEST_F(Undo, ClippedAtThePictureEdges) {
  undoSave(ws, -5, -5, 100, 100);
  blacken(0, 0, 63, 39);
  ASSERT_TRUE(undoRestore(ws));
  EXPECT_EQ(blackCount(), 0);
  undoSave(ws, 1e300, 1e300, 5, 5);  // nothing inside: the old block stays
  EXPECT_EQ(undoState(ws).height, 40);
}

TEST_F(Undo, NothingForOtherDepthsOrOtherPictures) {
  EXPECT_FALSE(undoRestore(ws));  // nothing saved yet
  undoSave(ws, 2, 2, 5, 5);
  ws.image.bitmap = Bitmap::create(64, 40, 1);  // another picture of the same size
  blacken(0, 0, 5, 5);
  EXPECT_FALSE(undoRestore(ws));
  EXPECT_EQ(blackCount(), 36);
  ws.image.bitmap = Bitmap::create(64, 40, 8);
  undoSave(ws, 2, 2, 5, 5);
  EXPECT_FALSE(undoRestore(ws));
}

TEST_F(Undo, SuspendedAndCleared) {
  undoState(ws).suspended = true;
  undoSave(ws, 2, 2, 5, 5);
  EXPECT_FALSE(undoRestore(ws));
  undoState(ws).suspended = false;
  undoSave(ws, 2, 2, 5, 5);
  undoClear(ws);
  blacken(2, 2, 3, 3);
  EXPECT_FALSE(undoRestore(ws));
}

}  // namespace
}  // namespace quillaro
