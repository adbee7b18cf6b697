#include "automation/composition.h"
#include "ops/new_sheet.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "automation/runner.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

std::uint32_t at32(const std::vector<std::uint8_t>& h, std::size_t i) {
  return h[i] | (h[i + 1] << 8) | (h[i + 2] << 16) | (static_cast<std::uint32_t>(h[i + 3]) << 24);
}

struct NewSheet : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  void SetUp() override {
    connectWorkspace(ws);
    p.setChb(30, true);
  }
};

TEST_F(NewSheet, SizesRowsAndHeaders) {
  struct Want { int index, dpi, w, h, bits, rowBytes, stride; };
  for (const Want c : {Want{0, 600, 4960, 7016, 1, 620, 620}, {1, 600, 7016, 4960, 1, 877, 880},
                       {2, 600, 3508, 4960, 1, 439, 440}, {3, 600, 4960, 3508, 1, 620, 620},
                       {kSheetGrey | kSheetLandscape, 600, 7016, 4960, 8, 7016, 7016}, {2, 1200, 7016, 9920, 1, 877, 880}}) {
    ws.shared.resolution = c.dpi;
    ASSERT_TRUE(newSheet(ws, c.index, true)) << c.index;
    const Bitmap& b = ws.image.bitmap;
    EXPECT_EQ(b.width, c.w) << c.index;
    EXPECT_EQ(b.height, c.h) << c.index;
    EXPECT_EQ(b.bits, c.bits);
    EXPECT_EQ(ws.shared.bitDepth, c.bits);
    EXPECT_EQ(b.rowBytes, c.rowBytes);
    EXPECT_EQ(b.stride, c.stride);
    for (std::size_t i = 0; i < b.byteCount(); ++i) ASSERT_EQ(b.data()[i], 255) << "not white at " << i;
    const std::uint32_t headerSize = c.bits == 1 ? 62u : 1078u;
    EXPECT_EQ(ws.image.header.size(), headerSize);
    EXPECT_EQ(at32(ws.image.header, 18), static_cast<std::uint32_t>(c.w));
    EXPECT_EQ(at32(ws.image.header, 22), static_cast<std::uint32_t>(c.h));
    EXPECT_EQ(at32(ws.image.header, 38), c.dpi == 600 ? 23622u : 47244u);
    EXPECT_EQ(at32(ws.image.header, 2), headerSize + b.byteCount());
  }
  EXPECT_EQ(p.tz(0), "");  // made by a program: nothing recorded
}

TEST_F(NewSheet, ByTheUserRecordedOnlyWhenSomethingChanges) {
  p.setHeld(Held::TextFileName, "page.bmp");
  ws.image.fileName = "page.bmp";
  ASSERT_TRUE(newSheet(ws, 3, false));
  EXPECT_EQ(p.tz(0), "New, L, F=A5\r\n");
  EXPECT_EQ(p.held(Held::TextFileName), "");
  EXPECT_EQ(ws.image.fileName, "");
  EXPECT_TRUE(ws.image.loaded);
  EXPECT_FALSE(newSheet(ws, 3, false));  // the same blank sheet: nothing to do
  ws.image.bitmap = Bitmap::create(100, 100, 24);  // a colour picture is left alone
  EXPECT_FALSE(newSheet(ws, 0, false));
  EXPECT_EQ(ws.image.bitmap.bits, 24);
  EXPECT_EQ(p.tz(0), "New, L, F=A5\r\n");
}

TEST_F(NewSheet, ChangedPictureIsDroppedOnlyAfterTheQuestion) {
  p.setChb(30, false);
  p.setChb(31, true);
  ASSERT_TRUE(newSheet(ws, 0, true));
  ws.image.bitmap.setWhite(5, 5, false);
  ws.image.modified = 1;
  prompts.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(newSheet(ws, 0, true));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Рисунок был изменён, не сохранять ?");
  EXPECT_FALSE(ws.image.bitmap.isWhite(5, 5));
  EXPECT_TRUE(newSheet(ws, 0, true));
  EXPECT_TRUE(ws.image.bitmap.isWhite(5, 5));
}

// A sheet of another depth than the page image asks before the copy is given up.
TEST_F(NewSheet, SheetOfAnotherDepthThanTheCopyAsksFirst) {
  ws.page = Bitmap::create(200, 100, 8);
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(newSheet(ws, 2, false));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Если создать 1-битный рисунок, \r\n 8-битная копия будет стёрта.");
  EXPECT_FALSE(ws.image.loaded);
  EXPECT_FALSE(ws.page.empty());
  EXPECT_EQ(p.tz(0), "");
  EXPECT_TRUE(newSheet(ws, 2, false));  // OK: the copy goes, the sheet comes
  EXPECT_TRUE(ws.page.empty());
  EXPECT_EQ(p.tz(0), "New, F=A5\r\n");
}

}  // namespace
}  // namespace quillaro
